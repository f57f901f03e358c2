// Dialog "Dodaj kasy": one field for register numbers separated by commas.
#pragma once

#include <QDialog>

class QLineEdit;

namespace kos {

class AddRegistersDialog : public QDialog {
    Q_OBJECT
public:
    explicit AddRegistersDialog(QWidget* parent = nullptr);
    QString text() const;

private:
    QLineEdit* edit_;
};

}  // namespace kos
