// Start-up, main frame, menus, keys, New/Open/Save and the recent files.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QStatusBar>
#include <QToolBar>
#include <functional>

#include "GuiTestSupport.h"
#include "app/KosTemplates.h"
#include "online/ui/OnlineDocument.h"
#include "online/ui/TarvelServerView.h"
#include "shell/AboutDialog.h"
#include "shell/ChildFrame.h"
#include "shell/Commands.h"
#include "shell/RecentFileList.h"
#include "shell/UiDocument.h"

namespace kos::test {
namespace {

QStringList menuTitles(QMainWindow* w) {
    QStringList titles;
    for (QAction* a : w->menuBar()->actions())
        titles << a->text().remove(QLatin1Char('&'));
    return titles;
}

QStringList menuItems(QMainWindow* w, const QString& title) {
    QStringList items;
    for (QAction* a : w->menuBar()->actions()) {
        if (a->text().remove(QLatin1Char('&')) != title)
            continue;
        for (QAction* item : a->menu()->actions())
            if (!item->isSeparator() && item->isVisible())
                items << item->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
    }
    return items;
}

TEST(Shell, FirstStartOpensNoDocumentAndNowyCreatesAnOnlineDocument) {
    GuiFixture f;
    MainFrame* frame = f.app->mainFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(f.app->docManager().documents().isEmpty());
    EXPECT_EQ(frame->windowTitle(), "KOS ONLINE");
    EXPECT_EQ(menuTitles(frame), QStringList({"Plik", "Widok", "Pomoc"}));
    EXPECT_EQ(menuItems(frame, "Plik"),
              QStringList({"Nowy", "Otwórz", "Parametry", "Ustawienia strony",
                           "Lista ostatnio otwartych plików", "Koniec"}));
    // Defaults of a clean store.
    EXPECT_EQ(f.app->settings().port, 1);
    EXPECT_EQ(f.app->settings().receiptBackupDir, f.app->settings().receiptDir);

    // Three templates, only the online one registered.
    EXPECT_EQ(f.app->docManager().templateCount(), 3u);
    ASSERT_EQ(f.app->docManager().registeredTemplates().size(), 1u);
    EXPECT_EQ(f.app->docManager().registeredTemplates()[0]->filterName(), "Praca OnLine (*.dsr)");

    ASSERT_TRUE(frame->execute(cmd::FILE_NEW));
    ASSERT_EQ(f.app->docManager().documents().size(), 1);
    auto* doc = qobject_cast<OnlineDocument*>(f.app->docManager().documents().front());
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->title().startsWith("Praca OnLine"));
    EXPECT_EQ(frame->activeDocument(), doc);
    EXPECT_EQ(doc->core().usedSlotCount(), 0);
    EXPECT_FALSE(doc->isModified());
    // A maximised document window shows its title in the frame's caption.
    EXPECT_EQ(frame->windowTitle(), "KOS ONLINE - [" + doc->title() + "]");
    EXPECT_EQ(menuTitles(frame), QStringList({"Plik", "Edycja", "Widok", "Okno", "Pomoc"}));
    EXPECT_EQ(menuItems(frame, "Plik"),
              QStringList({"Nowy", "Otwórz", "Zamknij okno", "Zapisz", "Zapisz jako", "Parametry",
                           "Zapisz sprzedaż", "Zapisz sprzedaż i wyzeruj",
                           "Lista ostatnio otwartych plików", "Koniec"}));
    EXPECT_EQ(menuItems(frame, "Edycja"), QStringList({"Dodaj", "Usuń"}));
    EXPECT_EQ(menuItems(frame, "Okno"),
              QStringList({"Kaskadowo", "Sąsiadująco", "Uporządkuj ikony"}));

