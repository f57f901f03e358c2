#include "articles/ui/ArticlesView.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <algorithm>
#include <memory>
#include <unordered_map>

#include "articles/ui/ArticleCommands.h"
#include "articles/ui/ArticleDocument.h"
#include "articles/ui/ArticleSort.h"
#include "articles/ui/CArticleDlg.h"
#include "articles/ui/CArticlesEditDlg.h"
#include "articles/ui/CFindArticleDlg.h"
#include "articles/ui/CSendArticlesDlg.h"
#include "articles/ui/CommDlgJobHost.h"
#include "articles/ui/DialogRunner.h"
#include "articles/ui/InformationSrvDlg.h"
#include "articles/ui/SortHeader.h"
#include "base/Codepage.h"
#include "online/ControlProtocol.h"
#include "online/OnlineComm.h"
#include "online/ServerClientTransfer.h"
#include "online/ServerTransfer.h"
#include "online/TarvelServerDoc.h"
#include "shell/ChildFrame.h"
#include "shell/Commands.h"
#include "shell/DocManager.h"
#include "shell/MainFrame.h"

namespace kos {

namespace {

FindRegisterDialog& findRegisterDialog() {
    static FindRegisterDialog dialog;
    return dialog;
}

const int WIDTHS[ARTICLE_COLUMNS] = {40, 150, 150, 100, 100, 60, 100, 100};
const std::vector<int> PRINT_WIDTHS = {6, 19, 35, 14, 14, 6, 14, 14};

}  // namespace

void setFindRegisterDialog(FindRegisterDialog dialog) {
    findRegisterDialog() = std::move(dialog);
}

ArticlesView::ArticlesView(ArticleDocument* doc, QWidget* parent)
    : CListViewEx(parent),
      doc_(doc),
      model_(new ArticlesModel(this)),
      header_(new SortHeader(this)) {
    setHorizontalHeader(header_);
    model_->setSortOrder(settings().articlesSortOrder);
    model_->setVatTexts(vatTexts(settings()));
    setModel(model_);
    for (int c = 0; c < ARTICLE_COLUMNS; ++c)
        setColumnWidth(c, WIDTHS[c]);
    setColumnPrintWidths(PRINT_WIDTHS);
    setFullRowSelection(true);
    showArrow();
    if (auto* frame = qobject_cast<ChildFrame*>(parent)) {
        frame->setTitlePrefix(QString::fromUtf8(ARTICLES_TITLE_PREFIX));
        connect(frame, &QMdiSubWindow::aboutToActivate, this, [this] { showCounts(); });
    }

    connect(header_, &QHeaderView::sectionClicked, this, &ArticlesView::clickColumn);
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { editRow(index.row(), false); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ArticlesView::updateCounts);
    connect(model_, &QAbstractItemModel::rowsInserted, this, &ArticlesView::updateCounts);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, &ArticlesView::updateCounts);
    connect(model_, &QAbstractItemModel::modelReset, this, &ArticlesView::updateCounts);
    connect(doc_, &ArticleDocument::contentsReset, this, &ArticlesView::refill);
    connect(&doc_->manager(), &DocManager::settingsChanged, this,
            [this] { model_->setVatTexts(vatTexts(settings())); });
    refill();
}

Settings& ArticlesView::settings() const {
    return doc_->manager().context().settings;
}

Prompt& ArticlesView::prompt() const {
    return doc_->manager().context().prompt;
}

void ArticlesView::refill() {
    setUpdatesEnabled(false);
    model_->fill(doc_->core().articles);
    setUpdatesEnabled(true);
}

void ArticlesView::refreshMarks() {
    model_->columnChanged(0);
}

void ArticlesView::showArrow() {
    header_->setArrow(sortColumn(model_->sortOrder()),
                      sortDirection(model_->sortOrder()) == SORT_ASCENDING);
}

void ArticlesView::setSortOrder(int sortOrder) {
    model_->setSortOrder(sortOrder);
    showArrow();
    model_->sortRows();
}

void ArticlesView::clickColumn(int column) {
    model_->setSortOrder(clickedSortOrder(model_->sortOrder(), column));
    showArrow();
    model_->sortRows();
}

void ArticlesView::updateCounts() {
    auto* frame = qobject_cast<MainFrame*>(window());
    ChildFrame* active = frame ? frame->activeFrame() : nullptr;
    if (active && active->widget() == this)
        showCounts();
}

void ArticlesView::showCounts() {
    auto* frame = qobject_cast<MainFrame*>(window());
    if (!frame || !frame->countsPane())
        return;
    const int selected = selectionModel() ? int(selectionModel()->selectedRows().size()) : 0;
    frame->countsPane()->setText(QString::asprintf("%d/%d", model_->rowCount(), selected));
}

