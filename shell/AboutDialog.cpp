#include "shell/AboutDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

#include "shell/AppInfo.h"
#include "shell/ToolIcons.h"

namespace kos {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("O programie"));
    auto* layout = new QGridLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(appIcon().pixmap(32, 32));
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    auto* title = new QLabel(appTitle(), this);
    title->setObjectName(QStringLiteral("title"));
    layout->addWidget(title, 0, 1);
    auto* version = new QLabel(versionLine(), this);
    version->setObjectName(QStringLiteral("version"));
    layout->addWidget(version, 1, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons, 2, 0, 1, 2);
    setFixedSize(sizeHint());
}

}  // namespace kos
