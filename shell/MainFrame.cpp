#include "shell/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "shell/AboutDialog.h"
#include "shell/AppInfo.h"
#include "shell/ChildFrame.h"
#include "shell/Commands.h"
#include "shell/DocManager.h"
#include "shell/DocTemplate.h"
#include "shell/OptionsSheet.h"
#include "shell/PrinterSetup.h"
#include "shell/ToolIcons.h"
#include "shell/UiDocument.h"

namespace kos {

namespace {

const char* const TEXT_APP_CLOSE_REFUSED =
    "Przed zamknięciem aplikacji trzeba zakończyć komunikację z kasami.";

// The command-update pass runs this often, as an idle handler would.
constexpr int IDLE_UPDATE_MS = 200;

// The frame's own commands: its menu, its key table and the tool bar's. A document type adds
// its own and may name these in its own words.
QList<CommandSpec> frameCommands() {
    using K = QKeySequence;
    auto s = [](const char* text) { return QString::fromUtf8(text); };
    return {
        {cmd::FILE_NEW, s("&Nowy"), {K(Qt::CTRL | Qt::Key_N)}, s("Tworzy nowy dokument")},
        {cmd::FILE_OPEN, s("&Otwórz"), {K(Qt::CTRL | Qt::Key_O)}, s("Otwiera istniejący dokument")},
        {cmd::FILE_CLOSE, s("Za&mknij okno"), {}, s("Zamyka aktywny dokument")},
        {cmd::FILE_SAVE, s("&Zapisz"), {K(Qt::CTRL | Qt::Key_S)}, s("Zapisuje aktywny dokument")},
        {cmd::FILE_SAVE_AS, s("Zapisz &jako"), {}, s("Zapisuje aktywny dokument pod nową nazwą")},
        {cmd::OPTIONS, s("&Parametry"), {}, s("Katalogi paragonów i port szeregowy")},
        {cmd::FILE_PAGE_SETUP,
         s("&Ustawienia strony"),
         {},
         s("Wybór drukarki i ustawienia strony")},
        {cmd::APP_EXIT, s("&Koniec"), {}, s("Kończy pracę programu")},
        {cmd::ADD, s("&Dodaj\tIns"), {K(Qt::Key_Insert)}, s("Dodaje nową pozycję")},
        {cmd::DELETE, s("&Usuń\tDel"), {K(Qt::Key_Delete)}, s("Usuwa zaznaczone pozycje")},
        {cmd::VIEW_TOOLBAR,
         s("&Pasek narzędzi"),
         {},
         s("Pokazuje lub ukrywa pasek narzędzi"),
         true},
        {cmd::VIEW_STATUS_BAR,
         s("Pasek &Statusu"),
         {},
         s("Pokazuje lub ukrywa pasek statusu"),
         true},
        {cmd::WINDOW_CASCADE, s("&Kaskadowo"), {}, s("Układa okna kaskadowo")},
        {cmd::WINDOW_TILE, s("&Sąsiadująco"), {}, s("Układa okna obok siebie")},
        {cmd::WINDOW_ARRANGE, s("&Uporządkuj ikony"), {}, s("Układa ikony okien u dołu")},
        {cmd::APP_ABOUT, s("&O programie"), {}, s("Informacje o programie i jego wersji")},
        // Commands of the key table that only some views handle.
        {cmd::EDIT_COPY,
         s("Kopiuj"),
         {K(Qt::CTRL | Qt::Key_C), K(Qt::CTRL | Qt::Key_Insert)},
         s("Kopiuje zaznaczenie do schowka")},
        {cmd::EDIT_CUT,
         s("Wytnij"),
         {K(Qt::CTRL | Qt::Key_X), K(Qt::SHIFT | Qt::Key_Delete)},
         s("Przenosi zaznaczenie do schowka")},
        {cmd::EDIT_PASTE,
         s("Wklej"),
         {K(Qt::CTRL | Qt::Key_V), K(Qt::SHIFT | Qt::Key_Insert)},
         s("Wstawia zawartość schowka")},
        {cmd::EDIT,
         s("Edytuj"),
         {K(Qt::Key_Return), K(Qt::Key_Enter)},
         s("Zmienia zaznaczoną pozycję")},
        {cmd::FILE_PRINT, s("Drukuj"), {K(Qt::CTRL | Qt::Key_P)}, s("Drukuje aktywny dokument")},
        {cmd::FILE_PRINT_PREVIEW, s("Podgląd wydruku"), {}, s("Pokazuje wydruk na ekranie")},
        {cmd::NEXT_PANE,
         s("Następny panel"),
         {K(Qt::Key_F6)},
         s("Przechodzi do następnego panelu")},
        {cmd::PREV_PANE,
         s("Poprzedni panel"),
         {K(Qt::SHIFT | Qt::Key_F6)},
         s("Przechodzi do poprzedniego panelu")},
        {cmd::WINDOW_NEXT,
         s("Następne okno"),
         {K(Qt::CTRL | Qt::Key_F6)},
         s("Uaktywnia następne okno")},
        {cmd::WINDOW_PREV,
         s("Poprzednie okno"),
         {K(Qt::CTRL | Qt::SHIFT | Qt::Key_F6)},
         s("Uaktywnia poprzednie okno")},
        {cmd::SELECT_ALL,
         s("Zaznacz wszystko"),
         {K(Qt::CTRL | Qt::Key_A)},
         s("Zaznacza wszystkie pozycje")},
    };
}

// The frame's menu when no document is open; -1 stands for the recent files, 0 for a separator.
QList<MenuSection> frameMenu() {
    using M = MenuSection;
    return {
        {QStringLiteral("&Plik"),
         {cmd::FILE_NEW, cmd::FILE_OPEN, M::SEPARATOR, cmd::OPTIONS, cmd::FILE_PAGE_SETUP,
          M::SEPARATOR, M::RECENT_FILES, M::SEPARATOR, cmd::APP_EXIT}},
        {QStringLiteral("&Widok"), {cmd::VIEW_TOOLBAR, cmd::VIEW_STATUS_BAR}},
        {QStringLiteral("Pomo&c"), {cmd::APP_ABOUT}},
    };
}

// Menus show at most this many characters of a recent file's path.
constexpr int RECENT_FILE_CHARS = 40;

void showTexts(QAction* a, const CommandSpec& command) {
    a->setText(command.text);
    a->setStatusTip(command.tip);
    a->setToolTip(command.text.section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&')));
}

}  // namespace

MainFrame::MainFrame(DocManager& manager, QWidget* parent)
    : QMainWindow(parent), manager_(manager) {
    setWindowTitle(appTitle());
    setWindowIcon(appIcon());
}

MainFrame::~MainFrame() {
    // Child windows hidden while the frame goes must not reach back into it.
    if (mdi_)
        mdi_->disconnect(this);
    manager_.disconnect(this);
}

bool MainFrame::create() {
    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    buildActions();
    buildToolBar();
    buildStatusBar();
    frameMenus_ = buildMenus(frameMenu());
    showMenusFor(nullptr);
    if (!mdi_ || !toolBar_ || !message_ || !counts_ || frameMenus_.isEmpty())
        return false;

    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] {
        showMenusFor(activeDocument());
        updateCaption();
        updateCommands();
    });
    connect(&manager_, &DocManager::documentOpened, this, &MainFrame::onDocumentOpened);
    connect(&manager_, &DocManager::documentClosing, this, &MainFrame::onDocumentClosing);
    connect(&manager_, &DocManager::viewRequested, this, &MainFrame::showView);
    connect(&manager_, &DocManager::activationRequested, this, &MainFrame::activateDocument);
    connect(&manager_, &DocManager::recentFilesChanged, this, &MainFrame::updateRecentFiles);
    manager_.setDialogParent(this);