void ArticlesView::focusInEvent(QFocusEvent* event) {
    CListViewEx::focusInEvent(event);
    updateCounts();
}

std::vector<int> ArticlesView::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& i : selectionModel()->selectedRows())
        rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::vector<Article*> ArticlesView::selectedArticles() const {
    std::vector<Article*> articles;
    for (int row : selectedRows())
        articles.push_back(model_->articleAt(row));
    return articles;
}

void ArticlesView::addArticle() {
    auto article = std::make_unique<Article>();
    CArticleDlg dialog(doc_->core(), *article, true, settings(), prompt(), this);
    if (runDialog(dialog) != QDialog::Accepted)
        return;
    doc_->setModified(true);
    Article* added = article.get();
    if (!doc_->core().articles.add(article)) {
        prompt().message("Błąd podczas dodawania artykułu.", PromptIcon::None);
        return;
    }
    model_->appendArticle(added, false);
    model_->sortRows();
}

void ArticlesView::editArticles() {
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;
    if (rows.size() == 1) {
        editRow(rows.front(), true);
        return;
    }
    CArticlesEditDlg dialog(settings(), prompt(), this);
    if (runDialog(dialog) != QDialog::Accepted)
        return;
    const ArticlesChange& change = dialog.change();
    for (int row : rows) {
        Article& a = *model_->articleAt(row);
        auto apply = [&](auto& field, const auto& value) {
            if (value && field != *value) {
                field = *value;
                doc_->setModified(true);
                a.modified = true;
            }
        };
        apply(a.price, change.price);
        apply(a.vat, change.vat);
        apply(a.openPrice, change.openPrice);
        model_->rowChanged(row);
    }
}

void ArticlesView::editRow(int row, bool resort) {
    if (row < 0 || row >= model_->rowCount())
        return;
    Article* article = model_->articleAt(row);
    Article copy = *article;
    CArticleDlg dialog(doc_->core(), copy, false, settings(), prompt(), this);
    if (runDialog(dialog) != QDialog::Accepted)
        return;
    doc_->setModified(true);
    copy.modified = true;
    Articles& articles = doc_->core().articles;
    articles.update(articles.indexOf(article), copy);
    model_->rowChanged(row);
    if (resort)
        model_->sortRows();
}

void ArticlesView::deleteSelected() {
    const std::vector<Article*> articles = selectedArticles();
    if (articles.empty() || !prompt().ask("Czy na pewno chcesz usunąć zaznaczone artykuły?"))
        return;
    model_->removeArticles(articles);
    for (Article* a : articles) {
        doc_->setModified(true);
        doc_->core().articles.remove(a);
    }
}

