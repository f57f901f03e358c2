// How long the desktop program's event loop goes without turning while articles go to a
// register: a 5 ms timer ticks (and repaints the list of 12,600 articles) while the progress
// dialog sends articles to ecrsim, once over the serial line (a job on its own thread) and once
// relayed through an online document communicating in the same program. Prints the longest
// pause between ticks and how many exceeded 50 ms (the limit: none).
//
// usage: bench_article_send_loop [ARTICLES]   (sent each way; default 60, about 8 s each)
#include <unistd.h>
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "Simulator.h"
#include "articles/ArticleTransfer.h"
#include "articles/EcrDoc.h"
#include "articles/ui/ArticlesModel.h"
#include "articles/ui/CommDlgJobHost.h"
#include "articles/ui/InformationSrvDlg.h"
#include "base/Settings.h"
#include "online/OnlineComm.h"
#include "online/ServerTransfer.h"
#include "online/TarvelServerDoc.h"
#include "shell/CListViewEx.h"

namespace {

using namespace kos;
using Steady = std::chrono::steady_clock;

class YesPrompt final : public Prompt {
public:
    void message(const std::string& text, PromptIcon) override { last = text; }
    bool ask(const std::string&) override { return true; }
    std::string last;
};

// Ticks every 5 ms and keeps the pauses between ticks; each tick repaints the list.
class LoopWatch {
public:
    explicit LoopWatch(QWidget& view) {
        QObject::connect(&timer_, &QTimer::timeout, [this, &view] {
            const auto now = Steady::now();
            if (ticking_)
                gaps_.push_back(std::chrono::duration<double, std::milli>(now - last_).count());
            ticking_ = true;
            last_ = now;
            view.update();
        });
    }
    void start() {
        gaps_.clear();
        ticking_ = false;
        timer_.start(5);
    }
    void report(const char* what, double seconds) {
        timer_.stop();
        std::vector<double> g = gaps_;
        std::sort(g.begin(), g.end());
        const double longest = g.empty() ? 0 : g.back();
        const double p99 = g.empty() ? 0 : g[g.size() * 99 / 100];
        const long over = std::count_if(g.begin(), g.end(), [](double x) { return x > 50; });
        std::printf(
            "%-34s %6.1f s, %5zu ticks, longest pause %6.1f ms, 99%% %5.1f ms, "
            "over 50 ms: %ld\n",
            what, seconds, g.size(), longest, p99, over);
    }

private:
    QTimer timer_;
    std::vector<double> gaps_;
    Steady::time_point last_;
    bool ticking_ = false;
};

void fillArticles(Articles& articles) {
    for (int i = 0; i < Articles::MaxArticles; ++i) {
        auto a = std::make_unique<Article>();
        a->plu.parse(std::to_string(1000 + i));
        a->name = "TOWAR " + std::to_string(i);
        a->price = 100 + i % 5000;
        a->vat = uint8_t(i % 3);
        articles.add(a);
    }
}

double since(Steady::time_point t) {
    return std::chrono::duration<double>(Steady::now() - t).count();
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;

    ecrsim::SimOptions options;
    ecrsim::Simulator sim(options);
    std::string error;
    if (!sim.open(error)) {
        std::fprintf(stderr, "ecrsim: %s\n", error.c_str());
        return 1;
    }
    sim.start();

    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("bench-send-loop-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    Settings settings = defaultSettings();
    settings.port = 1;
    settings.portSpeed = 9600;
    settings.comDevice[0] = sim.slavePath();
    settings.ecrNr = 1;
    settings.receiptDir = dir.string();
    settings.receiptBackupDir.clear();

    EcrDoc doc;
    fillArticles(doc.articles);
    ArticlesModel model;
    CListViewEx view;
    view.setModel(&model);
    view.resize(800, 600);
    view.show();
    model.fill(doc.articles);
    std::vector<Article*> first(doc.articles.begin(), doc.articles.begin() + count);

    YesPrompt prompt;
    LoopWatch watch(view);
    std::printf("list of %d articles, %d sent each way\n", doc.articles.count(), count);

    // Over the serial line: the job runs on its own thread behind the progress dialog.
    watch.start();
    auto t = Steady::now();
    CommDlgJobHost host(&view);
    const bool direct = ArticleTransfer(doc, settings, host, prompt).sendSelected(first);
    watch.report("serial line (progress dialog):", since(t));

    // Relayed: the online document's worker sends between its polls; the window reads the
    // worker's events on a timer.
    TarvelServerDoc server;
    server.addRegister(1);
    if (!startOnline(server, settings, prompt)) {
        std::fprintf(stderr, "the online document did not start: %s\n", prompt.last.c_str());
        return 1;
    }
    Articles copies;
    for (const Article* a : first)
        copies.append(std::make_unique<Article>(*a));
    watch.start();
    t = Steady::now();
    {
        ServerTransfer transfer(server.slotAt(0)->job, true, copies, false);
        InformationSrvDlg dialog(transfer, prompt, &view);
        dialog.exec();
    }
    watch.report("through the online document:", since(t));
    std::string relayed = prompt.last;
    std::replace(relayed.begin(), relayed.end(), '\n', ' ');
    stopOnline(server, prompt);
    sim.stop();
    std::filesystem::remove_all(dir);

    std::printf("serial line: %s; relayed: %s\n", direct ? "sent" : "FAILED", relayed.c_str());
    return direct ? 0 : 1;
}
