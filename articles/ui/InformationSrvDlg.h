// The progress window of an article transfer relayed through the running online document: the
// worker of that document carries the job out between its polls; this window shows its events
// and cancels it with "Przerwij".
#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QTimer;

namespace kos {

class Prompt;
class ServerTransfer;

class InformationSrvDlg : public QDialog {
    Q_OBJECT
public:
    // Places the transfer's job; the list it names belongs to the worker until the window closes.
    InformationSrvDlg(ServerTransfer& transfer, Prompt& prompt, QWidget* parent = nullptr);

    void reject() override;

private:
    void poll();
    void end(const QString& text, int icon);

    ServerTransfer& transfer_;
    Prompt& prompt_;
    QLabel* label_;
    QPlainTextEdit* status_;
    QProgressBar* progress_;
    QTimer* timer_;
};

}  // namespace kos
