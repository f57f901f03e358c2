// The article document's windows: reaching them, sorting, the article dialogs, find and the
// clipboard.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>

#include "ArticleTestSupport.h"
#include "app/KosTemplates.h"
#include "articles/ui/ArticleCommands.h"
#include "articles/ui/ArticleSort.h"
#include "articles/ui/SortHeader.h"
#include "base/Codepage.h"
#include "shell/ChildFrame.h"
#include "shell/Commands.h"
#include "shell/MainFrame.h"

namespace kos::test {
namespace {

std::vector<std::string> plusInRows(ArticlesView* view) {
    std::vector<std::string> plus;
    for (int r = 0; r < view->articlesModel().rowCount(); ++r)
        plus.push_back(view->articlesModel().articleAt(r)->plu.toString().substr(12));
    return plus;
}

bool enabled(ArticleFixture& f, int id) {
    CommandState state;
    f.view->updateCommand(id, state);
    return state.enabled;
}

TEST(ArticleWindows, ArticlesOptionRegistersTheTypeAndItsWindows) {
    ArticleFixture f;
    MainFrame* frame = f.app->mainFrame();
    EXPECT_EQ(f.files.typeChoices.at(0), QStringList({"Artykuły", "Praca OnLine"}));
    EXPECT_EQ(frame->activeFrame()->windowTitle(), "ARTYKUŁY - Artykuły1");
    f.files.answers = {""};
    frame->execute(cmd::FILE_OPEN);
    EXPECT_EQ(f.files.openFilters.back(), "Artykuły (*.dat);;Praca OnLine (*.dsr)");

    // "Nagłówek" opens the header window once, "Artykuły" brings the list back.
    frame->execute(cmd::WINDOW_HEADER);
    frame->execute(cmd::WINDOW_ARTICLES);
    frame->execute(cmd::WINDOW_HEADER);
    EXPECT_EQ(frame->mdiArea()->subWindowList().size(), 2);
    EXPECT_EQ(frame->activeFrame()->viewName(), "header");

    // Saved and reopened by its path, as the recent files do.
    f.put("12", "COLA", 250);
    const QString path = QString::fromStdString(f.dir.file("cennik.dat"));
    f.files.answers = {path};
    ASSERT_TRUE(f.app->docManager().saveAs(f.doc));
    f.app->docManager().closeDocument(f.doc);
    drainEvents();
    auto* reopened = qobject_cast<ArticleDocument*>(f.app->docManager().openDocumentFile(path));
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->core().articles.count(), 1);
    EXPECT_EQ(f.app->docManager().recentFiles().files().value(0), path);

