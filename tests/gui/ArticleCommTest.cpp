// The progress dialog and the exchanges of the article windows, run with jobs that stand in
// for the register; the receipt header's view and dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <condition_variable>
#include <thread>

#include "ArticleTestSupport.h"
#include "articles/ui/ArticleCommands.h"
#include "articles/ui/ArticleJobs.h"
#include "articles/ui/CHeaderDlg.h"
#include "articles/ui/CHeaderView.h"
#include "base/Codepage.h"
#include "shell/MainFrame.h"

namespace kos::test {
namespace {

// A job that takes one step per article on its own thread, as the transfer jobs do; it may
// wait after its first step until "Przerwij" reaches it.
class StepJob : public CommJob {
public:
    StepJob(int steps, std::function<void(int)> step, bool pauseAfterFirst = false)
        : steps_(steps), step_(std::move(step)), pause_(pauseAfterFirst) {}
    ~StepJob() override {
        if (thread_.joinable())
            thread_.join();
    }
    void start(CommJobListener& listener) override {
        thread_ = std::thread([this, &listener] { run(listener); });
    }
    void abort() override {
        std::lock_guard<std::mutex> lock(mutex_);
        aborted_ = true;
        wake_.notify_all();
    }

private:
    void run(CommJobListener& listener) {
        int done = 0;
        for (int i = 0; i < steps_; ++i) {
            {
                std::unique_lock<std::mutex> lock(mutex_);
                if (aborted_)
                    break;
            }
            step_(i);
            ++done;
            listener.progress(done * 1000 / steps_, "Wysłano " + std::to_string(done));
            if (pause_ && i == 0) {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait_for(lock, std::chrono::seconds(20), [this] { return aborted_; });
            }
        }
        listener.finished(true, done, 0);
    }

