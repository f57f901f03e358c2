#include "online/ui/OnlineTemplate.h"

#include "online/ui/OnlineCommands.h"
#include "online/ui/OnlineDocument.h"
#include "online/ui/TarvelServerView.h"
#include "shell/Commands.h"
#include "shell/DocManager.h"

namespace kos {

namespace {

QList<CommandSpec> onlineCommands() {
    auto s = [](const char* text) { return QString::fromUtf8(text); };
    return {
        {cmd::EXPORT_SALES,
         s("Zapisz sprzedaż..."),
         {},
         s("Zapisuje sprzedaż do pliku tekstowego")},
        {cmd::EXPORT_SALES_RESET,
         s("Zapisz sprzedaż i wyzeruj..."),
         {},
         s("Zapisuje sprzedaż do pliku tekstowego i ją zeruje")},
        {cmd::ADD, {}, {}, s("Dodaje kasy")},
        {cmd::DELETE, {}, {}, s("Usuwa zaznaczone kasy")},
        {cmd::ONLINE_TOGGLE,
         s("Komunikacja z kasami"),
         {},
         s("Włącza lub wyłącza komunikację z kasami"),
         true},
    };
}

QList<MenuSection> onlineMenu() {
    using M = MenuSection;
    return {
        {QStringLiteral("&Plik"),
         {cmd::FILE_NEW, cmd::FILE_OPEN, cmd::FILE_CLOSE, cmd::FILE_SAVE, cmd::FILE_SAVE_AS,
          M::SEPARATOR, cmd::OPTIONS, M::SEPARATOR, cmd::EXPORT_SALES, cmd::EXPORT_SALES_RESET,
          M::SEPARATOR, M::RECENT_FILES, M::SEPARATOR, cmd::APP_EXIT}},
        {QStringLiteral("&Edycja"), {cmd::ADD, cmd::DELETE}},
        {QStringLiteral("&Widok"), {cmd::VIEW_TOOLBAR, cmd::VIEW_STATUS_BAR}},
        {QStringLiteral("&Okno"), {cmd::WINDOW_CASCADE, cmd::WINDOW_TILE, cmd::WINDOW_ARRANGE}},
        {QStringLiteral("Pomo&c"), {cmd::APP_ABOUT}},
    };
}

}  // namespace

void registerOnlineTemplate(DocManager& manager) {
    auto factory = [](DocTemplate& t, DocManager& m) -> UiDocument* {
        return new OnlineDocument(t, m);
    };
    auto t = std::make_unique<DocTemplate>(QString::fromUtf8(ONLINE_DOC_STRING), factory);
    t->addView(QString::fromLatin1(REGISTER_LIST_VIEW), [](UiDocument& doc, QWidget* parent) {
        return new TarvelServerView(static_cast<OnlineDocument*>(&doc), parent);
    });
    t->addCommands(onlineCommands());
    t->setMenu(onlineMenu());
    manager.addTemplate(std::move(t), true);
}

}  // namespace kos
