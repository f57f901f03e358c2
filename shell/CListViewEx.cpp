#include "shell/CListViewEx.h"

#include <QApplication>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <algorithm>

#include "shell/Commands.h"
#include "shell/ListRowDelegate.h"
#include "shell/PrinterSetup.h"

namespace kos {

QString cutText(const QFontMetrics& metrics, const QString& text, int width, int margin) {
    if (metrics.horizontalAdvance(text) + margin <= width)
        return text;
    static const QString dots = QStringLiteral("...");
    QString rest = text;
    while (!rest.isEmpty() && metrics.horizontalAdvance(rest + dots) + margin > width)
        rest.chop(1);
    return rest + dots;
}

CListViewEx::CListViewEx(QWidget* parent) : QTableView(parent) {
    const QPalette& pal = palette();
    textColor_ = pal.color(QPalette::Text);
    textBkColor_ = pal.color(QPalette::Base);
    bkColor_ = pal.color(QPalette::Base);
    setItemDelegate(new ListRowDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setShowGrid(false);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void CListViewEx::setFullRowSelection(bool on) {
    if (fullRowSelection_ == on)
        return;
    fullRowSelection_ = on;
    viewport()->update();
}

void CListViewEx::setClientWidthSelection(bool on) {
    clientWidthSelection_ = on;
    viewport()->update();
}

void CListViewEx::setShowSelectionAlways(bool on) {
    showSelectionAlways_ = on;
    viewport()->update();
}

void CListViewEx::setDropHighlightRow(int row) {
    dropHighlightRow_ = row;
    viewport()->update();
}

void CListViewEx::setTextColor(const QColor& c) {
    textColor_ = c;
    viewport()->update();
}

void CListViewEx::setTextBkColor(const QColor& c) {
    textBkColor_ = c;
    viewport()->update();
}

void CListViewEx::setBkColor(const QColor& c) {
    bkColor_ = c;
    applyBackground();
}

void CListViewEx::applyBackground() {
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Base, bkColor_);
    viewport()->setPalette(pal);
    viewport()->update();
}

bool CListViewEx::rowSelectedForDrawing(int row) const {
    if (row == dropHighlightRow_)
        return true;
    if (!selectionModel() || !selectionModel()->isRowSelected(row, rootIndex()))
        return false;
    return hasFocus() || showSelectionAlways_;
}

void CListViewEx::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    if (!model())
        return;
    QPainter painter(viewport());
    const int columns = model()->columnCount(rootIndex());
    const int lastRight =
        columns > 0 ? columnViewportPosition(columns - 1) + columnWidth(columns - 1) : 0;
    const int first = std::max(0, rowAt(0));
    int last = rowAt(viewport()->height() - 1);
    if (last < 0)
        last = model()->rowCount(rootIndex()) - 1;
    // The highlight of a full-row selection runs on to the window's right edge.
    if (fullRowSelection_ && clientWidthSelection_ && lastRight < viewport()->width()) {
        for (int row = first; row <= last; ++row)
            if (rowSelectedForDrawing(row))
                painter.fillRect(QRect(lastRight, rowViewportPosition(row),
                                       viewport()->width() - lastRight, rowHeight(row)),
                                 palette().color(QPalette::Highlight));
    }
    const QModelIndex current = currentIndex();
    if (hasFocus() && current.isValid()) {
        const int right =
            clientWidthSelection_ ? std::max(lastRight, viewport()->width()) : lastRight;
        // A dotted frame as the list control draws it, whatever the style (some styles draw
        // focus only after keyboard navigation, or tint the whole row).
        const QRect rect(columnViewportPosition(0), rowViewportPosition(current.row()),
                         right - columnViewportPosition(0), rowHeight(current.row()));
        const bool selected = rowSelectedForDrawing(current.row());
        painter.setPen(QPen(selected ? palette().color(QPalette::HighlightedText) : textColor_, 1,
                            Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
}

void CListViewEx::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    clientWidth_ = viewport()->width();
}

void CListViewEx::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    viewport()->update();
}

void CListViewEx::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    viewport()->update();
}

int CListViewEx::columnPrintWidth(int column) const {
    if (column >= 0 && size_t(column) < printWidths_.size())
        return printWidths_[column];
    return 10;
}

QString CListViewEx::printTitle() const {
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (qobject_cast<QMdiSubWindow*>(w))
            return w->windowTitle();
    return window()->windowTitle();
}

ListPrintJob CListViewEx::beginPrinting(QPaintDevice& device, bool selectionOnly) const {
    ListPrintJob job;
    // The nearest monospaced font stands in where "Courier New CE" is not installed.
    job.font = QFont(QStringLiteral("Courier New CE"));
    job.font.setStyleHint(QFont::TypeWriter);
    job.font.setFixedPitch(true);
    job.font.setWeight(QFont::Normal);
    job.font.setPixelSize(std::max(1, qRound(10.0 * device.logicalDpiY() / 72.0)));
    const QFontMetrics fm(job.font, &device);
    job.lineHeight = std::max(1, fm.height() + fm.leading());
    job.charWidth = std::max(1, fm.averageCharWidth());
    job.pageWidth = device.width();
    job.linesPerPage = std::max(1, (device.height() - 10 * job.lineHeight - 4) / job.lineHeight);
    const int rows = model() ? model()->rowCount(rootIndex()) : 0;
    for (int row = 0; row < rows; ++row)
        if (!selectionOnly || selectionModel()->isRowSelected(row, rootIndex()))
            job.rows.append(row);
    job.pageCount = std::max<int>(1, (job.rows.size() + job.linesPerPage - 1) / job.linesPerPage);
    return job;
}

void CListViewEx::printPage(QPainter& painter, const ListPrintJob& job, int page) const {
    const int L = job.lineHeight;
    const int W = job.charWidth;
    const int N = job.linesPerPage;
    painter.save();
    painter.setFont(job.font);
    painter.setPen(Qt::black);
    const int flags = Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
    painter.drawText(QRect(0, 5 * L, job.pageWidth, L), flags | Qt::AlignHCenter, printTitle());
    painter.drawText(QRect(0, 5 * L, job.pageWidth - 5 * W, L), flags | Qt::AlignRight,
                     QString::asprintf(" strona %d/%d", page, job.pageCount));

    const int columns = model() ? model()->columnCount(rootIndex()) : 0;
    QList<int> columnX;
    int x = 6 * W;
    for (int c = 0; c < columns; ++c) {
        columnX.append(x);
        x += (columnPrintWidth(c) + 1) * W;
    }
    const int endX = x;
    painter.drawLine(QPointF(5.5 * W, 8.5 * L), QPointF(endX - 0.5 * W, 8.5 * L));
    for (int c = 0; c < columns; ++c) {
        const QString header = model()->headerData(c, Qt::Horizontal).toString().left(50);
        painter.drawText(QRect(columnX[c], 7 * L, columnPrintWidth(c) * W, L), flags, header);
    }
    for (int c = 0; c <= columns; ++c) {
        const double rx = (c < columns ? columnX[c] : endX) - 0.5 * W;
        painter.drawLine(QPointF(rx, 7 * L), QPointF(rx, (N + 9) * L));
    }
    const int first = (page - 1) * N;
    for (int j = 0; j < N && first + j < job.rows.size(); ++j) {
        const int row = job.rows[first + j];
        for (int c = 0; c < columns; ++c) {
            // Cut as on screen, at a character and with "...", never across a glyph.
            const QString text = cutText(painter.fontMetrics(),
                                         model()->index(row, c, rootIndex()).data().toString(),
                                         columnPrintWidth(c) * W, 0);
            painter.drawText(QRect(columnX[c], (9 + j) * L, columnPrintWidth(c) * W, L), flags,
                             text);
        }
    }
    painter.restore();
}

void CListViewEx::print(QPrinter& printer, bool selectionOnly) const {
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    const ListPrintJob job = beginPrinting(printer, selectionOnly);
    for (int page = 1; page <= job.pageCount; ++page) {
        if (page > 1)
            printer.newPage();
        printPage(painter, job, page);
    }
    painter.end();
}

void CListViewEx::filePrint() {
    QPrinter& printer = appPrinter();
    QPrintDialog dialog(&printer, this);
    const bool anySelected = selectionModel() && selectionModel()->hasSelection();
    dialog.setOption(QAbstractPrintDialog::PrintSelection, anySelected);
    printer.setPrintRange(QPrinter::AllPages);
    if (dialog.exec() != QDialog::Accepted)
        return;
    print(printer, printer.printRange() == QPrinter::Selection);
}

void CListViewEx::filePrintPreview() {
    QPrintPreviewDialog preview(&appPrinter(), this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { print(*printer, false); });
    preview.exec();
}

bool CListViewEx::updateCommand(int id, CommandState& state) {
    if (id == cmd::FILE_PRINT || id == cmd::FILE_PRINT_PREVIEW) {
        state.enabled = true;
        return true;
    }
    return false;
}

bool CListViewEx::runCommand(int id) {
    if (id == cmd::FILE_PRINT) {
        filePrint();
        return true;
    }
    if (id == cmd::FILE_PRINT_PREVIEW) {
        filePrintPreview();
        return true;
    }
    return false;
}

}  // namespace kos