    int steps_;
    std::function<void(int)> step_;
    bool pause_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool aborted_ = false;
    std::thread thread_;
};

// Register side of the exchanges: sent articles lose their mark, read articles come from a
// list, a read header has its lines.
struct FakeRegister : ArticleJobs {
    std::unique_ptr<CommJob> zeroCounters(const Settings&) override {
        return std::make_unique<StepJob>(1, [](int) {});
    }
    std::unique_ptr<CommJob> sendArticles(const Settings&, Articles& articles) override {
        return std::make_unique<StepJob>(
            articles.count(), [&articles](int i) { articles.getAt(i)->modified = false; },
            pauseSending);
    }
    std::unique_ptr<CommJob> deleteArticles(const Settings&, Articles& articles) override {
        return std::make_unique<StepJob>(articles.count(), [](int) {});
    }
    std::unique_ptr<CommJob> receiveArticles(const Settings&, Articles& articles) override {
        return std::make_unique<StepJob>(3, [&articles](int i) {
            auto a = std::make_unique<Article>();
            a->plu.parse(std::to_string(100 + i));
            a->name = "Z KASY " + std::to_string(i);
            a->modified = false;
            articles.add(a);
        });
    }
    std::unique_ptr<CommJob> sendHeader(const Settings&, const ECRHeader&) override {
        return std::make_unique<StepJob>(1, [](int) {});
    }
    std::unique_ptr<CommJob> receiveHeader(const Settings&, ECRHeader& header) override {
        return std::make_unique<StepJob>(1, [&header](int) { header.lines[0] = "  SKLEP"; });
    }
    bool pauseSending = false;
};

struct ArticleComm : ::testing::Test {
    ArticleComm() { setArticleJobs(&fake); }
    ~ArticleComm() override { setArticleJobs(nullptr); }
    FakeRegister fake;
    ArticleFixture f;
};

TEST_F(ArticleComm, PrzerwijStopsSendingAndOnlyTheJobsEndClosesTheDialog) {
    for (const char* plu : {"1", "2", "3"})
        f.put(plu, (std::string("A") + plu).c_str(), 100);
    f.select({0, 1, 2});
    fake.pauseSending = true;
    bool abortEnabledAfter = true;
    QString status;
    auto* poll = new QTimer(f.view);
    QObject::connect(poll, &QTimer::timeout, [&] {
        auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dlg || dlg->findChild<QPlainTextEdit*>("status")->toPlainText().isEmpty())
            return;
        poll->stop();
        status = dlg->findChild<QPlainTextEdit*>("status")->toPlainText();
        QTest::keyClick(dlg, Qt::Key_Escape);
        dlg->close();
        EXPECT_TRUE(dlg->isVisible());
        QTest::keyClick(dlg, Qt::Key_Return);
        abortEnabledAfter = dlg->findChild<QPushButton*>("abort")->isEnabled();
    });
    poll->start(10);
    f.prompt.answers = {true};
    f.view->sendSelectedArticles();
    EXPECT_EQ(status, "Wysłano 1");
    EXPECT_FALSE(abortEnabledAfter);
    EXPECT_EQ(f.prompt.shown.back().text,
              "Operacja komunikacji z kasą zakończona poprawnie.\nWysłano 1, błędów 0");
    EXPECT_EQ(f.prompt.shown.back().icon, PromptIcon::Information);
    EXPECT_EQ(f.cell(0, 0), "x");
    EXPECT_EQ(f.cell(1, 0), " ");
}

TEST_F(ArticleComm, ReadingReplacesTheArticlesAndTheHeader) {
    f.put("7", "STARY", 100);
    f.doc->core().header.lines[2] = "STARA LINIA";
    f.prompt.answers = {true, true};
    f.app->mainFrame()->execute(cmd::ECR_READ);
    ASSERT_EQ(f.view->articlesModel().rowCount(), 3);
    EXPECT_EQ(f.cell(0, 2), "Z KASY 0");
    EXPECT_EQ(f.prompt.shown.back().text,
              "Operacja komunikacji z kasą zakończona poprawnie.\nOdebrano 3");

    f.app->mainFrame()->execute(cmd::WINDOW_HEADER);
    f.app->mainFrame()->execute(cmd::ECR_READ);
    EXPECT_EQ(f.doc->core().header.lines[0], "  SKLEP");
    EXPECT_EQ(f.doc->core().header.lines[2], "");
    EXPECT_EQ(f.prompt.shown.back().text, "Operacja komunikacji z kasą zakończona poprawnie.");

    // Without a register exchange installed the commands report the communication error.
    setArticleJobs(nullptr);
    f.app->mainFrame()->execute(cmd::WINDOW_ARTICLES);
    f.app->mainFrame()->execute(cmd::ECR_ZERO_COUNTERS);
    EXPECT_EQ(f.prompt.shown.back().icon, PromptIcon::Stop);
}

TEST(ArticleHeader, LinesAreDrawnAlignedIn18WideBox) {
    ensureGuiApp();
    RecordingDevice device(400, 300, 96);
    QPainter painter(&device);
    const QFontMetrics fm = painter.fontMetrics();
    const int box = 18 * fm.horizontalAdvance(QLatin1Char('W'));
    const int abc = fm.horizontalAdvance("ABC");
    for (uint8_t alignment : {0, 1, 2}) {
        ECRHeader header;
        header.lines[1] = "ABC";
        header.alignment = alignment;
        device.texts.clear();
        drawHeader(painter, header);
        double x = -1;
        for (const auto& t : device.texts)
            if (t.text == "ABC")
                x = t.pos.x();
        const double expected[] = {0.0, (box - abc) / 2.0, double(box - abc)};
        EXPECT_NEAR(x, expected[alignment], 1.0) << int(alignment);
    }
}

TEST(ArticleHeader, DialogRefusesLinesOver18Characters) {
    ensureGuiApp();
    ScriptedPrompt prompt;
    ECRHeader header;
    header.lines[1] = utf8ToCp1250("ZA DŁUGA LINIA Z KASY");  // 21 characters from the register
    CHeaderDlg dialog(header, prompt);
    EXPECT_EQ(pressOk(dialog), QDialog::Rejected);
    EXPECT_EQ(prompt.shown.at(0).text, "Wprowadź nie więcej niż 18 znaków.");
    EXPECT_EQ(dialog.focusWidget()->objectName(), "line2");

    QLineEdit* line = control<QLineEdit>(dialog, "line2");
    line->setText("123456789012345678");
    line->setFocus();
    QTest::keyClicks(line, "9");
    EXPECT_EQ(line->text(), "123456789012345678");
    control<QRadioButton>(dialog, "align2")->setChecked(true);
    EXPECT_EQ(pressOk(dialog), QDialog::Accepted);
    EXPECT_EQ(dialog.header().lines[1], "123456789012345678");
    EXPECT_EQ(dialog.header().alignment, ECRHeader::RIGHT);
}

}  // namespace
}  // namespace kos::test