    // Closing the only document brings back the menus of no document.
    ASSERT_TRUE(frame->execute(cmd::FILE_CLOSE));
    drainEvents();
    EXPECT_TRUE(f.app->docManager().documents().isEmpty());
    EXPECT_EQ(menuTitles(frame), QStringList({"Plik", "Widok", "Pomoc"}));
    EXPECT_EQ(frame->windowTitle(), "KOS ONLINE");
}

TEST(Shell, ToolBarAndStatusBar) {
    GuiFixture f;
    MainFrame* frame = f.app->mainFrame();
    QList<int> buttons;
    for (QAction* a : frame->toolBar()->actions())
        buttons << (a->isSeparator() ? 0 : a->data().toInt());
    EXPECT_EQ(buttons, QList<int>({cmd::FILE_NEW, cmd::FILE_OPEN, cmd::FILE_SAVE, 0, cmd::ADD,
                                   cmd::DELETE, 0, cmd::ONLINE_TOGGLE}));
    EXPECT_EQ(frame->toolBar()->allowedAreas(), Qt::AllToolBarAreas);

    // Message pane, "0/0" at width 100, and the three lock indicators.
    QList<QLabel*> panes =
        frame->statusBar()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    EXPECT_EQ(panes.size(), 5);
    ASSERT_NE(frame->countsPane(), nullptr);
    EXPECT_EQ(frame->countsPane()->text(), "0/0");
    EXPECT_EQ(frame->countsPane()->width(), 100);

    // Without a document only the frame's commands are enabled.
    frame->updateCommands();
    EXPECT_TRUE(frame->action(cmd::FILE_NEW)->isEnabled());
    EXPECT_TRUE(frame->action(cmd::FILE_OPEN)->isEnabled());
    for (int id : {cmd::FILE_SAVE, cmd::ADD, cmd::DELETE, cmd::ONLINE_TOGGLE, cmd::EDIT_COPY})
        EXPECT_FALSE(frame->action(id)->isEnabled()) << id;
    EXPECT_FALSE(frame->execute(cmd::ADD));
}

TEST(Shell, KeyTable) {
    GuiFixture f;
    MainFrame* frame = f.app->mainFrame();
    struct Key {
        int command;
        QList<QKeySequence> keys;
    };
    const Key table[] = {
        {cmd::ADD, {QKeySequence(Qt::Key_Insert)}},
        {cmd::DELETE, {QKeySequence(Qt::Key_Delete)}},
        {cmd::EDIT_COPY,
         {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}},
        {cmd::EDIT_CUT,
         {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)}},
        {cmd::EDIT_PASTE,
         {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)}},
        {cmd::FILE_NEW, {QKeySequence(Qt::CTRL | Qt::Key_N)}},
        {cmd::FILE_OPEN, {QKeySequence(Qt::CTRL | Qt::Key_O)}},
        {cmd::FILE_PRINT, {QKeySequence(Qt::CTRL | Qt::Key_P)}},
        {cmd::FILE_SAVE, {QKeySequence(Qt::CTRL | Qt::Key_S)}},
        {cmd::NEXT_PANE, {QKeySequence(Qt::Key_F6)}},
        {cmd::PREV_PANE, {QKeySequence(Qt::SHIFT | Qt::Key_F6)}},
        {cmd::SELECT_ALL, {QKeySequence(Qt::CTRL | Qt::Key_A)}},
    };
    for (const Key& k : table) {
        ASSERT_NE(frame->action(k.command), nullptr) << k.command;
        EXPECT_EQ(frame->action(k.command)->shortcuts(), k.keys) << k.command;
    }
    EXPECT_TRUE(frame->action(cmd::EDIT)->shortcuts().contains(QKeySequence(Qt::Key_Return)));
}

TEST(Shell, AboutBoxShowsTitleAndVersion) {
    ensureGuiApp();
    AboutDialog about;
    EXPECT_EQ(about.windowTitle(), "O programie");
    auto* title = about.findChild<QLabel*>("title");
    auto* version = about.findChild<QLabel*>("version");
    ASSERT_TRUE(title && version);
    EXPECT_EQ(title->text(), "KOS ONLINE");
    EXPECT_EQ(version->text(), "Wersja: 2.0.5.0");
}

