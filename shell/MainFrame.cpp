#include "shell/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "shell/AboutDialog.h"
#include "shell/AppInfo.h"
#include "shell/ChildFrame.h"
#include "shell/Commands.h"
#include "shell/DocManager.h"
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
    buildMenus();
    if (!mdi_ || !toolBar_ || !message_ || !counts_ || !menusBuilt_)
        return false;

    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] {
        showMenusFor(activeDocument());
        updateCommands();
    });
    connect(&manager_, &DocManager::documentOpened, this, &MainFrame::onDocumentOpened);
    connect(&manager_, &DocManager::documentClosing, this, &MainFrame::onDocumentClosing);
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

QAction* MainFrame::makeAction(int id, const QString& text, const QList<QKeySequence>& keys,
                               const QString& tip) {
    auto* a = new QAction(text, this);
    a->setData(id);
    if (!keys.isEmpty())
        a->setShortcuts(keys);
    a->setShortcutContext(Qt::WindowShortcut);
    a->setStatusTip(tip);
    a->setEnabled(false);
    connect(a, &QAction::triggered, this, [this, id] { execute(id); });
    actions_.insert(id, a);
    addAction(a);  // keys work whether or not the current menu shows the command
    return a;
}

void MainFrame::buildActions() {
    using K = QKeySequence;
    makeAction(cmd::FILE_NEW, QStringLiteral("&Nowy"), {K(Qt::CTRL | Qt::Key_N)},
               QStringLiteral("Tworzy nowy dokument"));
    makeAction(cmd::FILE_OPEN, QStringLiteral("&Otwórz..."), {K(Qt::CTRL | Qt::Key_O)},
               QStringLiteral("Otwiera istniejący dokument"));
    makeAction(cmd::FILE_CLOSE, QStringLiteral("&Zamknij okno"), {},
               QStringLiteral("Zamyka aktywny dokument"));
    makeAction(cmd::FILE_SAVE, QStringLiteral("&Zapisz"), {K(Qt::CTRL | Qt::Key_S)},
               QStringLiteral("Zapisuje aktywny dokument"));
    makeAction(cmd::FILE_SAVE_AS, QStringLiteral("Zapisz &jako..."), {},
               QStringLiteral("Zapisuje aktywny dokument pod nową nazwą"));
    makeAction(cmd::OPTIONS, QStringLiteral("&Parametry..."), {},
               QStringLiteral("Katalogi paragonów i port szeregowy"));
    makeAction(cmd::FILE_PAGE_SETUP, QStringLiteral("&Ustawienia strony..."), {},
               QStringLiteral("Ustawienia drukarki i strony"));
    makeAction(cmd::EXPORT_SALES, QStringLiteral("Zapisz sprzedaż..."), {},
               QStringLiteral("Zapisuje sprzedaż do pliku tekstowego"));
    makeAction(cmd::EXPORT_SALES_RESET, QStringLiteral("Zapisz sprzedaż i wyzeruj..."), {},
               QStringLiteral("Zapisuje sprzedaż do pliku tekstowego i ją zeruje"));
    makeAction(cmd::APP_EXIT, QStringLiteral("&Koniec"), {},
               QStringLiteral("Kończy pracę programu"));
    makeAction(cmd::ADD, QStringLiteral("&Dodaj\tIns"), {K(Qt::Key_Insert)},
               QStringLiteral("Dodaje kasy"));
    makeAction(cmd::DELETE, QStringLiteral("&Usuń\tDel"), {K(Qt::Key_Delete)},
               QStringLiteral("Usuwa zaznaczone kasy"));
    makeAction(cmd::ONLINE_TOGGLE, QStringLiteral("Komunikacja z kasami"), {},
               QStringLiteral("Włącza lub wyłącza komunikację z kasami"))
        ->setCheckable(true);
    makeAction(cmd::VIEW_TOOLBAR, QStringLiteral("&Pasek narzędzi"))->setCheckable(true);
    makeAction(cmd::VIEW_STATUS_BAR, QStringLiteral("Pasek &Statusu"))->setCheckable(true);
    makeAction(cmd::WINDOW_CASCADE, QStringLiteral("&Kaskadowo"));
    makeAction(cmd::WINDOW_TILE, QStringLiteral("&Sąsiadująco"));
    makeAction(cmd::WINDOW_ARRANGE, QStringLiteral("&Uporządkuj ikony"));
    makeAction(cmd::APP_ABOUT, QStringLiteral("&O programie..."), {},
               QStringLiteral("Informacje o programie i jego wersji"));
    // Commands of the key table that only some views handle.
    makeAction(cmd::EDIT_COPY, QStringLiteral("Kopiuj"),
               {K(Qt::CTRL | Qt::Key_C), K(Qt::CTRL | Qt::Key_Insert)});
    makeAction(cmd::EDIT_CUT, QStringLiteral("Wytnij"),
               {K(Qt::CTRL | Qt::Key_X), K(Qt::SHIFT | Qt::Key_Delete)});
    makeAction(cmd::EDIT_PASTE, QStringLiteral("Wklej"),
               {K(Qt::CTRL | Qt::Key_V), K(Qt::SHIFT | Qt::Key_Insert)});
    makeAction(cmd::EDIT, QStringLiteral("Edytuj"), {K(Qt::Key_Return), K(Qt::Key_Enter)});
    makeAction(cmd::FILE_PRINT, QStringLiteral("Drukuj..."), {K(Qt::CTRL | Qt::Key_P)});
    makeAction(cmd::FILE_PRINT_PREVIEW, QStringLiteral("Podgląd wydruku"));
    makeAction(cmd::NEXT_PANE, QStringLiteral("Następny panel"), {K(Qt::Key_F6)});
    makeAction(cmd::PREV_PANE, QStringLiteral("Poprzedni panel"), {K(Qt::SHIFT | Qt::Key_F6)});
    makeAction(cmd::SELECT_ALL, QStringLiteral("Zaznacz wszystko"), {K(Qt::CTRL | Qt::Key_A)});

    for (int i = 0; i < 4; ++i) {
        auto* a = new QAction(this);
        connect(a, &QAction::triggered, this, [this, i] {
            const QStringList files = manager_.recentFiles().files();
            if (i < files.size())
                manager_.openDocumentFile(files.at(i));
        });
        recentActions_.append(a);
    }
    recentPlaceholder_ = new QAction(QStringLiteral("Lista ostatnio otwartych plików"), this);
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
        QAction* a = actions_.value(id);
        a->setIcon(toolIcon(id));
        a->setToolTip(a->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&')));
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

void MainFrame::buildMenus() {
    auto section = [this](const QString& title, const QList<int>& ids) {
        auto* menu = new QMenu(title, this);
        for (int id : ids) {
            if (id == 0)
                menu->addSeparator();
            else if (id == -1) {
                // The placeholder keeps the list's place while it is empty.
                menu->addAction(recentPlaceholder_);
                menu->addActions(recentActions_);
            } else
                menu->addAction(actions_.value(id));
        }
        return menu;
    };
    // -1 stands for the recent files, 0 for a separator.
    QMenu* file128 =
        section(QStringLiteral("&Plik"), {cmd::FILE_NEW, cmd::FILE_OPEN, 0, cmd::OPTIONS,
                                          cmd::FILE_PAGE_SETUP, 0, -1, 0, cmd::APP_EXIT});
    QMenu* view128 = section(QStringLiteral("&Widok"), {cmd::VIEW_TOOLBAR, cmd::VIEW_STATUS_BAR});
    QMenu* help128 = section(QStringLiteral("Pomo&c"), {cmd::APP_ABOUT});
    menus128_ = {file128, view128, help128};

    QMenu* file130 = section(
        QStringLiteral("&Plik"),
        {cmd::FILE_NEW, cmd::FILE_OPEN, cmd::FILE_CLOSE, cmd::FILE_SAVE, cmd::FILE_SAVE_AS, 0,
         cmd::OPTIONS, 0, cmd::EXPORT_SALES, cmd::EXPORT_SALES_RESET, 0, -1, 0, cmd::APP_EXIT});
    QMenu* edit130 = section(QStringLiteral("&Edycja"), {cmd::ADD, cmd::DELETE});
    QMenu* window130 = section(QStringLiteral("&Okno"),
                               {cmd::WINDOW_CASCADE, cmd::WINDOW_TILE, cmd::WINDOW_ARRANGE});
    menus130_ = {file130, edit130, view128, window130, help128};
    showingOnlineMenus_ = true;  // forces the first switch
    showMenusFor(nullptr);
    menusBuilt_ = true;
}

void MainFrame::showMenusFor(UiDocument* doc) {
    const bool online = doc != nullptr;
    if (online == showingOnlineMenus_)
        return;
    showingOnlineMenus_ = online;
    menuBar()->clear();
    for (QMenu* m : online ? menus130_ : menus128_)
        menuBar()->addMenu(m);
}

void MainFrame::updateRecentFiles() {
    const QStringList files = manager_.recentFiles().files();
    for (int i = 0; i < recentActions_.size(); ++i) {
        QAction* a = recentActions_[i];
        a->setVisible(i < files.size());
        if (i < files.size())
            a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(files.at(i)));
    }
    recentPlaceholder_->setVisible(files.isEmpty());
}

ChildFrame* MainFrame::activeFrame() const {
    if (!mdi_)
        return nullptr;
    QMdiSubWindow* w = mdi_->activeSubWindow();
    if (!w) {
        // Without focus on the program the area reports no active window; take the top one.
        const QList<QMdiSubWindow*> list = mdi_->subWindowList(QMdiArea::ActivationHistoryOrder);
        for (int i = list.size() - 1; i >= 0 && !w; --i)
            if (list[i]->isVisible())
                w = list[i];
    }
    return qobject_cast<ChildFrame*>(w);
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
    QPageSetupDialog dialog(&appPrinter(), this);
    dialog.exec();
}

void MainFrame::onDocumentOpened(UiDocument* doc) {
    auto* frame = new ChildFrame(doc);
    mdi_->addSubWindow(frame);
    connect(doc, &UiDocument::commandStateChanged, this, &MainFrame::updateCommands);
    frame->showMaximized();
    mdi_->setActiveSubWindow(frame);
    showMenusFor(doc);
    updateCommands();
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
