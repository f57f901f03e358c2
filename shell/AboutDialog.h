// The About box "O programie": icon, "KOS ONLINE" and the version line.
#pragma once

#include <QDialog>

namespace kos {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace kos
