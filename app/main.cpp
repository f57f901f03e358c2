// KOS: the desktop program of the online receipt server.
#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <cstring>

#include "app/KosTemplates.h"
#include "base/Version.h"
#include "base/qt/QtSettingsStore.h"
#include "shell/AppInfo.h"
#include "shell/EcrServiceApp.h"
#include "shell/FileChooser.h"
#include "shell/QtPrompt.h"
#include "shell/QtTranslation.h"

namespace {

const char* const USAGE =
    "Usage: KOS [--articles] [FILE.dsr | FILE.dat ...]\n"
    "  --articles   article documents (*.dat) too: \"Nowy\" asks for the type\n"
    "  FILE         documents to open; a .dat file implies --articles\n"
    "  --version    print the version and exit\n"
    "  --help       print this text and exit\n";

bool endsWithDat(const char* arg) {
    const size_t n = std::strlen(arg);
    return n > 4 && strcasecmp(arg + n - 4, ".dat") == 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Answered before Qt starts, so they need no display.
    if (kos::askedForVersion(argc, argv)) {
        std::printf("KOS %s\n", kos::VERSION_TEXT);
        return 0;
    }
    bool articles = false;
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(USAGE, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--articles") == 0) {
            articles = true;
        } else if (argv[i][0] == '-') {
            std::fprintf(stderr, "KOS: unknown option %s\n%s", argv[i], USAGE);
            return 2;
        } else {
            articles = articles || endsWithDat(argv[i]);
            files << QString::fromLocal8Bit(argv[i]);
        }
    }
    QApplication qapp(argc, argv);
    // No display name: the window system would append it to every caption, dialogs included.
    const auto qtTexts = kos::installQtTranslation();
    // The store's location (organisation "Tarvel", application "KOS") is fixed before anything
    // reads a setting.
    kos::QtSettingsStore store;
    kos::QtPrompt prompt;
    kos::QtFileChooser chooser;
    kos::EcrServiceApp app(store, prompt, chooser,
                           articles ? kos::addKosTemplatesWithArticles : kos::addKosTemplates);
    if (!app.initInstance())
        return 1;
    prompt.setParent(app.mainFrame());
    for (const QString& file : files)
        app.docManager().openDocumentFile(file);
    return QApplication::exec();
}
