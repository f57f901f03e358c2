#include "shell/PrinterSetup.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>

namespace kos {

QPrinter& appPrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

PrinterSetupDialog::PrinterSetupDialog(QPrinter& printer, QWidget* parent)
    : QDialog(parent), printer_(printer), printers_(new QComboBox(this)) {
    setWindowTitle(QStringLiteral("Ustawienia strony"));
    auto* layout = new QFormLayout(this);
    printers_->addItems(QPrinterInfo::availablePrinterNames());
    QString current = printer_.printerName();
    if (current.isEmpty())
        current = QPrinterInfo::defaultPrinterName();
    printers_->setCurrentIndex(printers_->findText(current));
    printers_->setEnabled(printers_->count() > 0);
    layout->addRow(QStringLiteral("&Drukarka:"), printers_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* page =
        buttons->addButton(QStringLiteral("&Strona..."), QDialogButtonBox::ActionRole);
    connect(page, &QPushButton::clicked, this, &PrinterSetupDialog::showPageSetup);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addRow(buttons);
}

void PrinterSetupDialog::showPageSetup() {
    // The page belongs to the printer chosen here, also before OK.
    if (!printers_->currentText().isEmpty())
        printer_.setPrinterName(printers_->currentText());
    QPageSetupDialog dialog(&printer_, this);
    dialog.exec();
}

void PrinterSetupDialog::accept() {
    if (!printers_->currentText().isEmpty())
        printer_.setPrinterName(printers_->currentText());
    QDialog::accept();
}

}  // namespace kos
