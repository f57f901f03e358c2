// The progress window of an article transfer relayed through the running online document: the
// worker of that document carries the job out between its polls; this window shows its events
// and cancels it with "Przerwij".
#pragma once

#include <QDialog>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "online/ServerClientTransfer.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace kos {

class Prompt;
class ServerTransfer;

class InformationSrvDlg : public QDialog {
    Q_OBJECT
public:
    // Places the transfer's job; the list it names belongs to the worker until the window closes.
    InformationSrvDlg(ServerTransfer& transfer, Prompt& prompt, QWidget* parent = nullptr);
    // Runs the request on doc through kos-online's control socket on a worker thread; doc
    // belongs to the worker until the window closes.
    InformationSrvDlg(EcrDoc& doc, const ServerPathRequest& request, Prompt& prompt,
                      QWidget* parent = nullptr);
    ~InformationSrvDlg() override;

    void reject() override;

private:
    void build();
    void poll();
    void pollSocket();
    void end(const QString& text, int icon);

    ServerTransfer* transfer_ = nullptr;
    Prompt& prompt_;
    QLabel* label_;
    QPlainTextEdit* status_;
    QProgressBar* progress_;
    QTimer* timer_;
    QPushButton* stop_ = nullptr;
    // The control socket's job: its worker, its events and the messages it left for the end.
    struct SocketJob;
    std::unique_ptr<SocketJob> socketJob_;
};

}  // namespace kos
