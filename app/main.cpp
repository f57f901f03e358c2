// KOS: the desktop program of the online receipt server.
#include <QApplication>
#include <cstdio>

#include "app/KosTemplates.h"
#include "base/Version.h"
#include "base/qt/QtSettingsStore.h"
#include "shell/AppInfo.h"
#include "shell/EcrServiceApp.h"
#include "shell/FileChooser.h"
#include "shell/QtPrompt.h"

int main(int argc, char** argv) {
    // Answered before Qt starts, so it needs no display.
    if (kos::askedForVersion(argc, argv)) {
        std::printf("KOS %s\n", kos::VERSION_TEXT);
        return 0;
    }
    QApplication qapp(argc, argv);
    QApplication::setApplicationDisplayName(kos::appTitle());
    // The store's location (organisation "Tarvel", application "KOS") is fixed before anything
    // reads a setting.
    kos::QtSettingsStore store;
    kos::QtPrompt prompt;
    kos::QtFileChooser files;
    kos::EcrServiceApp app(store, prompt, files, kos::addKosTemplates);
    if (!app.initInstance())
        return 1;
    prompt.setParent(app.mainFrame());
    // Apart from --version, the command line is not interpreted.
    return QApplication::exec();
}