    idle_ = new QTimer(this);
    connect(idle_, &QTimer::timeout, this, &MainFrame::updateCommands);
    idle_->start(IDLE_UPDATE_MS);
    updateRecentFiles();
    updateCommands();
    resize(800, 600);
    return true;
}

void MainFrame::addCommand(const CommandSpec& command) {
    if (QAction* existing = actions_.value(command.id)) {
        // Named before: this declaration fills only what the earlier ones left out.
        CommandSpec& base = baseTexts_[command.id];
        if (base.text.isEmpty())
            base.text = command.text;
        if (base.tip.isEmpty())
            base.tip = command.tip;
        showTexts(existing, base);
        if (existing->shortcuts().isEmpty() && !command.keys.isEmpty())
            existing->setShortcuts(command.keys);
        if (command.checkable)
            existing->setCheckable(true);
        return;
    }
    auto* a = new QAction(this);
    a->setData(command.id);
    if (!command.keys.isEmpty())
        a->setShortcuts(command.keys);
    a->setShortcutContext(Qt::WindowShortcut);
    a->setCheckable(command.checkable);
    a->setEnabled(false);
    const int id = command.id;
    connect(a, &QAction::triggered, this, [this, id] { execute(id); });
    actions_.insert(id, a);
    baseTexts_.insert(id, command);
    showTexts(a, command);
    addAction(a);  // keys work whether or not the current menu shows the command
}