void ArticlesView::selectWhere(const std::function<bool(const Article&)>& wanted) {
    QItemSelection selection;
    const int rows = model_->rowCount();
    for (int row = 0; row < rows;) {
        if (!wanted(*model_->articleAt(row))) {
            ++row;
            continue;
        }
        int last = row;
        while (last + 1 < rows && wanted(*model_->articleAt(last + 1)))
            ++last;
        selection.select(model_->index(row, 0), model_->index(last, ARTICLE_COLUMNS - 1));
        row = last + 1;
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void ArticlesView::findArticles() {
    CFindArticleDlg dialog(prompt(), this);
    if (runDialog(dialog) != QDialog::Accepted)
        return;
    const ArticleSearch s = dialog.search();
    selectWhere([&s](const Article& a) {
        switch (s.kind) {
            case ArticleSearch::ByPlu:
                return a.plu == s.plu;
            case ArticleSearch::ByName:
                return QString::fromStdString(cp1250ToUtf8(a.name)).toUpper() == s.name;
            case ArticleSearch::ByPrice:
                return a.price == s.price;
        }
        return false;
    });
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;
    const QModelIndex first = model_->index(rows.front(), 0);
    selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    scrollTo(first);
}

void ArticlesView::copySelected() {
    const VatTexts vat = vatTexts(settings());
    std::string text;
    for (Article* a : selectedArticles())
        appendArticleLine(text, *a, vat);
    QGuiApplication::clipboard()->setText(QString::fromStdString(cp1250ToUtf8(text)));
}

void ArticlesView::cutSelected() {
    copySelected();
    const std::vector<Article*> articles = selectedArticles();
    model_->removeArticles(articles);
    for (Article* a : articles)
        doc_->core().articles.remove(a);
    doc_->setModified(true);
}

void ArticlesView::paste() {
    const std::string text = utf8ToCp1250(QGuiApplication::clipboard()->text().toStdString());
    if (text.empty())
        return;
    pasteArticles(doc_->core(), text, prompt(),
                  [this](Article& a) { model_->appendArticle(&a, true); });
    model_->sortRows();
    Q_EMIT doc_->commandStateChanged();
}

ArticleTransfer ArticlesView::transfer(JobHost& host) {
    return ArticleTransfer(doc_->core(), settings(), host, prompt());
}

void ArticlesView::afterTransfer() {
    doc_->setModified(doc_->core().isModified());
    refreshMarks();
}

EcrOnLineComm* ArticlesView::serverRegister() {
    TarvelServerDoc* server = communicatingDocument();
    if (!server)
        return nullptr;
    const int nr = settings().ecrNr;
    const int slot = server->findSlot(nr);
    EcrOnLineComm* target = slot < 0 ? nullptr : server->slotAt(slot);
    if (!target)
        prompt().message("Brak kasy o numerze logicznym " + std::to_string(nr) + ".",
                         PromptIcon::Stop);
    else if (target->job.pending()) {
        prompt().message("Kasa wykonuje już inne zadanie.", PromptIcon::Stop);
        target = nullptr;
    }
    return target;
}

ArticlesView::Route ArticlesView::route() const {
    if (communicatingDocument())
        return Route::OnlineDocument;
    if (serverAnswers(defaultControlPath()))
        return Route::ControlSocket;
    return Route::Line;
}

namespace {
// The worker's copies of articles, in the same order.
void appendCopies(Articles& to, const Articles& from) {
    for (const Article* a : from)
        to.append(std::make_unique<Article>(*a));
}

// The marks the worker left on its copies, back on the document's articles of the same PLU.
void takeMarks(const Articles& copies, const Articles& articles) {
    std::unordered_map<std::string, Article*> byPlu;
    for (Article* a : articles)
        byPlu.emplace(a->plu.toString(), a);
    for (const Article* c : copies) {
        const auto it = byPlu.find(c->plu.toString());
        if (it != byPlu.end())
            it->second->modified = c->modified;
    }
}
}  // namespace

void ArticlesView::throughServer(Route way, bool send, const std::vector<Article*>& selection) {
    EcrDoc& core = doc_->core();
    EcrOnLineComm* target = nullptr;
    if (way == Route::OnlineDocument && !(target = serverRegister()))
        return;
    // What is sent is marked as not in the register until the register has taken it.
    if (send) {
        const std::vector<Article*> all(core.articles.begin(), core.articles.end());
        for (Article* article : selection.empty() ? all : selection)
            article->modified = true;
    }
    Articles work;
    if (target) {
        if (send && selection.empty()) {
            appendCopies(work, core.articles);
        } else if (send) {
            // add keeps them in ascending PLU order, the order they go to the register.
            for (const Article* a : selection) {
                auto copy = std::make_unique<Article>(*a);
                work.add(copy);
            }
        }
        ServerTransfer transfer(target->job, send, work, send && settings().continueSendingOnError);
        InformationSrvDlg dialog(transfer, prompt(), this);
        dialog.exec();
    } else {
        ServerPathRequest request;
        request.socket = defaultControlPath();
        request.ecrNr = settings().ecrNr;
        request.send = send;
        request.continueOnError = send && settings().continueSendingOnError;
        for (const Article* a : selection)
            request.plus.push_back(a->plu.toString());
        // A read that does not run leaves the copies, so the document keeps its articles.
        EcrDoc socketDoc;
        appendCopies(socketDoc.articles, core.articles);
        {
            InformationSrvDlg dialog(socketDoc, request, prompt(), this);
            dialog.exec();
        }
        work.swap(socketDoc.articles);
    }
    core.setModified();
    if (send) {
        takeMarks(work, core.articles);
        refreshMarks();
    } else {
        model_->fill(Articles());
        core.articles.swap(work);
        refill();
    }
    doc_->setModified(true);
}

void ArticlesView::sendAllArticles() {
    const Route way = route();
    if (way != Route::Line) {
        if (prompt().ask("Czy chcesz wysłać dane do kasy?"))
            throughServer(way, true, {});
        return;
    }
    CSendArticlesDlg question(settings().updateArticles != 0, this);
    if (runDialog(question) != QDialog::Accepted)
        return;
    CommDlgJobHost host(this);
    transfer(host).sendAll(question.updateArticles());
    afterTransfer();
}

void ArticlesView::sendSelectedArticles() {
    const std::vector<Article*> selected = selectedArticles();
    const Route way = route();
    if (way != Route::Line) {
        if (!selected.empty() && prompt().ask("Czy chcesz wysłać zaznaczone artykuły do kasy?"))
            throughServer(way, true, selected);
        return;
    }
    CommDlgJobHost host(this);
    transfer(host).sendSelected(selected);
    afterTransfer();
}

void ArticlesView::readArticles() {
    const Route way = route();
    if (way != Route::Line) {
        // What was read replaces the list once the transfer has ended; until then, and when
        // the register is missing, the document keeps its articles.
        if (prompt().ask("Czy chcesz odczytać artykuły z kasy?"))
            throughServer(way, false, {});
        return;
    }
    // The list lets go of the old articles before the dialog paints it.
    CommDlgJobHost host(this, [this] { model_->fill(Articles()); });
    transfer(host).read();
    refill();
    doc_->setModified(doc_->core().isModified());
}

void ArticlesView::deleteAllInRegister() {
    CommDlgJobHost host(this);
    transfer(host).deleteAll();
    afterTransfer();
}

void ArticlesView::deleteSelectedInRegister() {
    CommDlgJobHost host(this);
    transfer(host).deleteSelected(selectedArticles());
    afterTransfer();
}

void ArticlesView::zeroSalesCounters() {
    CommDlgJobHost host(this);
    transfer(host).zeroCounters();
    refreshMarks();
}

bool ArticlesView::updateCommand(int id, CommandState& state) {
    const int rows = model_->rowCount();
    const bool selected = selectionModel()->hasSelection();
    const bool lineFree = !doc_->lineBusy();
    switch (id) {
        case cmd::ADD:
            state.enabled = rows < Articles::MaxArticles;
            return true;
        case cmd::DELETE:
        case cmd::EDIT:
        case cmd::EDIT_COPY:
        case cmd::EDIT_CUT:
            state.enabled = selected;
            return true;
        case cmd::FIND_ARTICLE:
        case cmd::SELECT_ALL:
        case cmd::SELECT_MODIFIED:
        case cmd::SELECT_UNMODIFIED:
            state.enabled = rows > 0;
            return true;
        case cmd::EDIT_PASTE: {
            const QMimeData* data = QGuiApplication::clipboard()->mimeData();
            state.enabled = data && data->hasText();
            return true;
        }
        // Sending and reading go through the online document while it communicates.
        case cmd::ECR_SEND:
            state.enabled = rows > 0;
            return true;
        case cmd::ECR_DELETE_ALL:
            state.enabled = rows > 0 && lineFree;
            return true;
        case cmd::ECR_SEND_SELECTED:
            state.enabled = selected;
            return true;
        case cmd::ECR_DELETE_SELECTED:
            state.enabled = selected && lineFree;
            return true;
        case cmd::ECR_READ:
            state.enabled = true;
            return true;
        case cmd::ECR_ZERO_COUNTERS:
            state.enabled = lineFree;
            return true;
        case cmd::FIND_ECR:
            state.enabled = lineFree && bool(findRegisterDialog());
            return true;
    }
    return CListViewEx::updateCommand(id, state);
}

bool ArticlesView::runCommand(int id) {
    switch (id) {
        case cmd::ADD:
            addArticle();
            return true;
        case cmd::DELETE:
            deleteSelected();
            return true;
        case cmd::EDIT:
            editArticles();
            return true;
        case cmd::FIND_ARTICLE:
            findArticles();
            return true;
        case cmd::SELECT_ALL:
            selectWhere([](const Article&) { return true; });
            return true;
        case cmd::SELECT_MODIFIED:
            selectWhere([](const Article& a) { return a.modified; });
            return true;
        case cmd::SELECT_UNMODIFIED:
            selectWhere([](const Article& a) { return !a.modified; });
            return true;
        case cmd::EDIT_COPY:
            copySelected();
            return true;
        case cmd::EDIT_CUT:
            cutSelected();
            return true;
        case cmd::EDIT_PASTE:
            paste();
            return true;
        case cmd::ECR_SEND:
            sendAllArticles();
            return true;
        case cmd::ECR_SEND_SELECTED:
            sendSelectedArticles();
            return true;
        case cmd::ECR_READ:
            readArticles();
            return true;
        case cmd::ECR_DELETE_ALL:
            deleteAllInRegister();
            return true;
        case cmd::ECR_DELETE_SELECTED:
            deleteSelectedInRegister();
            return true;
        case cmd::ECR_ZERO_COUNTERS:
            zeroSalesCounters();
            return true;
        case cmd::FIND_ECR:
            findRegisterDialog()(*doc_, this);
            return true;
    }
    return CListViewEx::runCommand(id);
}

void ArticlesView::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex index = indexAt(viewport()->mapFrom(this, event->pos()));
    if (!index.isValid())
        return;
    QMenu menu(this);
    const std::pair<int, const char*> items[] = {
        {cmd::ADD, "Dodaj"}, {cmd::DELETE, "Usuń"}, {cmd::EDIT, "Edytuj"}};
    for (const auto& [id, text] : items) {
        QAction* a = menu.addAction(QString::fromUtf8(text));
        CommandState state;
        updateCommand(id, state);
        a->setEnabled(state.enabled);
        connect(a, &QAction::triggered, this, [this, id = id] { runCommand(id); });
    }
    menu.exec(event->globalPos());
}

}  // namespace kos