TEST(Shell, SettingsAreLoadedAtStart) {
    GuiFixture f(false);
    f.store->setInt("Settings", "Port", 3);
    f.store->setInt("Settings", "PortSpeed", 2400);
    f.store->setString("Settings", "Com3Device", "/dev/ttyUSB0");
    ASSERT_TRUE(f.app->initInstance(false));
    EXPECT_EQ(f.app->settings().port, 3);
    EXPECT_EQ(f.app->settings().portSpeed, 2400);
    EXPECT_EQ(f.app->settings().comDevice[2], "/dev/ttyUSB0");
}

TEST(Shell, SaveOpenAndRecentFiles) {
    GuiFixture f;
    MainFrame* frame = f.app->mainFrame();
    DocManager& manager = f.app->docManager();
    const std::string path = f.dir.file("praca.dsr");

    frame->execute(cmd::FILE_NEW);
    auto* doc = qobject_cast<OnlineDocument*>(manager.documents().front());
    auto* view = qobject_cast<TarvelServerView*>(frame->activeFrame()->widget());
    ASSERT_TRUE(doc && view);
    view->addRegisters("8,2");
    frame->updateCommands();
    EXPECT_TRUE(doc->isModified());
    EXPECT_TRUE(frame->action(cmd::FILE_SAVE)->isEnabled());

    // Save of an untitled document asks for a name, proposing the title and ".dsr".
    f.files.answers.push_back(QString::fromStdString(path));
    ASSERT_TRUE(frame->execute(cmd::FILE_SAVE));
    ASSERT_EQ(f.files.saveRequests.size(), 1u);
    EXPECT_EQ(f.files.saveRequests[0].defaultSuffix, "dsr");
    EXPECT_EQ(f.files.saveRequests[0].filter, "Praca OnLine (*.dsr)");
    EXPECT_FALSE(doc->isModified());
    EXPECT_EQ(doc->title(), "praca.dsr");
    EXPECT_EQ(doc->pathName().toStdString(), path);
    EXPECT_EQ(f.store->getString("Recent File List", "File1"), path);
    frame->updateCommands();
    EXPECT_FALSE(frame->action(cmd::FILE_SAVE)->isEnabled());

    frame->execute(cmd::FILE_CLOSE);
    drainEvents();
    ASSERT_TRUE(manager.documents().isEmpty());

    // "Otwórz" offers the online filter; the file comes back with its registers.
    f.files.answers.push_back(QString::fromStdString(path));
    ASSERT_TRUE(frame->execute(cmd::FILE_OPEN));
    ASSERT_EQ(f.files.openFilters.size(), 1u);
    EXPECT_EQ(f.files.openFilters[0], "Praca OnLine (*.dsr)");
    ASSERT_EQ(manager.documents().size(), 1);
    view = qobject_cast<TarvelServerView*>(frame->activeFrame()->widget());
    ASSERT_EQ(view->topLevelItemCount(), 2);
    EXPECT_EQ(view->topLevelItem(0)->text(0), "8");
    EXPECT_EQ(view->topLevelItem(1)->text(0), "2");
    // Opening it again gives the open document, not a second one.
    EXPECT_EQ(manager.openDocumentFile(QString::fromStdString(path)), manager.documents().front());
    EXPECT_EQ(manager.documents().size(), 1);
    EXPECT_TRUE(f.texts().empty());
}