void MainFrame::buildActions() {
    for (const CommandSpec& command : frameCommands())
        addCommand(command);
    for (DocTemplate* t : manager_.templates())
        for (const CommandSpec& command : t->commands())
            addCommand(command);

    for (int i = 0; i < 4; ++i) {
        auto* a = new QAction(this);
        connect(a, &QAction::triggered, this, [this, i] {
            const QStringList files = manager_.recentFiles().files();
            if (i < files.size())
                manager_.openDocumentFile(files.at(i));
        });
        recentActions_.append(a);
    }
    recentPlaceholder_ = new QAction(QStringLiteral("&Lista ostatnio otwartych plików"), this);
    recentPlaceholder_->setStatusTip(QStringLiteral("Otwiera ostatnio używany dokument"));
    recentPlaceholder_->setEnabled(false);
}

void MainFrame::buildToolBar() {
    toolBar_ = new QToolBar(QStringLiteral("Standardowy"), this);
    toolBar_->setObjectName(QStringLiteral("toolbar130"));
    toolBar_->setMovable(true);  // the handle is the gripper
    toolBar_->setFloatable(true);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->setIconSize(QSize(16, 16));
    const int buttons[] = {
        cmd::FILE_NEW,     cmd::FILE_OPEN, cmd::FILE_SAVE, 0, cmd::ADD, cmd::DELETE, 0,
        cmd::ONLINE_TOGGLE};
    for (int id : buttons) {
        if (id == 0) {
            toolBar_->addSeparator();
            continue;
        }
        if (!actions_.contains(id))
            addCommand({id});  // a button no document type names stays without text
        QAction* a = actions_.value(id);
        a->setIcon(toolIcon(id));
        toolBar_->addAction(a);
    }
    addToolBar(Qt::TopToolBarArea, toolBar_);
}

void MainFrame::buildStatusBar() {
    QStatusBar* bar = statusBar();
    message_ = new QLabel(QStringLiteral("Gotowy"), bar);
    bar->addWidget(message_, 1);
    counts_ = new QLabel(QStringLiteral("0/0"), bar);
    counts_->setObjectName(QStringLiteral("pane%1").arg(cmd::STATUS_COUNTS));
    counts_->setFixedWidth(100);
    counts_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addPermanentWidget(counts_);
    for (const char* key : {"CAP", "NUM", "SCRL"}) {
        auto* indicator = new QLabel(QString::fromLatin1(key), bar);
        indicator->setObjectName(QString::fromLatin1(key));
        indicator->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        indicator->setEnabled(false);
        bar->addPermanentWidget(indicator);
    }
}

QList<QMenu*> MainFrame::buildMenus(const QList<MenuSection>& sections) {
    QList<QMenu*> menus;
    for (const MenuSection& section : sections) {
        auto* menu = new QMenu(section.title, this);
        for (int id : section.items) {
            if (id == MenuSection::SEPARATOR) {
                menu->addSeparator();
            } else if (id == MenuSection::WINDOW_LIST) {
                WindowList& list = windowLists_[menu];
                list.marker = menu->addSeparator();
                list.marker->setVisible(false);
                connect(menu, &QMenu::aboutToShow, this, [this, menu] { fillWindowList(menu); });
            } else if (id == MenuSection::RECENT_FILES) {
                // The placeholder keeps the list's place while it is empty.
                menu->addAction(recentPlaceholder_);
                menu->addActions(recentActions_);
            } else {
                if (!actions_.contains(id))
                    addCommand({id});
                menu->addAction(actions_.value(id));
            }
        }
        menus << menu;
    }
    return menus;
}

