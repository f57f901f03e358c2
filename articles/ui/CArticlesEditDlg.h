// The dialog that changes several articles at once ("Artykuły"): each of price, VAT rate and
// price type is changed only when its box is checked.
#pragma once

#include <QDialog>
#include <optional>

#include "base/Prompt.h"
#include "base/Settings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace kos {

struct ArticlesChange {
    std::optional<int32_t> price;
    std::optional<uint8_t> vat;
    std::optional<bool> openPrice;
};

class CArticlesEditDlg : public QDialog {
    Q_OBJECT
public:
    CArticlesEditDlg(const Settings& settings, Prompt& prompt, QWidget* parent = nullptr);

    // What "OK" took over.
    const ArticlesChange& change() const { return change_; }

    void accept() override;

private:
    Prompt& prompt_;
    QCheckBox* usePrice_;
    QCheckBox* useVat_;
    QCheckBox* useOpenPrice_;
    QLineEdit* price_;
    QComboBox* vat_;
    QCheckBox* openPrice_;
    ArticlesChange change_;
};

}  // namespace kos