TEST(Shell, RecentFilesKeepFourAndDropAFileThatFailsToOpen) {
    GuiFixture f;
    DocManager& manager = f.app->docManager();
    std::vector<std::string> paths;
    for (int i = 0; i < 5; ++i) {
        paths.push_back(f.dir.file("p" + std::to_string(i) + ".dsr"));
        f.app->mainFrame()->execute(cmd::FILE_NEW);
        UiDocument* doc = manager.documents().back();
        f.files.answers.push_back(QString::fromStdString(paths.back()));
        ASSERT_TRUE(manager.saveAs(doc));
    }
    QStringList expected;
    for (int i = 4; i >= 1; --i)
        expected << QString::fromStdString(paths[i]);
    EXPECT_EQ(manager.recentFiles().files(), expected);
    ASSERT_EQ(f.app->mainFrame()->recentFileActions().size(), 4);
    EXPECT_TRUE(f.app->mainFrame()->recentFileActions()[0]->text().endsWith("p4.dsr"));

    // A file that is not an online document: the framework's message, no document, and the
    // path leaves the list.
    const std::string bad = f.dir.file("bad.dsr");
    writeFile(bad, std::string("\x02\x00\x00\x00", 4));
    manager.recentFiles().add(QString::fromStdString(bad));
    const int before = manager.documents().size();
    EXPECT_EQ(manager.openDocumentFile(QString::fromStdString(bad)), nullptr);
    EXPECT_EQ(manager.documents().size(), before);
    EXPECT_TRUE(f.shown("Unexpected file format."));
    EXPECT_FALSE(manager.recentFiles().files().contains(QString::fromStdString(bad)));
}

TEST(Shell, AFileWithAnotherSlotCountOpensEmpty) {
    GuiFixture f;
    const std::string path = f.dir.file("jedenascie.dsr");
    // Version 1, directories "ab" and "", then 11 slots.
    writeFile(path, std::string("\x01\0\0\0\x02"
                                "ab\0\x0b\0\0\0",
                                12));
    UiDocument* doc = f.app->docManager().openDocumentFile(QString::fromStdString(path));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(f.texts(), std::vector<std::string>{"Niepoprawny format pliku."});
    EXPECT_EQ(f.prompt.shown[0].icon, PromptIcon::Stop);
    auto* view = qobject_cast<TarvelServerView*>(f.app->mainFrame()->activeFrame()->widget());
    EXPECT_EQ(view->topLevelItemCount(), 0);
    EXPECT_EQ(qobject_cast<OnlineDocument*>(doc)->core().receiptDir(), "ab");
}

TEST(Shell, AFailedSaveKeepsTheDocumentModified) {
    GuiFixture f;
    MainFrame* frame = f.app->mainFrame();
    frame->execute(cmd::FILE_NEW);
    UiDocument* doc = frame->activeDocument();
    qobject_cast<TarvelServerView*>(frame->activeFrame()->widget())->addRegisters("4");
    f.files.answers.push_back(QString::fromStdString(f.dir.file("brak/praca.dsr")));
    EXPECT_FALSE(f.app->docManager().saveAs(doc));
    EXPECT_EQ(f.texts(), std::vector<std::string>{"Failed to save document."});
    EXPECT_TRUE(doc->isModified());
    EXPECT_TRUE(doc->pathName().isEmpty());
    EXPECT_TRUE(f.app->docManager().recentFiles().files().isEmpty());
}

TEST(Shell, ViewMenuHidesAndShowsTheBars) {
    GuiFixture f;
    MainFrame* frame = f.app->mainFrame();
    frame->updateCommands();
    EXPECT_TRUE(frame->action(cmd::VIEW_TOOLBAR)->isChecked());
    EXPECT_TRUE(frame->action(cmd::VIEW_STATUS_BAR)->isChecked());
    frame->execute(cmd::VIEW_TOOLBAR);
    frame->execute(cmd::VIEW_STATUS_BAR);
    EXPECT_FALSE(frame->toolBar()->isVisible());
    EXPECT_FALSE(frame->statusBar()->isVisible());
    EXPECT_FALSE(frame->action(cmd::VIEW_TOOLBAR)->isChecked());
    frame->execute(cmd::VIEW_TOOLBAR);
    EXPECT_TRUE(frame->toolBar()->isVisible());
}

