// The question before all articles go to the register ("KOS"), with the choice to delete in
// the register the articles the document does not have. The choice is not saved.
#pragma once

#include <QDialog>

class QCheckBox;

namespace kos {

class CSendArticlesDlg : public QDialog {
    Q_OBJECT
public:
    CSendArticlesDlg(bool updateArticles, QWidget* parent = nullptr);
    bool updateArticles() const;

private:
    QCheckBox* update_;
};

}  // namespace kos
