// The application object: start-up in its fixed order (recent files, templates, settings, main
// frame), the settings every part reads, and the document manager.
#pragma once

#include <memory>

#include "shell/AppContext.h"
#include "shell/DocManager.h"
#include "shell/MainFrame.h"
#include "shell/RecentFileList.h"

namespace kos {

// Document string of the article and header templates.
inline constexpr const char* ARTICLE_DOC_STRING =
    "\nArtykuły\nArtykuły\nArtykuły (*.dat)\n.dat\nArtykułyt\nArtykuly.Document";

class EcrServiceApp {
public:
    // The store must already point at the program's settings location.
    EcrServiceApp(SettingsStore& store, Prompt& prompt, FileChooser& files);
    ~EcrServiceApp();

    // False when the main frame cannot be made; the program then ends. No document is opened.
    bool initInstance(bool show = true);

    Settings& settings() { return settings_; }
    AppContext& context() { return context_; }
    DocManager& docManager() { return *manager_; }
    MainFrame* mainFrame() const { return frame_.get(); }
    DocTemplate* articleTemplate() const { return articleTemplate_; }
    DocTemplate* headerTemplate() const { return headerTemplate_; }

private:
    Settings settings_;
    AppContext context_;
    RecentFileList recentFiles_;
    std::unique_ptr<DocManager> manager_;
    DocTemplate* articleTemplate_ = nullptr;
    DocTemplate* headerTemplate_ = nullptr;
    std::unique_ptr<MainFrame> frame_;
};

}  // namespace kos
