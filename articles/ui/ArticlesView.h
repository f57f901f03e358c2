// The article list of an article document: one row per article in the view's sort order,
// and every command on the articles: add, edit (one or several), delete, find, select, the
// clipboard, and the exchanges with the register through the progress dialog.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "articles/ArticleTransfer.h"
#include "articles/ui/ArticlesModel.h"
#include "shell/CListViewEx.h"

namespace kos {

class ArticleDocument;
class Articles;
class EcrOnLineComm;
class JobHost;
class SortHeader;
struct Settings;

inline constexpr const char* ARTICLES_TITLE_PREFIX = "ARTYKUŁY - ";

// The find-register dialog of a document; the command is disabled while none is installed.
using FindRegisterDialog = std::function<void(ArticleDocument& doc, QWidget* parent)>;
void setFindRegisterDialog(FindRegisterDialog dialog);

class ArticlesView : public CListViewEx {
    Q_OBJECT
public:
    ArticlesView(ArticleDocument* doc, QWidget* parent = nullptr);

    ArticlesModel& articlesModel() { return *model_; }
    int sortOrder() const { return model_->sortOrder(); }
    SortHeader* sortHeader() const { return header_; }

    // Every article anew, sorted.
    void refill();
    // Column "ECR" of every row anew.
    void refreshMarks();
    // Sorts by this order and shows its arrow.
    void setSortOrder(int sortOrder);
    // A click on a column title.
    void clickColumn(int column);

    void addArticle();
    // One selected row: the article dialog, then a re-sort; several: the several-article dialog.
    void editArticles();
    void editRow(int row, bool resort);
    void deleteSelected();
    void findArticles();
    void selectWhere(const std::function<bool(const Article&)>& wanted);

    void copySelected();
    void cutSelected();
    void paste();

    // The exchanges with the register (menu "Komunikacja").
    void sendAllArticles();
    void sendSelectedArticles();
    void readArticles();
    void deleteAllInRegister();
    void deleteSelectedInRegister();
    void zeroSalesCounters();

    // Selected rows, top to bottom.
    std::vector<int> selectedRows() const;
    std::vector<Article*> selectedArticles() const;

    bool updateCommand(int id, CommandState& state) override;
    bool runCommand(int id) override;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    Settings& settings() const;
    Prompt& prompt() const;
    // The status pane's "%d/%d" while this view is the active one; showCounts writes it.
    void updateCounts();
    void showCounts();
    void showArrow();
    // The exchanges on this document, their jobs run in host.
    ArticleTransfer transfer(JobHost& host);
    // The document's modified flag and the list's marks after an exchange.
    void afterTransfer();
    // The register ecrNr of the communicating online document; null (after telling why) when it
    // has none or the register is busy with another job.
    EcrOnLineComm* serverRegister();
    // Hands the transfer to that register's slot and shows its progress until it ends.
    void relay(EcrOnLineComm& target, bool send, Articles& list);
    // With no online document communicating here, hands the transfer to a kos-online answering
    // on its control socket; false when none answers (the direct line is the way).
    bool throughControlSocket(bool send, const std::vector<std::string>& plus);

    ArticleDocument* doc_;
    ArticlesModel* model_;
    SortHeader* header_;
};

}  // namespace kos