void MainFrame::showMenusFor(UiDocument* doc) {
    const DocTemplate* active = doc ? &doc->docTemplate() : nullptr;
    if (menusShown_ && active == menuTemplate_)
        return;
    const DocTemplate* previous = menuTemplate_;
    menuTemplate_ = active;
    menusShown_ = true;

    // Commands the last document type named in its own words get the common texts back.
    if (previous)
        for (const CommandSpec& command : previous->commands())
            showTexts(actions_.value(command.id), baseTexts_.value(command.id));
    if (active)
        for (const CommandSpec& command : active->commands()) {
            addCommand(command);
            CommandSpec own = baseTexts_.value(command.id);
            if (!command.text.isEmpty())
                own.text = command.text;
            if (!command.tip.isEmpty())
                own.tip = command.tip;
            showTexts(actions_.value(command.id), own);
        }

    QList<QMenu*>* menus = &frameMenus_;
    if (active && !active->menu().isEmpty()) {
        if (!templateMenus_.contains(active))
            templateMenus_.insert(active, buildMenus(active->menu()));
        menus = &templateMenus_[active];
    }
    menuBar()->clear();
    for (QMenu* m : *menus)
        menuBar()->addMenu(m);
}

void MainFrame::updateRecentFiles() {
    const QStringList files = manager_.recentFiles().files();
    for (int i = 0; i < recentActions_.size(); ++i) {
        QAction* a = recentActions_[i];
        a->setVisible(i < files.size());
        if (i >= files.size())
            continue;
        const QString shown = shortenedPath(files.at(i), RECENT_FILE_CHARS);
        // A "&" of the path is shown as itself, not as an access key.
        QString text = shown;
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(text));
        a->setStatusTip(QStringLiteral("Otwiera dokument %1").arg(files.at(i)));
    }
    recentPlaceholder_->setVisible(files.isEmpty());
}

void MainFrame::fillWindowList(QMenu* menu) {
    WindowList& list = windowLists_[menu];
    qDeleteAll(list.items);
    list.items.clear();
    QList<QAction*> items;
    const ChildFrame* active = activeFrame();
    int n = 0;
    for (QMdiSubWindow* w : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        auto* frame = qobject_cast<ChildFrame*>(w);
        if (!frame || frame->isReleased())
            continue;
        ++n;
        QString title = frame->windowTitle();
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto* a = new QAction(n <= 9 ? QStringLiteral("&%1 %2").arg(n).arg(title) : title, menu);
        a->setCheckable(true);
        a->setChecked(frame == active);
        a->setStatusTip(QStringLiteral("Uaktywnia to okno"));
        connect(a, &QAction::triggered, this, [this, f = QPointer<ChildFrame>(frame)] {
            if (f)
                bringToFront(f);
        });
        items << a;
    }
    // The list follows its marker, before whatever the menu has after it.
    const QList<QAction*> all = menu->actions();
    const int at = all.indexOf(list.marker);
    QAction* before = at + 1 < all.size() ? all.at(at + 1) : nullptr;
    menu->insertActions(before, items);
    list.marker->setVisible(!items.isEmpty() && at > 0);
    list.items = items;
}

void MainFrame::updateCaption() {
    const ChildFrame* frame = activeFrame();
    const QString caption =
        frame ? QStringLiteral("%1 - [%2]").arg(appTitle(), frame->windowTitle()) : appTitle();
    if (windowTitle() != caption)
        setWindowTitle(caption);
}

void MainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // A maximised child window writes its own form of the caption; ours stays.
    if (event->type() == QEvent::WindowTitleChange)
        updateCaption();
}

void MainFrame::numberFrames(UiDocument* doc) {
    QList<ChildFrame*> frames;
    for (QMdiSubWindow* w : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        auto* frame = qobject_cast<ChildFrame*>(w);
        if (frame && frame->document() == doc && !frame->isReleased())
            frames << frame;
    }
    for (int i = 0; i < frames.size(); ++i)
        frames[i]->setTitleNumber(frames.size() > 1 ? i + 1 : 0);
    updateCaption();
}

