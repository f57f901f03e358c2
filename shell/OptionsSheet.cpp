#include "shell/OptionsSheet.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kos {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

ServerPropertyPage::ServerPropertyPage(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Paragony zapisywane do katalogu "), this));
    receiptDir_ = new QLineEdit(this);
    layout->addWidget(receiptDir_);
    backupBox_ = new QCheckBox(QStringLiteral("Zapisywać do katalogu zapasowego"), this);
    layout->addWidget(backupBox_);
    layout->addWidget(
        new QLabel(QStringLiteral("Paragony zapisywane do katalogu zapasowego"), this));
    backupDir_ = new QLineEdit(this);
    layout->addWidget(backupDir_);
    layout->addStretch();
    connect(backupBox_, &QCheckBox::toggled, this, &ServerPropertyPage::updateEnabling);
}

void ServerPropertyPage::preset(const std::string& receiptDir, const std::string& backupDir) {
    receiptDir_->setText(qs(receiptDir));
    backupDir_->setText(qs(backupDir));
    backupBox_->setChecked(!backupDir.empty());
    updateEnabling();
}

void ServerPropertyPage::updateEnabling() {
    backupDir_->setEnabled(backupBox_->isChecked());
}

PortPropertyPage::PortPropertyPage(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);

    auto* portBox = new QGroupBox(QStringLiteral("Numer portu"), this);
    auto* portLayout = new QFormLayout(portBox);
    ports_ = new QButtonGroup(this);
    for (int i = 0; i < COM_PORT_COUNT; ++i) {
        auto* radio = new QRadioButton(QStringLiteral("com %1").arg(i + 1), portBox);
        ports_->addButton(radio, i);
        devices_[i] = new QLineEdit(portBox);
        devices_[i]->setToolTip(QStringLiteral("Urządzenie portu com %1").arg(i + 1));
        portLayout->addRow(radio, devices_[i]);
    }
    layout->addWidget(portBox);

    auto* speedBox = new QGroupBox(QStringLiteral("Prędkość transmisji"), this);
    auto* speedLayout = new QVBoxLayout(speedBox);
    speeds_ = new QButtonGroup(this);
    const int speeds[] = {2400, 4800, 9600};
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(QStringLiteral("%1 bps").arg(speeds[i]), speedBox);
        speeds_->addButton(radio, i);
        speedLayout->addWidget(radio);
    }
    layout->addWidget(speedBox);
    layout->addStretch();
}

void PortPropertyPage::preset(const Settings& settings) {
    if (auto* b = ports_->button(settings.port - 1))
        b->setChecked(true);
    int speedIndex = settings.portSpeed == 2400 ? 0 : settings.portSpeed == 4800 ? 1 : 2;
    speeds_->button(speedIndex)->setChecked(true);
    for (int i = 0; i < COM_PORT_COUNT; ++i)
        devices_[i]->setText(qs(settings.comDevice[i]));
}

int PortPropertyPage::port() const {
    return ports_->checkedId() + 1;
}

int PortPropertyPage::speed() const {
    switch (speeds_->checkedId()) {
        case 0:
            return 2400;
        case 1:
            return 4800;
    }
    return 9600;
}

OptionsSheet::OptionsSheet(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setWindowTitle(QStringLiteral("Parametry"));
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    server_ = new ServerPropertyPage(tabs_);
    port_ = new PortPropertyPage(tabs_);
    tabs_->addTab(server_, QStringLiteral("Serwer"));
    tabs_->addTab(port_, QStringLiteral("Port"));
    layout->addWidget(tabs_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Anuluj"));
    connect(buttons, &QDialogButtonBox::accepted, this, &OptionsSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &OptionsSheet::reject);
    layout->addWidget(buttons);

    const Settings& s = context_.settings;
    port_->preset(s);
    server_->preset(s.receiptDir, s.receiptBackupDir);
}

void OptionsSheet::accept() {
    checked_.receiptDir = server_->receiptDirEdit()->text().toStdString();
    checked_.backupDir = server_->backupDirEdit()->text().toStdString();
    checked_.backupEnabled = server_->backupBox()->isChecked();
    confirmServerPage(checked_, context_.prompt);
    server_->receiptDirEdit()->setText(qs(checked_.receiptDir));
    server_->backupDirEdit()->setText(qs(checked_.backupDir));
    QDialog::accept();
}

void OptionsSheet::storeSettings() {
    Settings& s = context_.settings;
    if (port_->port() >= 1)
        s.port = port_->port();
    s.portSpeed = port_->speed();
    const Settings defaults = defaultSettings();
    for (int i = 0; i < COM_PORT_COUNT; ++i) {
        // A cleared device field falls back to the port's usual device.
        std::string device = trimmed(port_->deviceEdit(i)->text().toStdString());
        s.comDevice[i] = device.empty() ? defaults.comDevice[i] : device;
    }
    s.receiptDir = checked_.receiptDir;
    s.receiptBackupDir = checked_.backupDir;
    saveSettings(context_.store, s);
}

}  // namespace kos
