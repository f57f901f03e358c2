#include "articles/ui/CArticlesEditDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

#include "articles/ArticleConfirm.h"
#include "articles/ui/CArticleDlg.h"

namespace kos {

CArticlesEditDlg::CArticlesEditDlg(const Settings& settings, Prompt& prompt, QWidget* parent)
    : QDialog(parent), prompt_(prompt) {
    setWindowTitle(QString::fromUtf8("Artykuły"));
    usePrice_ = new QCheckBox(QStringLiteral("Cena"), this);
    useVat_ = new QCheckBox(QStringLiteral("PTU"), this);
    useOpenPrice_ = new QCheckBox(QStringLiteral("Typ ceny"), this);
    price_ = new QLineEdit(QString::fromStdString(formatDecimal(0, PRICE_LIMITS.decimals)), this);
    vat_ = new QComboBox(this);
    vat_->addItems(vatEntries(settings));
    vat_->setCurrentIndex(0);
    openPrice_ = new QCheckBox(QStringLiteral("Cena otwarta"), this);
    const QList<std::pair<QCheckBox*, QWidget*>> pairs = {
        {usePrice_, price_}, {useVat_, vat_}, {useOpenPrice_, openPrice_}};
    auto* grid = new QGridLayout(this);
    int row = 0;
    for (const auto& [box, input] : pairs) {
        input->setEnabled(false);
        connect(box, &QCheckBox::toggled, input, &QWidget::setEnabled);
        grid->addWidget(box, row, 0);
        grid->addWidget(input, row++, 1);
    }
    usePrice_->setObjectName(QStringLiteral("usePrice"));
    useVat_->setObjectName(QStringLiteral("useVat"));
    useOpenPrice_->setObjectName(QStringLiteral("useOpenPrice"));
    price_->setObjectName(QStringLiteral("price"));
    vat_->setObjectName(QStringLiteral("vat"));
    openPrice_->setObjectName(QStringLiteral("openPrice"));

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Anuluj"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CArticlesEditDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CArticlesEditDlg::reject);
    grid->addWidget(buttons, row, 0, 1, 2);
}

void CArticlesEditDlg::accept() {
    ArticlesChange change;
    if (usePrice_->isChecked()) {
        int64_t value = 0;
        const DecimalError e = readDecimal(
            price_->text().left(int(DECIMAL_TEXT_LIMIT)).toStdString(), PRICE_LIMITS, value);
        if (e != DecimalError::None) {
            prompt_.message(decimalMessage(e), PromptIcon::None);
            price_->setFocus();
            return;
        }
        change.price = int32_t(value);
    }
    if (useVat_->isChecked() && vat_->currentIndex() >= 0)
        change.vat = uint8_t(vat_->currentIndex());
    if (useOpenPrice_->isChecked())
        change.openPrice = openPrice_->isChecked();
    change_ = change;
    QDialog::accept();
}

}  // namespace kos
