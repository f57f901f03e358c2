// The article dialog ("Artykuł"): PLU, name, price, VAT rate and open price of one article.
// "OK" runs the checks of the article rules; a failure shows its message, focuses the control
// and keeps the dialog open.
#pragma once

#include <QDialog>

#include "articles/ArticleText.h"
#include "articles/EcrDoc.h"
#include "base/Prompt.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace kos {

// The seven entries of a VAT list: letter, space, description (descriptions in UTF-8).
QStringList vatEntries(const Settings& settings);

class CArticleDlg : public QDialog {
    Q_OBJECT
public:
    // article: a fresh Article for a new one, a copy for an existing one; written on "OK".
    CArticleDlg(EcrDoc& doc, Article& article, bool isNew, const Settings& settings, Prompt& prompt,
                QWidget* parent = nullptr);

    void accept() override;

private:
    QWidget* control(int which) const;

    EcrDoc& doc_;
    Article& article_;
    bool isNew_;
    Prompt& prompt_;
    QLineEdit* plu_;
    QLineEdit* name_;
    QLineEdit* price_;
    QComboBox* vat_;
    QCheckBox* openPrice_;
};

}  // namespace kos
