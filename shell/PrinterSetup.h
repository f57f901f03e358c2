// The one printer set-up of the program, shared by "Ustawienia strony" and every print job, and
// the dialog of "Ustawienia strony": the printer, then its page.
#pragma once

#include <QDialog>

class QComboBox;
class QPrinter;

namespace kos {

QPrinter& appPrinter();

class PrinterSetupDialog : public QDialog {
    Q_OBJECT
public:
    explicit PrinterSetupDialog(QPrinter& printer, QWidget* parent = nullptr);

    QComboBox* printerBox() const { return printers_; }

    // The chosen printer becomes the program's printer.
    void accept() override;

private:
    void showPageSetup();

    QPrinter& printer_;
    QComboBox* printers_;
};

}  // namespace kos
