// "Szukaj kasy": the search for a register whose port, speed and logical number are unknown,
// run in the progress dialog; "Ustaw" makes the find the program's settings.
#pragma once

#include <QDialog>

#include "articles/RegisterSearch.h"
#include "base/Prompt.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kos {

class CFindEcrDlg : public QDialog {
    Q_OBJECT
public:
    CFindEcrDlg(Settings& settings, SettingsStore& store, Prompt& prompt,
                QWidget* parent = nullptr);

    void search();
    void apply();

private:
    Settings& settings_;
    SettingsStore& store_;
    Prompt& prompt_;
    QLineEdit* start_;
    QRadioButton* ascending_;
    QCheckBox* ports_[COM_PORT_COUNT];
    QLineEdit* foundNr_;
    QComboBox* foundPort_;
    QComboBox* foundSpeed_;
    QPushButton* set_;
    int found_ = 0;
};

}  // namespace kos
