// KOS: the desktop program of the online receipt server.
#include <QApplication>

#include "app/KosTemplates.h"
#include "base/qt/QtSettingsStore.h"
#include "shell/AppInfo.h"
#include "shell/EcrServiceApp.h"
#include "shell/FileChooser.h"
#include "shell/QtPrompt.h"

int main(int argc, char** argv) {
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
    // The command line is not interpreted.
    return QApplication::exec();
}
