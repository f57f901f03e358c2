#include "articles/ui/CHeaderView.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScrollBar>

#include "articles/ArticleTransfer.h"
#include "articles/ui/ArticleCommands.h"
#include "articles/ui/ArticleDocument.h"
#include "articles/ui/ArticlesView.h"
#include "articles/ui/CHeaderDlg.h"
#include "articles/ui/CommDlgJobHost.h"
#include "articles/ui/DialogRunner.h"
#include "base/Codepage.h"
#include "shell/Commands.h"
#include "shell/DocManager.h"
#include "shell/PrinterSetup.h"

namespace kos {

void drawHeader(QPainter& painter, const ECRHeader& header) {
    std::string text;
    for (const std::string& line : header.lines)
        text += line + "\n";
    const QFontMetrics fm = painter.fontMetrics();
    const QRect box(0, 0, int(ECRHeader::LINE_WIDTH) * fm.horizontalAdvance(QLatin1Char('W')),
                    HEADER_LINES * fm.height());
    const Qt::Alignment align = header.alignment == ECRHeader::CENTRE  ? Qt::AlignHCenter
                                : header.alignment == ECRHeader::RIGHT ? Qt::AlignRight
                                                                       : Qt::AlignLeft;
    painter.drawText(box, int(align | Qt::AlignTop), QString::fromStdString(cp1250ToUtf8(text)));
}

CHeaderView::CHeaderView(ArticleDocument* doc, QWidget* parent)
    : QAbstractScrollArea(parent), doc_(doc) {
    horizontalScrollBar()->setRange(0, 0);
    verticalScrollBar()->setRange(0, 0);
    connect(doc_, &ArticleDocument::headerChanged, viewport(), qOverload<>(&QWidget::update));
    // Scroll size 100 x 100: bars appear only when the window is smaller than that.
    auto resizeBars = [this] {
        horizontalScrollBar()->setRange(0, std::max(0, 100 - viewport()->width()));
        verticalScrollBar()->setRange(0, std::max(0, 100 - viewport()->height()));
    };
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, viewport(),
            qOverload<>(&QWidget::update));
    connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(),
            qOverload<>(&QWidget::update));
    resizeBars();
}

void CHeaderView::paintEvent(QPaintEvent*) {
    horizontalScrollBar()->setRange(0, std::max(0, 100 - viewport()->width()));
    verticalScrollBar()->setRange(0, std::max(0, 100 - viewport()->height()));
    QPainter painter(viewport());
    painter.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    drawHeader(painter, doc_->core().header);
}

void CHeaderView::mouseDoubleClickEvent(QMouseEvent*) {
    editHeader();
}

void CHeaderView::editHeader() {
    CHeaderDlg dialog(doc_->core().header, doc_->manager().context().prompt, this);
    if (runDialog(dialog) != QDialog::Accepted)
        return;
    doc_->core().header = dialog.header();
    doc_->setModified(true);
    Q_EMIT doc_->headerChanged();
    viewport()->repaint();
}

void CHeaderView::sendHeader() {
    if (doc_->lineBusy())
        return;
    CommDlgJobHost host(this);
    ArticleTransfer(doc_->core(), doc_->manager().context().settings, host,
                    doc_->manager().context().prompt)
        .sendHeader();
}

void CHeaderView::readHeader() {
    if (doc_->lineBusy())
        return;
    // The cleared header is shown before the dialog opens.
    CommDlgJobHost host(this, [this] {
        Q_EMIT doc_->headerChanged();
        viewport()->repaint();
    });
    ArticleTransfer(doc_->core(), doc_->manager().context().settings, host,
                    doc_->manager().context().prompt)
        .readHeader();
    doc_->setModified(doc_->core().isModified());
    Q_EMIT doc_->headerChanged();
}

void CHeaderView::print(QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    painter.setFont(font());
    drawHeader(painter, doc_->core().header);
    painter.end();
}

bool CHeaderView::updateCommand(int id, CommandState& state) {
    switch (id) {
        case cmd::EDIT:
        case cmd::FILE_PRINT:
        case cmd::FILE_PRINT_PREVIEW:
            state.enabled = true;
            return true;
        case cmd::ECR_SEND:
        case cmd::ECR_READ:
            state.enabled = !doc_->lineBusy();
            return true;
    }
    return false;
}

bool CHeaderView::runCommand(int id) {
    switch (id) {
        case cmd::EDIT:
            editHeader();
            return true;
        case cmd::ECR_SEND:
            sendHeader();
            return true;
        case cmd::ECR_READ:
            readHeader();
            return true;
        case cmd::FILE_PRINT: {
            QPrintDialog dialog(&appPrinter(), this);
            if (dialog.exec() == QDialog::Accepted)
                print(appPrinter());
            return true;
        }
        case cmd::FILE_PRINT_PREVIEW: {
            QPrintPreviewDialog preview(&appPrinter(), this);
            connect(&preview, &QPrintPreviewDialog::paintRequested, this,
                    [this](QPrinter* printer) { print(*printer); });
            preview.exec();
            return true;
        }
    }
    return false;
}

}  // namespace kos
