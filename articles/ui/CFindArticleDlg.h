// The find dialog ("Znajdź artykuł"): a PLU, a name or a price to look for. "Znajdź" checks
// the text for the chosen kind and keeps the dialog open on a bad one.
#pragma once

#include <QDialog>

#include "base/Prompt.h"
#include "link/Plu.h"

class QLineEdit;
class QRadioButton;

namespace kos {

struct ArticleSearch {
    enum Kind { ByPlu, ByName, ByPrice };
    Kind kind = ByPlu;
    Plu plu;
    QString name;  // trimmed and upper-cased
    // Hundredths; the text -1 looks for the articles pasted without a price (-1).
    int32_t price = 0;
};

// Checks the text for the kind; the message (UTF-8) is empty when the text is good.
std::string readArticleSearch(const QString& text, ArticleSearch::Kind kind, ArticleSearch& search);

class CFindArticleDlg : public QDialog {
    Q_OBJECT
public:
    explicit CFindArticleDlg(Prompt& prompt, QWidget* parent = nullptr);

    const ArticleSearch& search() const { return search_; }

    void accept() override;

private:
    Prompt& prompt_;
    QLineEdit* text_;
    QRadioButton* byPlu_;
    QRadioButton* byName_;
    QRadioButton* byPrice_;
    ArticleSearch search_;
};

}  // namespace kos
