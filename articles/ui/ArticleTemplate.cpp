#include "articles/ui/ArticleTemplate.h"

#include "articles/ui/ArticleCommands.h"
#include "articles/ui/ArticleDocument.h"
#include "articles/ui/ArticlesView.h"
#include "articles/ui/CFindEcrDlg.h"
#include "articles/ui/CHeaderView.h"
#include "articles/ui/DialogRunner.h"
#include "shell/Commands.h"
#include "shell/DocManager.h"

namespace kos {

namespace {

QList<CommandSpec> articleCommands() {
    auto s = [](const char* text) { return QString::fromUtf8(text); };
    return {
        {cmd::FILE_PRINT, s("&Drukuj...\tCtrl+P"), {}, s("Drukuje aktywny dokument")},
        {cmd::FILE_PRINT_PREVIEW, s("Podgląd &wydruku"), {}, s("Pokazuje stronę wydruku")},
        {cmd::ADD, {}, {}, s("Dodaje artykuł")},
        {cmd::DELETE, {}, {}, s("Usuwa zaznaczone artykuły")},
        {cmd::EDIT, s("&Edytuj\tEnter"), {}, s("Zmienia zaznaczone artykuły")},
        {cmd::EDIT_CUT, s("W&ytnij\tCtrl+X"), {}, s("Przenosi zaznaczone artykuły do schowka")},
        {cmd::EDIT_COPY, s("&Kopiuj\tCtrl+C"), {}, s("Kopiuje zaznaczone artykuły do schowka")},
        {cmd::EDIT_PASTE, s("&Wklej\tCtrl+V"), {}, s("Dodaje artykuły ze schowka")},
        {cmd::FIND_ARTICLE,
         s("&Znajdź..."),
         {},
         s("Zaznacza artykuły o podanym PLU, nazwie lub cenie")},
        {cmd::SELECT_ALL, s("Zaznacz wszystkie\tCtrl+A")},
        {cmd::SELECT_MODIFIED, s("Zaznacz zmodyfikowane")},
        {cmd::SELECT_UNMODIFIED, s("Zaznacz nie zmodyfikowane")},
        {cmd::ECR_SEND, s("Wyślij do kasy")},
        {cmd::ECR_SEND_SELECTED, s("Wyślij zaznaczone do kasy")},
        {cmd::ECR_READ, s("Odczytaj z kasy")},
        {cmd::ECR_DELETE_ALL, s("Usuń z kasy")},
        {cmd::ECR_DELETE_SELECTED, s("Usuń zaznaczone z kasy")},
        {cmd::ECR_ZERO_COUNTERS, s("Wyzeruj liczniki sprzedaży")},
        {cmd::FIND_ECR, s("Szukaj kasy...")},
        {cmd::WINDOW_ARTICLES, s("&Artykuły")},
        {cmd::WINDOW_HEADER, s("&Nagłówek")},
    };
}

QList<MenuSection> articleMenu() {
    using M = MenuSection;
    return {
        {QStringLiteral("&Plik"),
         {cmd::FILE_NEW, cmd::FILE_OPEN, cmd::FILE_CLOSE, cmd::FILE_SAVE, cmd::FILE_SAVE_AS,
          M::SEPARATOR, cmd::OPTIONS, M::SEPARATOR, cmd::FILE_PRINT, cmd::FILE_PRINT_PREVIEW,
          cmd::FILE_PAGE_SETUP, M::SEPARATOR, M::RECENT_FILES, M::SEPARATOR, cmd::APP_EXIT}},
        {QStringLiteral("&Edycja"),
         {cmd::ADD, cmd::DELETE, cmd::EDIT, M::SEPARATOR, cmd::EDIT_CUT, cmd::EDIT_COPY,
          cmd::EDIT_PASTE, M::SEPARATOR, cmd::FIND_ARTICLE, M::SEPARATOR, cmd::SELECT_ALL,
          cmd::SELECT_MODIFIED, cmd::SELECT_UNMODIFIED}},
        {QStringLiteral("&Komunikacja"),
         {cmd::ECR_SEND, cmd::ECR_SEND_SELECTED, cmd::ECR_READ, M::SEPARATOR, cmd::ECR_DELETE_ALL,
          cmd::ECR_DELETE_SELECTED, M::SEPARATOR, cmd::ECR_ZERO_COUNTERS, M::SEPARATOR,
          cmd::FIND_ECR}},
        {QStringLiteral("&Widok"), {cmd::VIEW_TOOLBAR, cmd::VIEW_STATUS_BAR}},
        {QStringLiteral("&Okno"),
         {cmd::WINDOW_ARTICLES, cmd::WINDOW_HEADER, M::SEPARATOR, cmd::WINDOW_CASCADE,
          cmd::WINDOW_TILE, cmd::WINDOW_ARRANGE}},
        {QStringLiteral("Pomo&c"), {cmd::APP_ABOUT}},
    };
}

QWidget* makeArticlesView(UiDocument& doc, QWidget* parent) {
    return new ArticlesView(static_cast<ArticleDocument*>(&doc), parent);
}

QWidget* makeHeaderView(UiDocument& doc, QWidget* parent) {
    return new CHeaderView(static_cast<ArticleDocument*>(&doc), parent);
}

}  // namespace

void addArticleTemplates(DocManager& manager, bool registered) {
    setFindRegisterDialog([](ArticleDocument& doc, QWidget* parent) {
        AppContext& context = doc.manager().context();
        CFindEcrDlg dialog(context.settings, context.store, context.prompt, parent);
        runDialog(dialog);
        Q_EMIT doc.manager().settingsChanged();
    });
    const QString docString = QString::fromUtf8(ARTICLE_DOC_STRING);
    auto factory = [](DocTemplate& t, DocManager& m) -> UiDocument* {
        return new ArticleDocument(t, m);
    };
    auto articles = std::make_unique<DocTemplate>(docString, factory);
    articles->addView(QString::fromLatin1(ARTICLES_VIEW), makeArticlesView);
    articles->addView(QString::fromLatin1(HEADER_VIEW), makeHeaderView);
    articles->addCommands(articleCommands());
    articles->setMenu(articleMenu());
    manager.addTemplate(std::move(articles), registered);

    auto header = std::make_unique<DocTemplate>(docString, nullptr);
    header->addView(QString::fromLatin1(HEADER_VIEW), makeHeaderView);
    manager.addTemplate(std::move(header), false);
}

}  // namespace kos