TEST(Shell, TheSaveQuestionCanBeCancelledWhateverCloses) {
    using Close = std::function<void(MainFrame*)>;
    const std::pair<const char*, Close> closers[] = {
        {"close box", [](MainFrame* m) { m->activeFrame()->close(); }},
        {"Zamknij okno", [](MainFrame* m) { m->execute(cmd::FILE_CLOSE); }},
        {"Koniec", [](MainFrame* m) { m->execute(cmd::APP_EXIT); }},
        {"main window", [](MainFrame* m) { m->close(); }},
    };
    for (const auto& [how, close] : closers) {
        for (PromptAnswer answer : {PromptAnswer::Yes, PromptAnswer::No, PromptAnswer::Cancel}) {
            SCOPED_TRACE(std::string(how) + " " + std::to_string(int(answer)));
            GuiFixture f;
            MainFrame* frame = f.app->mainFrame();
            frame->show();
            frame->execute(cmd::FILE_NEW);
            UiDocument* doc = frame->activeDocument();
            const std::string title = doc->title().toStdString();
            qobject_cast<TarvelServerView*>(frame->activeFrame()->widget())->addRegisters("1");
            const std::string path = f.dir.file("saved.dsr");
            f.prompt.choices = {answer};
            f.files.answers.push_back(QString::fromStdString(path));
            close(frame);
            drainEvents();
            ASSERT_EQ(f.texts(), std::vector<std::string>{"Zapisz zmiany do " + title + "?"});
            EXPECT_EQ(f.prompt.shown[0].icon, PromptIcon::Question);
            const bool cancelled = answer == PromptAnswer::Cancel;
            EXPECT_EQ(f.app->docManager().documents().size(), cancelled ? 1 : 0);
            EXPECT_EQ(readFile(path).empty(), answer != PromptAnswer::Yes);
            if (cancelled) {
                EXPECT_TRUE(doc->isModified());
                EXPECT_TRUE(frame->isVisible());
                EXPECT_EQ(frame->activeDocument(), doc);
            }
        }
    }
}

// Two saved documents, a.dsr opened first; b.dsr is active.
struct TwoDocuments {
    TwoDocuments() {
        frame = f.app->mainFrame();
        for (const char* name : {"a.dsr", "b.dsr"}) {
            frame->execute(cmd::FILE_NEW);
            paths << QString::fromStdString(f.dir.file(name));
            f.files.answers.push_back(paths.back());
            docs << frame->activeDocument();
            f.app->docManager().saveAs(docs.back());
        }
    }
    QString caption(int i) const { return "KOS ONLINE - [" + docs[i]->title() + "]"; }

    GuiFixture f;
    MainFrame* frame;
    QStringList paths;
    QList<UiDocument*> docs;
};

TEST(Shell, OpeningAnOpenDocumentBringsItsWindowToTheFront) {
    TwoDocuments t;
    EXPECT_EQ(t.f.app->docManager().openDocumentFile(t.paths[0]), t.docs[0]);
    EXPECT_EQ(t.frame->activeDocument(), t.docs[0]);
    EXPECT_EQ(t.frame->windowTitle(), t.caption(0));
    // The recent-file list does the same; b.dsr is its first entry.
    t.frame->activeFrame()->showMinimized();
    t.frame->recentFileActions()[0]->trigger();
    EXPECT_EQ(t.frame->activeDocument(), t.docs[1]);
    t.frame->recentFileActions()[1]->trigger();
    EXPECT_EQ(t.frame->activeDocument(), t.docs[0]);
    EXPECT_FALSE(t.frame->activeFrame()->isMinimized());
    EXPECT_EQ(t.f.app->docManager().documents().size(), 2);
}

TEST(Shell, CaptionNamesTheActiveWindowMaximisedOrNot) {
    TwoDocuments t;
    ChildFrame* b = t.frame->activeFrame();
    EXPECT_TRUE(b->isMaximized());
    EXPECT_EQ(t.frame->windowTitle(), t.caption(1));
    b->showNormal();
    EXPECT_EQ(t.frame->windowTitle(), t.caption(1));
    b->showMaximized();

    // Closing the active window leaves the other one maximised and named in the caption.
    t.frame->execute(cmd::FILE_CLOSE);
    drainEvents();
    ASSERT_NE(t.frame->activeFrame(), nullptr);
    EXPECT_TRUE(t.frame->activeFrame()->isMaximized());
    EXPECT_EQ(t.frame->windowTitle(), t.caption(0));
    t.frame->execute(cmd::FILE_CLOSE);
    drainEvents();
    EXPECT_EQ(t.frame->windowTitle(), "KOS ONLINE");
}

