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
    // Where send all, send selected and read go: the online document communicating in this
    // program, else a kos-online answering on its control socket, else the serial line.
    enum class Route { OnlineDocument, ControlSocket, Line };
    Route route() const;
    // Sends (selection, or every article when empty) or reads through the server of way and
    // shows its progress until it ends. The server's worker has copies: the marks and the
    // articles read come back to the document here, so the list shows it all along.
    void throughServer(Route way, bool send, const std::vector<Article*>& selection);

    ArticleDocument* doc_;
    ArticlesModel* model_;
    SortHeader* header_;
};

}  // namespace kos
