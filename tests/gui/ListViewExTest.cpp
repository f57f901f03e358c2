// The owner-drawn list base: text cutting, row drawing and printing.
#include <gtest/gtest.h>

#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPrinter>
#include <QStandardItemModel>
#include <QStyleOptionViewItem>

#include "GuiTestSupport.h"
#include "shell/CListViewEx.h"

namespace kos::test {
namespace {

struct ListViewExTest : ::testing::Test {
    void SetUp() override {
        ensureGuiApp();
        model.setHorizontalHeaderLabels({"Kod", "Nazwa artykułu", "Cena"});
        view = new CListViewEx;
        view->setModel(&model);
        view->setColumnPrintWidths({14, 20, 10});
        // The printed title is the caption of the view's frame window.
        area = std::make_unique<QMdiArea>();
        area->addSubWindow(view)->setWindowTitle("Artykuły");
    }
    void TearDown() override { area.reset(); }
    void addRows(int n) {
        for (int i = 0; i < n; ++i)
            model.appendRow({new QStandardItem(QString::number(i)),
                             new QStandardItem(QString("Towar %1").arg(i)),
                             new QStandardItem("1,00")});
    }
    std::vector<QString> textsOf(const RecordingDevice& d) {
        std::vector<QString> t;
        for (const auto& x : d.texts)
            t.push_back(x.text);
        return t;
    }
    bool contains(const RecordingDevice& d, const QString& s) {
        for (const auto& x : d.texts)
            if (x.text == s)
                return true;
        return false;
    }