TEST(Shell, WindowMenuListsTheWindowsAndCtrlF6MovesBetweenThem) {
    TwoDocuments t;
    QMenu* menu = nullptr;
    for (QAction* a : t.frame->menuBar()->actions())
        if (a->text().remove('&') == "Okno")
            menu = a->menu();
    ASSERT_NE(menu, nullptr);
    auto listed = [&] {
        Q_EMIT menu->aboutToShow();
        QStringList items;
        for (QAction* a : menu->actions())
            if (a->isCheckable())
                items << (a->isChecked() ? "*" : "") + a->text();
        return items;
    };
    EXPECT_EQ(listed(), QStringList({"&1 a.dsr", "*&2 b.dsr"}));
    menu->actions().at(menu->actions().size() - 2)->trigger();
    EXPECT_EQ(t.frame->activeDocument(), t.docs[0]);
    EXPECT_EQ(listed(), QStringList({"*&1 a.dsr", "&2 b.dsr"}));

    t.frame->execute(cmd::WINDOW_NEXT);
    EXPECT_EQ(t.frame->activeDocument(), t.docs[1]);
    t.frame->execute(cmd::WINDOW_PREV);
    EXPECT_EQ(t.frame->activeDocument(), t.docs[0]);
    EXPECT_TRUE(t.frame->action(cmd::WINDOW_NEXT)
                    ->shortcuts()
                    .contains(QKeySequence(Qt::CTRL | Qt::Key_F6)));

    t.frame->execute(cmd::FILE_CLOSE);
    drainEvents();
    EXPECT_EQ(listed(), QStringList({"*&1 b.dsr"}));
}

// Every item of every menu shown has a status-bar text and an access key no sibling shares.
void expectMenusUsable(MainFrame* frame) {
    for (QAction* top : frame->menuBar()->actions()) {
        Q_EMIT top->menu()->aboutToShow();
        QSet<QChar> keys;
        for (QAction* a : top->menu()->actions()) {
            if (a->isSeparator() || !a->isVisible())
                continue;
            const QString text = a->text();
            SCOPED_TRACE(text.toStdString());
            EXPECT_FALSE(a->statusTip().isEmpty());
            EXPECT_FALSE(text.section('\t', 0, 0).endsWith("..."));
            const int amp = text.indexOf('&');
            ASSERT_GE(amp, 0);
            EXPECT_FALSE(keys.contains(text.at(amp + 1).toLower()));
            keys.insert(text.at(amp + 1).toLower());
        }
    }
}

TEST(Shell, LongPathsAreShortenedForTheMenu) {
    const std::pair<QString, QString> cases[] = {
        {"/home/ala/praca.dsr", "/home/ala/praca.dsr"},
        {"/home/ala/dokumenty/sklep/kasy/praca.dsr", "/home/.../sklep/kasy/praca.dsr"},
        {"/home/ala/dokumenty/bardzo_dluga_nazwa_pliku_sklepu.dsr",
         "bardzo_dluga_nazwa_pliku_sklepu.dsr"},
    };
    for (const auto& [path, shown] : cases)
        EXPECT_EQ(shortenedPath(path, 32), shown) << path.toStdString();
}

TEST(Shell, MenuItemsHaveHelpTextsAndTheirOwnAccessKeys) {
    TwoDocuments t;
    // A long path is shortened in the menu and given whole in the status bar.
    const QString deep = QString::fromStdString(t.f.dir.file("a/bardzo/dlugi/katalog/praca.dsr"));
    t.f.app->docManager().recentFiles().add(deep);
    Q_EMIT t.f.app->docManager().recentFilesChanged();
    QAction* first = t.frame->recentFileActions()[0];
    EXPECT_LE(first->text().size(), 43);
    EXPECT_TRUE(first->text().endsWith("/katalog/praca.dsr"));
    EXPECT_TRUE(first->statusTip().endsWith(deep));
    expectMenusUsable(t.frame);
    t.frame->execute(cmd::FILE_CLOSE);
    t.frame->execute(cmd::FILE_CLOSE);
    drainEvents();
    expectMenusUsable(t.frame);
}

