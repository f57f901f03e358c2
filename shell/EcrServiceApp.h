// The application object: start-up in its fixed order (recent files, templates, settings, main
// frame), the settings every part reads, and the document manager. The program names the
// document types: it hands in what adds their templates.
#pragma once

#include <functional>
#include <memory>

#include "shell/AppContext.h"
#include "shell/DocManager.h"
#include "shell/MainFrame.h"
#include "shell/RecentFileList.h"

namespace kos {

class EcrServiceApp {
public:
    // Adds the program's document templates to the manager, in the order they are to be made.
    using TemplateInstaller = std::function<void(DocManager&)>;

    // The store must already point at the program's settings location.
    EcrServiceApp(SettingsStore& store, Prompt& prompt, FileChooser& files,
                  TemplateInstaller installTemplates);
    ~EcrServiceApp();

    // False when the main frame cannot be made; the program then ends. No document is opened.
    bool initInstance(bool show = true);

    Settings& settings() { return settings_; }
    AppContext& context() { return context_; }
    DocManager& docManager() { return *manager_; }
    MainFrame* mainFrame() const { return frame_.get(); }

private:
    Settings settings_;
    AppContext context_;
    RecentFileList recentFiles_;
    TemplateInstaller installTemplates_;
    std::unique_ptr<DocManager> manager_;
    std::unique_ptr<MainFrame> frame_;
};

}  // namespace kos
