// KOS started with article documents, a new article document with its list, and dialog
// runners that fill the article windows' dialogs by their control names.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <deque>
#include <functional>

#include "GuiTestSupport.h"
#include "articles/ui/ArticleDocument.h"
#include "articles/ui/ArticlesView.h"
#include "articles/ui/DialogRunner.h"

namespace kos::test {

struct ArticleFixture : GuiFixture {
    ArticleFixture();
    ~ArticleFixture();

    // Adds an article straight to the document and refills the list.
    Article& put(const char* plu, const char* name, int32_t price, bool modified = true,
                 uint8_t vat = 0);
    // Selects exactly these rows.
    void select(std::initializer_list<int> rows);
    QString cell(int row, int column) {
        return view->articlesModel().index(row, column).data().toString();
    }
    // Dialog steps, one per dialog the view runs; none left is Cancel.
    std::deque<std::function<int(QDialog&)>> dialogs;

    ArticleDocument* doc = nullptr;
    ArticlesView* view = nullptr;
};

template <typename W>
W* control(QDialog& d, const char* name) {
    W* w = d.findChild<W*>(QString::fromLatin1(name));
    if (!w)
        throw std::runtime_error(std::string("no control ") + name);
    return w;
}

inline void setText(QDialog& d, const char* name, const QString& text) {
    control<QLineEdit>(d, name)->setText(text);
}

// Presses OK (the dialog's accept) and returns the result; a refused OK leaves it Rejected.
inline int pressOk(QDialog& d) {
    d.setResult(QDialog::Rejected);
    d.accept();
    return d.result();
}

}  // namespace kos::test