// A second document type: two views, a menu of its own and its own words for "Dodaj".
class NoteDocument : public UiDocument {
public:
    using UiDocument::UiDocument;
    bool onNewDocument() override { return true; }
    bool onOpenDocument(const QString&) override { return true; }
    bool onSaveDocument(const QString&) override { return true; }
};

void addNoteTemplate(DocManager& manager) {
    auto t = std::make_unique<DocTemplate>(
        "\nNotatka\nNotatka\nNotatki (*.not)\n.not\nNotatka.Document",
        [](DocTemplate& t, DocManager& m) { return new NoteDocument(t, m); });
    for (const char* name : {"lista", "nagłówek"})
        t->addView(QString::fromUtf8(name), [name](UiDocument&, QWidget* parent) {
            return new QLabel(QString::fromUtf8(name), parent);
        });
    t->addCommands({{cmd::ADD, {}, {}, QStringLiteral("Dodaje notatkę")}});
    t->setMenu({{QStringLiteral("&Notatki"), {cmd::ADD}}});
    manager.addTemplate(std::move(t), true);
}

TEST(Shell, ADocumentTypeBringsItsViewsAndMenu) {
    GuiFixture f(false);
    f.app = std::make_unique<EcrServiceApp>(*f.store, f.prompt, f.files, [](DocManager& m) {
        addKosTemplates(m);
        addNoteTemplate(m);
    });
    ASSERT_TRUE(f.app->initInstance(false));
    MainFrame* frame = f.app->mainFrame();
    DocManager& manager = f.app->docManager();
    auto framesOf = [&](UiDocument* doc) {
        QStringList views;
        for (QMdiSubWindow* w : frame->mdiArea()->subWindowList())
            if (auto* c = qobject_cast<ChildFrame*>(w); c && c->document() == doc)
                views << c->viewName();
        return views;
    };

    UiDocument* note = manager.openDocumentFile(QString::fromStdString(f.dir.file("a.not")));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(framesOf(note), QStringList{"lista"});
    EXPECT_EQ(menuTitles(frame), QStringList{"Notatki"});
    EXPECT_EQ(frame->action(cmd::ADD)->statusTip(), "Dodaje notatkę");

    // A second view opens once; asking again brings the existing window to the front.
    manager.showView(note, "nagłówek");
    manager.showView(note, "lista");
    manager.showView(note, "nagłówek");
    EXPECT_EQ(framesOf(note), QStringList({"lista", "nagłówek"}));
    EXPECT_EQ(frame->activeFrame()->viewName(), "nagłówek");
    EXPECT_EQ(frame->showView(note, "brak"), nullptr);

    // The online document brings back its own menu and words.
    f.files.typeAnswers = {0};
    ASSERT_TRUE(frame->execute(cmd::FILE_NEW));
    EXPECT_EQ(menuTitles(frame), QStringList({"Plik", "Edycja", "Widok", "Okno", "Pomoc"}));
    EXPECT_EQ(frame->action(cmd::ADD)->statusTip(), "Dodaje kasy");
    frame->execute(cmd::FILE_CLOSE);
    drainEvents();

    // Closing one of two windows keeps the document; closing the last one closes it.
    frame->showView(note, "nagłówek")->close();
    drainEvents();
    ASSERT_EQ(manager.documents().size(), 1);
    EXPECT_EQ(framesOf(note), QStringList{"lista"});
    frame->showView(note, "lista")->close();
    drainEvents();
    EXPECT_TRUE(manager.documents().isEmpty());
}

}  // namespace
}  // namespace kos::test
