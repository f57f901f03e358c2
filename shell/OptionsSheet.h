// The options sheet "Parametry": the "Serwer" page (receipt and backup directories) and the
// "Port" page (port, speed, and the device behind each "com" number).
#pragma once

#include <QDialog>
#include <array>

#include "shell/AppContext.h"
#include "shell/DirectoryCheck.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QTabWidget;

namespace kos {

class ServerPropertyPage : public QWidget {
    Q_OBJECT
public:
    explicit ServerPropertyPage(QWidget* parent = nullptr);

    void preset(const std::string& receiptDir, const std::string& backupDir);
    QLineEdit* receiptDirEdit() const { return receiptDir_; }
    QLineEdit* backupDirEdit() const { return backupDir_; }
    QCheckBox* backupBox() const { return backupBox_; }

private:
    void updateEnabling();

    QLineEdit* receiptDir_;
    QLineEdit* backupDir_;
    QCheckBox* backupBox_;
};

class PortPropertyPage : public QWidget {
    Q_OBJECT
public:
    explicit PortPropertyPage(QWidget* parent = nullptr);

    void preset(const Settings& settings);
    int port() const;   // 1..4
    int speed() const;  // 2400, 4800 or 9600
    QButtonGroup* portGroup() const { return ports_; }
    QButtonGroup* speedGroup() const { return speeds_; }
    QLineEdit* deviceEdit(int index) const { return devices_.at(index); }

private:
    QButtonGroup* ports_;
    QButtonGroup* speeds_;
    std::array<QLineEdit*, COM_PORT_COUNT> devices_{};
};

class OptionsSheet : public QDialog {
    Q_OBJECT
public:
    OptionsSheet(AppContext& context, QWidget* parent = nullptr);

    ServerPropertyPage* serverPage() const { return server_; }
    PortPropertyPage* portPage() const { return port_; }

    // Runs the "Serwer" page's checks; they never hold the sheet open.
    void accept() override;
    // After OK: copies the pages into the settings and saves them all.
    void storeSettings();

private:
    AppContext& context_;
    QTabWidget* tabs_;
    ServerPropertyPage* server_;
    PortPropertyPage* port_;
    ServerPageValues checked_;
};

}  // namespace kos
