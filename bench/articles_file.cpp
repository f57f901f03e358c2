// Loading, saving and exporting a document of 12,600 articles, and importing 12,600 article
// lines into an empty one (in ascending PLU order, the longest walk of add, and shuffled).
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include "articles/ArticleText.h"
#include "articles/EcrDoc.h"
#include "base/Codepage.h"
#include "base/Prompt.h"

namespace {

using namespace kos;
using Clock = std::chrono::steady_clock;

class SilentPrompt final : public Prompt {
public:
    void message(const std::string& text, PromptIcon) override {
        std::fprintf(stderr, "unexpected: %s\n", text.c_str());
    }
    bool ask(const std::string& text) override {
        std::fprintf(stderr, "unexpected: %s\n", text.c_str());
        return false;
    }
};

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Wall and CPU milliseconds since construction (CPU time shows the cost on a busy machine).
struct Timer {
    Clock::time_point wall = Clock::now();
    double cpu = cpuMs();
    std::string text() const {
        char buf[64];
        snprintf(buf, sizeof buf, "%8.1f ms (CPU %6.1f ms)",
                 std::chrono::duration<double, std::milli>(Clock::now() - wall).count(),
                 cpuMs() - cpu);
        return buf;
    }
};

void fill(EcrDoc& doc) {
    for (int i = 1; i <= Articles::MaxArticles; ++i) {
        auto a = std::make_unique<Article>();
        a->plu.parse(std::to_string(5900000000000LL + i * 7LL));
        a->name = "ARTYKU\xA3 NR " + std::to_string(i);
        a->price = i * 13;
        a->vat = static_cast<uint8_t>(i % VAT_RATES);
        a->modified = i % 2;
        a->saleQuantity = i * 1001;
        a->saleValue = i * 77;
        doc.articles.add(a);
    }
}

// Pastes the UTF-8 lines into an empty document and saves it, as kos-articles import does.
std::string importInto(const std::string& path, const std::string& utf8, int& added) {
    const Timer timer;
    EcrDoc doc;
    std::string text;
    utf8ToCp1250Exact(utf8, text);
    SilentPrompt prompt;
    added = pasteArticles(doc, text, prompt).added;
    doc.writeFile(path);
    return timer.text();
}

}  // namespace

int main() {
    char dirTemplate[] = "/tmp/kos-bench-articles-XXXXXX";
    const std::string dir = mkdtemp(dirTemplate);
    const std::string path = dir + "/a.dat";
    EcrDoc doc;
    fill(doc);
    const VatTexts vat = vatTexts(defaultSettings());

    Timer timer;
    doc.writeFile(path);
    const std::string save = timer.text();

    EcrDoc loaded;
    timer = Timer();
    const DatStatus status = loaded.readFile(path);
    const std::string load = timer.text();

    timer = Timer();
    const std::string exported = cp1250ToUtf8(copyArticles(loaded.articles, vat));
    const std::string exportMs = timer.text();

    int addedSorted = 0, addedShuffled = 0;
    const std::string importSorted = importInto(dir + "/b.dat", exported, addedSorted);
    std::vector<std::string> lines;
    for (size_t p = 0; p < exported.size();) {
        const size_t e = exported.find('\n', p) + 1;
        lines.push_back(exported.substr(p, e - p));
        p = e;
    }
    std::shuffle(lines.begin(), lines.end(), std::mt19937(7));
    std::string shuffled;
    for (const std::string& l : lines)
        shuffled += l;
    const std::string importShuffled = importInto(dir + "/c.dat", shuffled, addedShuffled);

    std::printf("articles:                 %d (file %ld bytes, read %s)\n", loaded.articles.count(),
                static_cast<long>(doc.toDat().size()), status == DatStatus::Ok ? "ok" : "FAILED");
    std::printf("save (synced, renamed):   %s\n", save.c_str());
    std::printf("load:                     %s\n", load.c_str());
    std::printf("export (UTF-8 text):      %s\n", exportMs.c_str());
    std::printf("import ascending PLUs:    %s, %d added, saved\n", importSorted.c_str(),
                addedSorted);
    std::printf("import shuffled lines:    %s, %d added, saved\n", importShuffled.c_str(),
                addedShuffled);
    for (const char* f : {"/a.dat", "/b.dat", "/c.dat"})
        ::unlink((dir + f).c_str());
    ::rmdir(dir.c_str());
    return status == DatStatus::Ok && addedSorted == Articles::MaxArticles &&
                   addedShuffled == Articles::MaxArticles
               ? 0
               : 1;
}