    // The setting does what the option does.
    GuiFixture g(false);
    g.store->setInt(SETTINGS_SECTION, "ArticleDocuments", 1);
    ASSERT_TRUE(g.app->initInstance(false));
    EXPECT_EQ(g.app->docManager().registeredTemplates().size(), 2u);
}

TEST(ArticleWindows, ClickSequencesSortAndMoveTheArrow) {
    ArticleFixture f;
    f.put("1", "A", 100, true, 2);
    f.put("2", "B", 100, true, 0);
    f.put("3", "C", 50, true, VAT_UNDEFINED);
    struct Step {
        int click;  // -1: set the order below instead
        int order;
        std::vector<std::string> plus;
        bool arrowUp;
    };
    const Step steps[] = {
        {-1, 3 | 1 << 8, {"03", "01", "02"}, true},  // price ascending
        {3, 0, {"02", "01", "03"}, false},           // same title: descending, ties reversed
        {5, 0, {"01", "02", "03"}, false},           // VAT descending: undefined sorts first
        {1, 0, {"03", "02", "01"}, false},           // PLU descending
        {-1, 3, {"03", "01", "02"}, false},          // direction 0 sorts ascending...
        {3, 0, {"03", "01", "02"}, true},            // ...and its first click stays ascending
        {0, 0, {"01", "02", "03"}, true},            // all modified: PLU decides
    };
    for (const Step& s : steps) {
        if (s.click < 0) {
            f.view->setSortOrder(s.order);
        } else {
            f.view->clickColumn(s.click);
        }
        EXPECT_EQ(plusInRows(f.view), s.plus) << "order " << f.view->sortOrder();
        EXPECT_EQ(f.view->sortHeader()->arrowAscending(), s.arrowUp);
    }
    // The selection follows its article through a sort.
    f.select({0});
    const Article* chosen = f.view->selectedArticles().at(0);
    f.view->clickColumn(1);
    EXPECT_EQ(f.view->selectedArticles().at(0), chosen);
}

TEST(ArticleWindows, TheArrowIsDrawnAtTheRightOfTheSortTitleOnly) {
    ArticleFixture f;
    f.view->resize(800, 300);
    f.view->show();
    auto arrowIn = [&](int column) {
        const QImage img = f.view->sortHeader()->grab().toImage();
        const int right = f.view->columnViewportPosition(column) + f.view->columnWidth(column);
        for (int x = right - 16; x < right; ++x)
            for (int y = 0; y < img.height(); ++y)
                if (img.pixelColor(x, y).lightness() < 60)
                    return true;
        return false;
    };
    f.view->setSortOrder(1 | SORT_ASCENDING << 8);
    EXPECT_TRUE(arrowIn(1));
    f.view->clickColumn(3);
    EXPECT_FALSE(arrowIn(1));
    EXPECT_TRUE(arrowIn(3));
}

TEST(ArticleWindows, AddEditAndDeleteWithTheirMessagesAndFocus) {
    ArticleFixture f;
    auto focusOn = [](QDialog& d, const char* name) {
        return d.focusWidget() && d.focusWidget()->objectName() == name;
    };
    f.dialogs.push_back([&](QDialog& d) {
        EXPECT_EQ(control<QLineEdit>(d, "plu")->text(), "00000000000001");
        setText(d, "plu", "12a");
        EXPECT_EQ(pressOk(d), QDialog::Rejected);
        EXPECT_TRUE(focusOn(d, "plu"));
        setText(d, "plu", "5");
        setText(d, "name", "  ");
        EXPECT_EQ(pressOk(d), QDialog::Rejected);
        EXPECT_TRUE(focusOn(d, "name"));
        setText(d, "name", " cola ");
        setText(d, "price", "1,5");
        return pressOk(d);
    });
    f.dialogs.push_back([&](QDialog& d) {
        EXPECT_EQ(control<QLineEdit>(d, "plu")->text(), "00000000000006");
        setText(d, "name", "CO LA");
        EXPECT_EQ(pressOk(d), QDialog::Rejected);
        EXPECT_TRUE(focusOn(d, "name"));
        return int(QDialog::Rejected);
    });
    f.app->mainFrame()->execute(cmd::ADD);
    f.app->mainFrame()->execute(cmd::ADD);
    EXPECT_EQ(f.texts(),
              std::vector<std::string>({"Niepoprawny numer PLU.", "Nieokreślona nazwa towaru.",
                                        "Towar o podanej nazwie już istnieje."}));
    ASSERT_EQ(f.doc->core().articles.count(), 1);
    EXPECT_TRUE(f.doc->isModified());
    QStringList row;
    for (int c = 0; c < ARTICLE_COLUMNS; ++c)
        row << f.cell(0, c);
    EXPECT_EQ(row, QStringList({" ", "00000000000005", "COLA", "1,50", "NIE", "A 22%", "", ""}));

    // Edit through the key's command: the row shows the new values and the list re-sorts.
    f.put("3", "ZETA", 100, false);
    f.view->clickColumn(3);  // price ascending: ZETA, COLA
    f.select({0});
    f.dialogs.push_back([](QDialog& d) {
        setText(d, "price", "2");
        return pressOk(d);
    });
    f.app->mainFrame()->execute(cmd::EDIT);
    EXPECT_EQ(f.cell(0, 2), "COLA");
    EXPECT_EQ(f.cell(1, 3), "2,00");
    EXPECT_EQ(f.cell(1, 0), " ");
    EXPECT_EQ(f.app->mainFrame()->countsPane()->text(), "2/1");

    // New VAT descriptions from "Parametry" reach the rows.
    f.app->settings().ptu[0] = "23%";
    Q_EMIT f.app->docManager().settingsChanged();
    EXPECT_EQ(f.cell(1, 5), "A 23%");

    f.prompt.answers = {false, true};
    f.app->mainFrame()->execute(cmd::DELETE);
    EXPECT_EQ(f.doc->core().articles.count(), 2);
    f.app->mainFrame()->execute(cmd::DELETE);
    EXPECT_EQ(f.doc->core().articles.count(), 1);
    EXPECT_EQ(f.view->articlesModel().rowCount(), 1);
}

TEST(ArticleWindows, SeveralArticlesChangeOnlyWhatIsCheckedAndDiffers) {
    ArticleFixture f;
    Article& same = f.put("1", "A", 350, false, 2);
    Article& other = f.put("2", "B", 100, false, 0);
    Article& untouched = f.put("3", "C", 100, false, 0);
    f.select({0, 1});
    f.dialogs.push_back([](QDialog& d) {
        control<QCheckBox>(d, "usePrice")->setChecked(true);
        control<QCheckBox>(d, "useVat")->setChecked(true);
        control<QComboBox>(d, "vat")->setCurrentIndex(2);
        setText(d, "price", "1,234");
        EXPECT_EQ(pressOk(d), QDialog::Rejected);
        EXPECT_EQ(d.focusWidget()->objectName(), "price");
        setText(d, "price", "3,5");
        return pressOk(d);
    });
    f.view->editArticles();
    EXPECT_EQ(f.texts(), std::vector<std::string>({"Za dużo cyfr w części ułamkowej."}));
    EXPECT_FALSE(same.modified);  // already 3,50 and C
    EXPECT_EQ(other.price, 350);
    EXPECT_EQ(other.vat, 2);
    EXPECT_TRUE(other.modified);
    EXPECT_FALSE(other.openPrice);
    EXPECT_EQ(untouched.price, 100);
    EXPECT_TRUE(f.doc->isModified());
}

TEST(ArticleWindows, FindSelectsByPluNameOrPrice) {
    ArticleFixture f;
    f.put("1", "COLA", 150);
    f.put("2", "PEPSI", 150);
    f.put("3", "PIWO", 300);
    struct Case {
        const char* radio;
        QString text;
        std::vector<std::string> found;
    };
    const Case cases[] = {
        {"byPlu", " 2 ", {"02"}},         {"byName", "cola", {"01"}}, {"byName", "co la", {}},
        {"byPrice", "1,5", {"01", "02"}}, {"byPrice", "3", {"03"}},
    };
    for (const Case& c : cases) {
        f.dialogs.push_back([&](QDialog& d) {
            control<QRadioButton>(d, c.radio)->setChecked(true);
            setText(d, "text", c.text);
            return pressOk(d);
        });
        f.view->findArticles();
        std::vector<std::string> found;
        for (Article* a : f.view->selectedArticles())
            found.push_back(a->plu.toString().substr(12));
        EXPECT_EQ(found, c.found) << c.text.toStdString();
    }
    f.dialogs.push_back([](QDialog& d) {
        control<QRadioButton>(d, "byPrice")->setChecked(true);
        for (const char* bad : {"-2", "100000", "1,234", "x"}) {
            setText(d, "text", bad);
            EXPECT_EQ(pressOk(d), QDialog::Rejected) << bad;
        }
        control<QRadioButton>(d, "byPlu")->setChecked(true);
        setText(d, "text", "0");
        return pressOk(d);
    });
    f.view->findArticles();
    std::vector<std::string> expected(4, "Niepoprawny format ceny.");
    expected.push_back("Niepoprawny format PLU.");
    EXPECT_EQ(f.texts(), expected);
}

TEST(ArticleWindows, ClipboardCarriesUtf8AndPasteStopsAtTheBadLine) {
    ArticleFixture f;
    Article& fish = f.put("12", utf8ToCp1250("ŁOSOŚ").c_str(), 250, false);
    fish.saleQuantity = 1500;
    fish.saleValue = 375;
    f.select({0});
    f.app->mainFrame()->execute(cmd::EDIT_COPY);
    QClipboard* clipboard = QGuiApplication::clipboard();
    EXPECT_EQ(clipboard->text(), "x\t00000000000012\tŁOSOŚ\t2,50\tNIE\tA 22%\t1,500\t3,75\n");

    f.app->mainFrame()->execute(cmd::EDIT_CUT);
    EXPECT_EQ(f.view->articlesModel().rowCount(), 0);
    EXPECT_TRUE(f.doc->isModified());

    clipboard->setText(
        "x\t00000000000012\tŁosoś\t2,50\tNIE\tA 22%\t1,500\t3,75\n"
        " \t12\tINNY\t1\tTAK\tB\t0\t0\r\n"
        " \t13\twędka\t\tTAK\tB\t0\t0\n"
        " \t14\tSER\t1,2x\tNIE\tA\t0\t0\n"
        " \t15\tMASŁO\t1\tNIE\tA\t0\t0\n");
    f.prompt.answers = {true};
    f.app->mainFrame()->execute(cmd::EDIT_PASTE);
    EXPECT_EQ(f.texts(), std::vector<std::string>(
                             {"Atykuł o podanej nazwie 'INNY'  lub PLU 00000000000012 już "
                              "istnieje.\nCzy chcesz dodać pozostałe artykuły?",
                              "Linia 4 - niepoprawny format ceny 1,2x."}));
    // Sorted by "ECR": the modified article first.
    ASSERT_EQ(f.view->articlesModel().rowCount(), 2);
    EXPECT_EQ(f.cell(0, 2), "WĘDKA");
    EXPECT_EQ(f.cell(0, 3), "-0,01");  // pasted without a price: -1
    EXPECT_EQ(f.cell(1, 2), "ŁOSOŚ");
    EXPECT_EQ(f.cell(1, 6), "1,500");
}

TEST(ArticlesModel, TwelveThousandSixHundredRowsPassTheModelTester) {
    ArticleFixture f;
    Articles& articles = f.doc->core().articles;
    for (int i = 1; i <= Articles::MaxArticles; ++i) {
        auto a = std::make_unique<Article>();
        a->plu.parse(std::to_string(i));
        a->name = "ART" + std::to_string(i % 997) + "-" + std::to_string(i);
        a->price = (i * 37) % 5000;
        ASSERT_TRUE(articles.add(a));
    }
    ArticlesModel& model = f.view->articlesModel();
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    f.view->refill();
    EXPECT_EQ(model.rowCount(), Articles::MaxArticles);
    EXPECT_FALSE(enabled(f, cmd::ADD));
    f.view->clickColumn(2);
    f.app->mainFrame()->execute(cmd::SELECT_ALL);
    f.view->clickColumn(3);
    EXPECT_EQ(f.view->selectedRows().size(), size_t(Articles::MaxArticles));
    f.select({5, 6, 7, 100});
    f.prompt.answers = {true};
    f.app->mainFrame()->execute(cmd::DELETE);
    EXPECT_EQ(model.rowCount(), Articles::MaxArticles - 4);
    EXPECT_TRUE(enabled(f, cmd::ADD));
    for (int r = 1; r < model.rowCount(); ++r)
        ASSERT_LE(model.articleAt(r - 1)->price, model.articleAt(r)->price);
}

}  // namespace
}  // namespace kos::test