    QStandardItemModel model;
    std::unique_ptr<QMdiArea> area;
    TempDir dir;
    CListViewEx* view = nullptr;
};

TEST_F(ListViewExTest, CutTextEndsInDotsAndFits) {
    const QFontMetrics fm(view->font());
    const QString text = "Bardzo długa nazwa artykułu";
    const int full = fm.horizontalAdvance(text);
    EXPECT_EQ(cutText(fm, text, full + 4, 4), text);
    for (int width : {full + 3, full / 2, fm.horizontalAdvance("B...") + 12}) {
        const QString cut = cutText(fm, text, width, 12);
        ASSERT_TRUE(cut.endsWith("...")) << width;
        EXPECT_TRUE(text.startsWith(cut.chopped(3))) << width;
        EXPECT_LE(fm.horizontalAdvance(cut) + 12, width) << width;
        // One more character would not fit.
        const QString longer = text.left(cut.size() - 3 + 1) + "...";
        EXPECT_GT(fm.horizontalAdvance(longer) + 12, width) << width;
    }
    // Nothing fits: only the dots remain.
    EXPECT_EQ(cutText(fm, text, 1, 4), "...");
}

TEST_F(ListViewExTest, EmptyListPrintsOnePageWithTitleHeadersAndRules) {
    RecordingDevice paper(2480, 3508, 300);
    const ListPrintJob job = view->beginPrinting(paper, false);
    EXPECT_EQ(job.pageCount, 1);
    EXPECT_EQ(job.linesPerPage, (3508 - 10 * job.lineHeight - 4) / job.lineHeight);
    QPainter painter(&paper);
    view->printPage(painter, job, 1);
    painter.end();

    EXPECT_TRUE(contains(paper, "Artykuły"));
    EXPECT_TRUE(contains(paper, " strona 1/1"));
    for (const char* h : {"Kod", "Nazwa artykułu", "Cena"})
        EXPECT_TRUE(contains(paper, h)) << h;
    EXPECT_EQ(paper.texts.size(), 5u);

    // One horizontal rule at 8.5 lines and a vertical one left of each column and after the
    // last, from 7 lines down to N + 9 lines.
    const double L = job.lineHeight, W = job.charWidth;
    const double end = 6 * W + (14 + 1 + 20 + 1 + 10 + 1) * W;
    std::vector<double> verticalX;
    int horizontal = 0;
    for (const QLineF& line : paper.lines) {
        if (line.y1() == line.y2()) {
            ++horizontal;
            EXPECT_DOUBLE_EQ(line.y1(), 8.5 * L);
            EXPECT_DOUBLE_EQ(line.x1(), 5.5 * W);
            EXPECT_DOUBLE_EQ(line.x2(), end - 0.5 * W);
        } else {
            verticalX.push_back(line.x1());
            EXPECT_DOUBLE_EQ(line.y1(), 7 * L);
            EXPECT_DOUBLE_EQ(line.y2(), (job.linesPerPage + 9) * L);
        }
    }
    EXPECT_EQ(horizontal, 1);
    EXPECT_EQ(verticalX,
              (std::vector<double>{5.5 * W, 5.5 * W + 15 * W, 5.5 * W + 36 * W, end - 0.5 * W}));
}

TEST_F(ListViewExTest, RowsAreSpreadOverPages) {
    RecordingDevice probe(2480, 3508, 300);
    const int n = view->beginPrinting(probe, false).linesPerPage;
    addRows(2 * n + 1);
    ListPrintJob job = view->beginPrinting(probe, false);
    ASSERT_EQ(job.pageCount, 3);

    RecordingDevice page2(2480, 3508, 300);
    QPainter painter(&page2);
    view->printPage(painter, job, 2);
    painter.end();
    EXPECT_TRUE(contains(page2, " strona 2/3"));
    EXPECT_TRUE(contains(page2, QString("Towar %1").arg(n)));
    EXPECT_TRUE(contains(page2, QString("Towar %1").arg(2 * n - 1)));
    EXPECT_FALSE(contains(page2, QString("Towar %1").arg(n - 1)));
    EXPECT_FALSE(contains(page2, QString("Towar %1").arg(2 * n)));
    // Row j of the page sits on line 9 + j.
    for (const auto& t : page2.texts) {
        if (t.text == QString("Towar %1").arg(n + 3)) {
            EXPECT_GT(t.pos.y(), 12 * job.lineHeight);
            EXPECT_LT(t.pos.y(), 13 * job.lineHeight);
        }
    }

    // Printing the selection prints only the selected rows, in list order.
    view->selectionModel()->select(model.index(5, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    view->selectionModel()->select(model.index(2, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    job = view->beginPrinting(probe, true);
    EXPECT_EQ(job.rows, QList<int>({2, 5}));
    EXPECT_EQ(job.pageCount, 1);
}

TEST_F(ListViewExTest, SelectedRowIsHighlighted) {
    addRows(3);
    CListViewEx list;
    list.setModel(&model);
    list.resize(400, 200);
    list.show();
    drainEvents();
    list.setColumnWidth(0, 60);
    list.setColumnWidth(1, 120);
    list.setColumnWidth(2, 60);
    list.setShowSelectionAlways(true);
    list.selectRow(1);
    const QColor highlight = list.palette().color(QPalette::Highlight);
    const QColor base = list.textBkColor();
    ASSERT_NE(highlight, base);

    auto snapshot = [&] {
        QImage image(list.viewport()->size(), QImage::Format_RGB32);
        list.viewport()->render(&image);
        return image;
    };
    auto pixel = [&](const QImage& image, int column, int row) {
        const QRect r = list.visualRect(model.index(row, column));
        return QColor(image.pixel(r.left() + 1, r.center().y()));
    };
    QImage image = snapshot();
    // Without full-row selection only the first column is highlighted.
    EXPECT_EQ(pixel(image, 0, 1), highlight);
    EXPECT_EQ(pixel(image, 2, 1), base);
    EXPECT_EQ(pixel(image, 0, 0), base);

    list.setFullRowSelection(true);
    image = snapshot();
    EXPECT_EQ(pixel(image, 2, 1), highlight);
    // The highlight runs on to the right edge of the window, past the last column.
    const int y = list.visualRect(model.index(1, 2)).center().y();
    EXPECT_EQ(QColor(image.pixel(list.viewport()->width() - 2, y)), highlight);
    // The focused row is framed with dots.
    ASSERT_TRUE(list.hasFocus());
    const int top = list.visualRect(model.index(1, 1)).top();
    int dots = 0;
    for (int x = 100; x < 130; ++x)
        dots += QColor(image.pixel(x, top)) == list.palette().color(QPalette::HighlightedText);
    EXPECT_GE(dots, 5);
    list.setClientWidthSelection(false);
    image = snapshot();
    EXPECT_NE(QColor(image.pixel(list.viewport()->width() - 2, y)), highlight);

    list.setShowSelectionAlways(false);
    list.clearFocus();
    EXPECT_FALSE(list.rowSelectedForDrawing(1));  // without the focus
    list.setDropHighlightRow(0);
    EXPECT_TRUE(list.rowSelectedForDrawing(0));
}

TEST_F(ListViewExTest, LongCellTextIsDrawnCut) {
    addRows(1);
    model.setItem(0, 1, new QStandardItem(QString(100, QChar('W'))));
    CListViewEx list;
    list.setModel(&model);
    list.resize(400, 100);
    list.show();
    drainEvents();
    list.setColumnWidth(1, 80);
    RecordingDevice screen(400, 100, 96);
    QPainter painter(&screen);
    QStyleOptionViewItem option;
    option.initFrom(&list);
    option.rect = list.visualRect(model.index(0, 1));
    list.itemDelegate()->paint(&painter, option, model.index(0, 1));
    painter.end();
    ASSERT_EQ(screen.texts.size(), 1u);
    EXPECT_TRUE(screen.texts[0].text.endsWith("..."));
    EXPECT_TRUE(screen.texts[0].text.startsWith("WW"));
}

TEST_F(ListViewExTest, PrintsEveryPageOnAPrinter) {
    RecordingDevice probe(2480, 3508, 300);
    addRows(view->beginPrinting(probe, false).linesPerPage + 1);
    const std::string pdf = dir.file("lista.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    view->print(printer, false);
    const std::string data = readFile(pdf);
    ASSERT_FALSE(data.empty());
    // Two page objects in the file.
    size_t pages = 0;
    for (size_t at = data.find("/Type /Page\n"); at != std::string::npos;
         at = data.find("/Type /Page\n", at + 1))
        ++pages;
    EXPECT_EQ(pages, 2u);
}

}  // namespace
}  // namespace kos::test
