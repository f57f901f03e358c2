// The main frame (caption "KOS ONLINE", with " - [window]" of the active document window):
// multi-document area, tool bar, five-pane status bar, its own menu while no document is open
// and the menu of the active document's template otherwise, the window list, the key table and
// the close rule.
#pragma once

#include <QMainWindow>
#include <QMap>

#include "shell/CommandSpec.h"
#include "shell/CommandTarget.h"
#include "shell/MenuSection.h"

class QLabel;
class QMdiArea;
class QMenu;
class QTimer;
class QToolBar;

namespace kos {

class ChildFrame;
class DocManager;
class DocTemplate;
class UiDocument;

class MainFrame : public QMainWindow, public CommandTarget {
    Q_OBJECT
public:
    explicit MainFrame(DocManager& manager, QWidget* parent = nullptr);
    ~MainFrame() override;

    // Builds bars, menus and keys; false when any of them cannot be made.
    bool create();

    QAction* action(int id) const { return actions_.value(id); }
    QMdiArea* mdiArea() const { return mdi_; }
    QToolBar* toolBar() const { return toolBar_; }
    // The status pane of command 59142 ("0/0").
    QLabel* countsPane() const { return counts_; }
    QList<QAction*> recentFileActions() const { return recentActions_; }

    ChildFrame* activeFrame() const;
    // Brings the document's window with this view to the front, or opens one; none when the
    // document's template has no such view.
    ChildFrame* showView(UiDocument* doc, const QString& viewName);
    // Brings the document's most recently active window to the front.
    void activateDocument(UiDocument* doc);
    UiDocument* activeDocument() const;

    // The command-update pass: every action enabled and checked as its handler says.
    void updateCommands();
    // Routes a command (view, document, frame); false when nothing handles it or it is disabled.
    bool execute(int id);

    bool updateCommand(int id, CommandState& state) override;
    bool runCommand(int id) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void addCommand(const CommandSpec& command);
    void buildActions();
    QList<QMenu*> buildMenus(const QList<MenuSection>& sections);
    void buildToolBar();
    void buildStatusBar();
    void showMenusFor(UiDocument* doc);
    void updateRecentFiles();
    // The open windows at the window-list place of a menu, the active one checked.
    void fillWindowList(QMenu* menu);
    void updateCaption();
    // Windows of one document are told apart by ":1", ":2"... in their titles.
    void numberFrames(UiDocument* doc);
    void bringToFront(ChildFrame* frame);
    ChildFrame* frameOf(UiDocument* doc, const QString& viewName) const;
    ChildFrame* openView(UiDocument* doc, const QString& viewName);
    void onDocumentOpened(UiDocument* doc);
    void onDocumentClosing(UiDocument* doc);
    // Command targets of the active window in routing order.
    QList<CommandTarget*> routeTargets() const;
    void showOptions();
    void showAbout();
    void pageSetup();

    DocManager& manager_;
    QMdiArea* mdi_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* message_ = nullptr;
    QLabel* counts_ = nullptr;
    QTimer* idle_ = nullptr;
    QMap<int, QAction*> actions_;
    QList<QAction*> recentActions_;
    QAction* recentPlaceholder_ = nullptr;
    // Menus with a window list: the separator that marks its place, and the list's items.
    struct WindowList {
        QAction* marker = nullptr;
        QList<QAction*> items;
    };
    QMap<QMenu*, WindowList> windowLists_;
    // Texts of each command when no document type names it in its own words.
    QMap<int, CommandSpec> baseTexts_;
    QList<QMenu*> frameMenus_;
    QMap<const DocTemplate*, QList<QMenu*>> templateMenus_;
    const DocTemplate* menuTemplate_ = nullptr;
    bool menusShown_ = false;
};

}  // namespace kos