void MainFrame::bringToFront(ChildFrame* frame) {
    if (frame->isMinimized())
        frame->showNormal();
    mdi_->setActiveSubWindow(frame);
    updateCaption();
}

void MainFrame::activateDocument(UiDocument* doc) {
    const QList<QMdiSubWindow*> list = mdi_->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (int i = list.size() - 1; i >= 0; --i) {
        auto* frame = qobject_cast<ChildFrame*>(list[i]);
        if (frame && frame->document() == doc && !frame->isReleased()) {
            bringToFront(frame);
            return;
        }
    }
}

ChildFrame* MainFrame::activeFrame() const {
    if (!mdi_)
        return nullptr;
    auto* active = qobject_cast<ChildFrame*>(mdi_->activeSubWindow());
    if (active && !active->isReleased())
        return active;
    // Without focus on the program the area reports no active window, and a window that is
    // going may still be reported; take the top one that stays.
    const QList<QMdiSubWindow*> list = mdi_->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (int i = list.size() - 1; i >= 0; --i) {
        auto* frame = qobject_cast<ChildFrame*>(list[i]);
        if (frame && frame->isVisible() && !frame->isReleased())
            return frame;
    }
    return nullptr;
}

UiDocument* MainFrame::activeDocument() const {
    ChildFrame* f = activeFrame();
    return f ? f->document() : nullptr;
}

QList<CommandTarget*> MainFrame::routeTargets() const {
    QList<CommandTarget*> targets;
    if (ChildFrame* f = activeFrame()) {
        if (CommandTarget* view = f->viewTarget())
            targets.append(view);
        targets.append(f->document());
    }
    targets.append(const_cast<MainFrame*>(this));
    return targets;
}

void MainFrame::updateCommands() {
    const QList<CommandTarget*> targets = routeTargets();
    for (auto it = actions_.begin(); it != actions_.end(); ++it) {
        CommandState state;
        for (CommandTarget* t : targets)
            if (t->updateCommand(it.key(), state))
                break;
        it.value()->setEnabled(state.enabled);
        if (it.value()->isCheckable())
            it.value()->setChecked(state.checked);
    }
}

bool MainFrame::execute(int id) {
    const QList<CommandTarget*> targets = routeTargets();
    bool handled = false;
    for (CommandTarget* t : targets) {
        CommandState state;
        if (!t->updateCommand(id, state))
            continue;
        // A command disabled at this moment does not run, whatever the last update showed.
        handled = state.enabled && t->runCommand(id);
        break;
    }
    updateCommands();
    return handled;
}

bool MainFrame::updateCommand(int id, CommandState& state) {
    switch (id) {
        case cmd::FILE_NEW:
        case cmd::FILE_OPEN:
        case cmd::OPTIONS:
        case cmd::FILE_PAGE_SETUP:
        case cmd::APP_ABOUT:
        case cmd::APP_EXIT:
            state.enabled = true;
            return true;
        case cmd::VIEW_TOOLBAR:
            state.enabled = true;
            state.checked = toolBar_ && toolBar_->isVisible();
            return true;
        case cmd::VIEW_STATUS_BAR:
            state.enabled = true;
            state.checked = statusBar()->isVisible();
            return true;
        case cmd::WINDOW_CASCADE:
        case cmd::WINDOW_TILE:
        case cmd::WINDOW_ARRANGE:
        case cmd::WINDOW_NEXT:
        case cmd::WINDOW_PREV:
            state.enabled = mdi_ && !mdi_->subWindowList().isEmpty();
            return true;
    }
    return false;
}

