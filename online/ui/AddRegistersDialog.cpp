#include "online/ui/AddRegistersDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kos {

AddRegistersDialog::AddRegistersDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Dodaj kasy"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Nr logiczny"), this));
    edit_ = new QLineEdit(this);
    layout->addWidget(edit_);
    layout->addWidget(new QLabel(QStringLiteral("nr kas rozdzielone ',' np. 8,2,56"), this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString AddRegistersDialog::text() const {
    return edit_->text();
}

}  // namespace kos
