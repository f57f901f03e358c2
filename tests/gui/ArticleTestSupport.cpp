#include "ArticleTestSupport.h"

#include <QItemSelectionModel>

#include "app/KosTemplates.h"
#include "shell/ChildFrame.h"
#include "shell/Commands.h"
#include "shell/MainFrame.h"

namespace kos::test {

ArticleFixture::ArticleFixture() : GuiFixture(false) {
    app = std::make_unique<EcrServiceApp>(*store, prompt, files, addKosTemplatesWithArticles);
    if (!app->initInstance(false))
        throw std::runtime_error("main frame not created");
    setDialogRunner([this](QDialog& d) {
        if (dialogs.empty())
            return int(QDialog::Rejected);
        auto step = dialogs.front();
        dialogs.pop_front();
        return step(d);
    });
    files.typeAnswers = {0};  // "Artykuły", the first registered type
    app->mainFrame()->execute(cmd::FILE_NEW);
    doc = qobject_cast<ArticleDocument*>(app->docManager().documents().value(0));
    if (!doc)
        throw std::runtime_error("no article document");
    view = qobject_cast<ArticlesView*>(app->mainFrame()->activeFrame()->widget());
}

ArticleFixture::~ArticleFixture() {
    setDialogRunner({});
}

Article& ArticleFixture::put(const char* plu, const char* name, int32_t price, bool modified,
                             uint8_t vat) {
    auto a = std::make_unique<Article>();
    a->plu.parse(plu);
    a->name = name;
    a->price = price;
    a->modified = modified;
    a->vat = vat;
    Article& ref = *a;
    if (!doc->core().articles.add(a))
        throw std::runtime_error("article refused");
    view->refill();
    return ref;
}

void ArticleFixture::select(std::initializer_list<int> rows) {
    QItemSelectionModel* s = view->selectionModel();
    s->clearSelection();
    for (int row : rows)
        s->select(view->articlesModel().index(row, 0),
                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

}  // namespace kos::test
