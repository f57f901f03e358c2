// The header dialog ("Nagłówek"): the five lines, at most 18 characters each, and the
// alignment. "OK" refuses the first line that is too long.
#pragma once

#include <QDialog>
#include <array>

#include "articles/ECRHeader.h"
#include "base/Prompt.h"

class QLineEdit;
class QRadioButton;

namespace kos {

class CHeaderDlg : public QDialog {
    Q_OBJECT
public:
    CHeaderDlg(const ECRHeader& header, Prompt& prompt, QWidget* parent = nullptr);

    // The lines (code page 1250) and alignment "OK" took over.
    const ECRHeader& header() const { return result_; }

    void accept() override;

private:
    Prompt& prompt_;
    std::array<QLineEdit*, HEADER_LINES> lines_{};
    std::array<QRadioButton*, 3> alignment_{};
    ECRHeader result_;
};

}  // namespace kos