bool MainFrame::runCommand(int id) {
    switch (id) {
        case cmd::FILE_NEW:
            manager_.fileNew();
            return true;
        case cmd::FILE_OPEN:
            manager_.fileOpen();
            return true;
        case cmd::OPTIONS:
            showOptions();
            return true;
        case cmd::FILE_PAGE_SETUP:
            pageSetup();
            return true;
        case cmd::APP_ABOUT:
            showAbout();
            return true;
        case cmd::APP_EXIT:
            close();
            return true;
        case cmd::VIEW_TOOLBAR:
            toolBar_->setVisible(!toolBar_->isVisible());
            return true;
        case cmd::VIEW_STATUS_BAR:
            statusBar()->setVisible(!statusBar()->isVisible());
            return true;
        case cmd::WINDOW_CASCADE:
            mdi_->cascadeSubWindows();
            return true;
        case cmd::WINDOW_TILE:
            mdi_->tileSubWindows();
            return true;
        case cmd::WINDOW_NEXT:
            mdi_->activateNextSubWindow();
            return true;
        case cmd::WINDOW_PREV:
            mdi_->activatePreviousSubWindow();
            return true;
        case cmd::WINDOW_ARRANGE: {
            // Minimised windows in a row along the bottom edge.
            int x = 0;
            for (QMdiSubWindow* w : mdi_->subWindowList()) {
                if (!w->isMinimized())
                    continue;
                w->move(x, mdi_->viewport()->height() - w->height());
                x += w->width();
            }
            return true;
        }
    }
    return false;
}

void MainFrame::showOptions() {
    OptionsSheet sheet(manager_.context(), this);
    if (sheet.exec() != QDialog::Accepted)
        return;
    sheet.storeSettings();
    Q_EMIT manager_.settingsChanged();
}

void MainFrame::showAbout() {
    QApplication::beep();
    AboutDialog about(this);
    about.exec();
}

void MainFrame::pageSetup() {
    PrinterSetupDialog dialog(appPrinter(), this);
    dialog.exec();
}

ChildFrame* MainFrame::frameOf(UiDocument* doc, const QString& viewName) const {
    for (QMdiSubWindow* w : mdi_->subWindowList()) {
        auto* frame = qobject_cast<ChildFrame*>(w);
        if (frame && frame->document() == doc && frame->viewName() == viewName &&
            !frame->isReleased())
            return frame;
    }
    return nullptr;
}

ChildFrame* MainFrame::openView(UiDocument* doc, const QString& viewName) {
    auto* frame = new ChildFrame(doc, viewName);
    if (!frame->hasView()) {
        delete frame;
        return nullptr;
    }
    mdi_->addSubWindow(frame);
    connect(frame, &ChildFrame::released, this,
            [this, d = QPointer<UiDocument>(doc)](bool wasMaximized) {
                // The window that comes to the front keeps the maximised look.
                ChildFrame* next = activeFrame();
                if (wasMaximized && next && !next->isMinimized()) {
                    next->showMaximized();
                    mdi_->setActiveSubWindow(next);
                }
                if (d)
                    numberFrames(d);
            });
    frame->showMaximized();
    mdi_->setActiveSubWindow(frame);
    numberFrames(doc);
    showMenusFor(doc);
    updateCommands();
    return frame;
}

ChildFrame* MainFrame::showView(UiDocument* doc, const QString& viewName) {
    ChildFrame* frame = frameOf(doc, viewName);
    if (!frame)
        return openView(doc, viewName);
    bringToFront(frame);
    return frame;
}

void MainFrame::onDocumentOpened(UiDocument* doc) {
    connect(doc, &UiDocument::commandStateChanged, this, &MainFrame::updateCommands);
    connect(doc, &UiDocument::titleChanged, this, [this, doc] { numberFrames(doc); });
    openView(doc, doc->docTemplate().defaultView());
}

void MainFrame::onDocumentClosing(UiDocument* doc) {
    for (QMdiSubWindow* w : mdi_->subWindowList()) {
        auto* frame = qobject_cast<ChildFrame*>(w);
        if (frame && frame->document() == doc)
            frame->release();
    }
    // The next window becomes active; with none left the menus of no document return.
    QTimer::singleShot(0, this, [this] {
        showMenusFor(activeDocument());
        updateCaption();
        updateCommands();
    });
}

void MainFrame::closeEvent(QCloseEvent* event) {
    const QList<UiDocument*> docs = manager_.documents();
    for (UiDocument* doc : docs) {
        if (doc->keepsApplicationOpen()) {
            manager_.context().prompt.message(TEXT_APP_CLOSE_REFUSED, PromptIcon::None);
            event->ignore();
            return;
        }
    }
    for (UiDocument* doc : docs) {
        if (!manager_.saveModified(doc)) {
            event->ignore();
            return;
        }
    }
    for (UiDocument* doc : docs)
        manager_.closeDocument(doc);
    idle_->stop();
    event->accept();
}

}  // namespace kos
