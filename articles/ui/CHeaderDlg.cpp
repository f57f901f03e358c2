#include "articles/ui/CHeaderDlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "articles/ui/TypingLimit.h"
#include "base/Codepage.h"

namespace kos {

CHeaderDlg::CHeaderDlg(const ECRHeader& header, Prompt& prompt, QWidget* parent)
    : QDialog(parent), prompt_(prompt), result_(header) {
    setWindowTitle(QString::fromUtf8("Nagłówek"));
    auto* layout = new QVBoxLayout(this);
    for (size_t i = 0; i < lines_.size(); ++i) {
        lines_[i] = new QLineEdit(QString::fromStdString(cp1250ToUtf8(header.lines[i])), this);
        lines_[i]->setObjectName(QStringLiteral("line%1").arg(i + 1));
        limitTyping(lines_[i], int(ECRHeader::LINE_WIDTH));
        layout->addWidget(lines_[i]);
    }
    auto* group = new QGroupBox(QStringLiteral("Wyrównaj linie nagłówka do"), this);
    auto* radios = new QHBoxLayout(group);
    const char* names[] = {"lewej", "środka", "prawej"};
    for (size_t i = 0; i < alignment_.size(); ++i) {
        alignment_[i] = new QRadioButton(QString::fromUtf8(names[i]), group);
        alignment_[i]->setObjectName(QStringLiteral("align%1").arg(i));
        radios->addWidget(alignment_[i]);
    }
    alignment_[header.alignment < alignment_.size() ? header.alignment : 0]->setChecked(true);
    layout->addWidget(group);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CHeaderDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CHeaderDlg::reject);
    layout->addWidget(buttons);
}

void CHeaderDlg::accept() {
    ECRHeader header;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const QString text = lines_[i]->text();
        if (text.size() > int(ECRHeader::LINE_WIDTH)) {
            prompt_.message("Wprowadź nie więcej niż 18 znaków.", PromptIcon::Exclamation);
            lines_[i]->setFocus();
            lines_[i]->selectAll();
            return;
        }
        header.lines[i] = utf8ToCp1250(text.toStdString());
    }
    for (size_t i = 0; i < alignment_.size(); ++i)
        if (alignment_[i]->isChecked())
            header.alignment = uint8_t(i);
    result_ = header;
    QDialog::accept();
}

}  // namespace kos
