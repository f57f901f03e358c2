#include "shell/EcrServiceApp.h"

#include "online/ui/OnlineDocument.h"

namespace kos {

EcrServiceApp::EcrServiceApp(SettingsStore& store, Prompt& prompt, FileChooser& files)
    : settings_(defaultSettings()),
      context_{settings_, store, prompt, files},
      recentFiles_(store) {}

EcrServiceApp::~EcrServiceApp() {
    // Windows go before the documents they show.
    frame_.reset();
    manager_.reset();
}

bool EcrServiceApp::initInstance(bool show) {
    recentFiles_.load();
    manager_ = std::make_unique<DocManager>(context_, recentFiles_);
    // The article and header templates only describe the article document's windows; no
    // command creates or opens an article document, so neither is registered.
    const QString articleString = QString::fromUtf8(ARTICLE_DOC_STRING);
    articleTemplate_ =
        &manager_->addTemplate(std::make_unique<DocTemplate>(articleString, nullptr), false);
    headerTemplate_ =
        &manager_->addTemplate(std::make_unique<DocTemplate>(articleString, nullptr), false);
    registerOnlineTemplate(*manager_);
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
