#include "shell/EcrServiceApp.h"

namespace kos {

EcrServiceApp::EcrServiceApp(SettingsStore& store, Prompt& prompt, FileChooser& files,
                             TemplateInstaller installTemplates)
    : settings_(defaultSettings()),
      context_{settings_, store, prompt, files},
      recentFiles_(store),
      installTemplates_(std::move(installTemplates)) {}

EcrServiceApp::~EcrServiceApp() {
    // Windows go before the documents they show.
    frame_.reset();
    manager_.reset();
}

bool EcrServiceApp::initInstance(bool show) {
    recentFiles_.load();
    manager_ = std::make_unique<DocManager>(context_, recentFiles_);
    if (installTemplates_)
        installTemplates_(*manager_);
    loadSettings(context_.store, settings_);

    frame_ = std::make_unique<MainFrame>(*manager_);
    if (!frame_->create()) {
        frame_.reset();
        return false;
    }
    if (show)
        frame_->show();
    return true;
}

}  // namespace kos
