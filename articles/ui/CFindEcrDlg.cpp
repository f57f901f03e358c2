#include "articles/ui/CFindEcrDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "articles/ArticleTransfer.h"
#include "articles/ui/CommDlgJobHost.h"
#include "link/SerialPort.h"

namespace kos {

CFindEcrDlg::CFindEcrDlg(Settings& settings, SettingsStore& store, Prompt& prompt, QWidget* parent)
    : QDialog(parent), settings_(settings), store_(store), prompt_(prompt) {
    setWindowTitle(QStringLiteral("Szukaj kasy"));
    auto* from = new QGroupBox(QStringLiteral("Szukaj od"), this);
    start_ = new QLineEdit(QStringLiteral("1"), from);
    start_->setObjectName(QStringLiteral("start"));
    ascending_ = new QRadioButton(QString::fromUtf8("Rosnąco"), from);
    ascending_->setObjectName(QStringLiteral("ascending"));
    ascending_->setChecked(true);
    auto* descending = new QRadioButton(QString::fromUtf8("Malejąco"), from);
    descending->setObjectName(QStringLiteral("descending"));
    auto* fromLayout = new QFormLayout(from);
    fromLayout->addRow(QStringLiteral("Nr logiczny"), start_);
    auto* direction = new QHBoxLayout;
    direction->addWidget(ascending_);
    direction->addWidget(descending);
    fromLayout->addRow(direction);
    auto* portRow = new QHBoxLayout;
    for (int i = 0; i < COM_PORT_COUNT; ++i) {
        ports_[i] = new QCheckBox(QStringLiteral("Com%1").arg(i + 1), from);
        ports_[i]->setObjectName(QStringLiteral("com%1").arg(i + 1));
        ports_[i]->setChecked(i == 0);
        portRow->addWidget(ports_[i]);
    }
    fromLayout->addRow(portRow);
    auto* searchButton = new QPushButton(QStringLiteral("Szukaj"), from);
    searchButton->setObjectName(QStringLiteral("search"));
    searchButton->setAutoDefault(false);
    fromLayout->addRow(searchButton);

    auto* found = new QGroupBox(QStringLiteral("Znaleziona kasa"), this);
    foundNr_ = new QLineEdit(found);
    foundNr_->setObjectName(QStringLiteral("foundNr"));
    foundNr_->setReadOnly(true);
    foundPort_ = new QComboBox(found);
    foundPort_->setObjectName(QStringLiteral("foundPort"));
    foundPort_->addItems({QString(), QStringLiteral("com1"), QStringLiteral("com2"),
                          QStringLiteral("com3"), QStringLiteral("com4")});
    foundPort_->setEnabled(false);
    foundSpeed_ = new QComboBox(found);
    foundSpeed_->setObjectName(QStringLiteral("foundSpeed"));
    foundSpeed_->addItems(
        {QString(), QStringLiteral("2400"), QStringLiteral("4800"), QStringLiteral("9600")});
    foundSpeed_->setEnabled(false);
    set_ = new QPushButton(QStringLiteral("Ustaw"), found);
    set_->setObjectName(QStringLiteral("set"));
    set_->setAutoDefault(false);
    set_->setEnabled(false);
    auto* foundLayout = new QFormLayout(found);
    foundLayout->addRow(QStringLiteral("Nr logiczny"), foundNr_);
    foundLayout->addRow(QStringLiteral("port"), foundPort_);
    foundLayout->addRow(QString::fromUtf8("Prędkość"), foundSpeed_);
    foundLayout->addRow(set_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(searchButton, &QPushButton::clicked, this, &CFindEcrDlg::search);
    connect(set_, &QPushButton::clicked, this, &CFindEcrDlg::apply);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(from);
    layout->addWidget(found);
    layout->addWidget(buttons);
}

void CFindEcrDlg::search() {
    FindEcrRequest request;
    bool number = false;
    request.start = start_->text().trimmed().toInt(&number);
    if (!number) {
        prompt_.message(TEXT_NOT_AN_INTEGER, PromptIcon::Exclamation);
        start_->setFocus();
        return;
    }
    request.ascending = ascending_->isChecked();
    for (int i = 0; i < COM_PORT_COUNT; ++i)
        request.ports[i] = ports_[i]->isChecked();
    if (const char* error = findRequestError(request)) {
        prompt_.message(error, PromptIcon::Stop);
        return;
    }
    set_->setEnabled(false);
    found_ = 0;
    foundNr_->clear();
    foundPort_->setCurrentIndex(0);
    foundSpeed_->setCurrentIndex(0);

    // The probes open the ports by number, on the devices the settings give them.
    for (int port = 1; port <= COM_PORT_COUNT; ++port)
        if (!settings_.comDevice[port - 1].empty())
            setComDevice(port, settings_.comDevice[port - 1]);
    LineProbe probe;
    CommDlgJobHost host(this);
    const JobResult result = host.run("Szukanie kasy.", [&request, &probe](JobControl& control) {
        return findRegisterJob(control, request, probe);
    });
    if (!result.success) {
        prompt_.message(TEXT_COMM_FAILED, PromptIcon::Stop);
        return;
    }
    if (const std::optional<FoundRegister> where = foundRegister(result)) {
        found_ = where->nr;
        foundNr_->setText(QString::number(where->nr));
        foundPort_->setCurrentIndex(where->port);
        foundSpeed_->setCurrentIndex(where->speedIndex);
        set_->setEnabled(true);
    }
}

void CFindEcrDlg::apply() {
    FoundRegister found;
    found.nr = found_;
    found.speedIndex = foundSpeed_->currentIndex();
    found.port = foundPort_->currentIndex();
    if (!applyFoundRegister(found, settings_, store_)) {
        prompt_.message(TEXT_REGISTER_NOT_FOUND, PromptIcon::Stop);
        return;
    }
    set_->setEnabled(false);
}

}  // namespace kos
