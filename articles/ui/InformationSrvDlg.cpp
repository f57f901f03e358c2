#include "articles/ui/InformationSrvDlg.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "base/Prompt.h"
#include "online/ServerTransfer.h"

namespace kos {

namespace {
// How often the window takes the worker's queued events.
constexpr int POLL_MS = 50;
}  // namespace

InformationSrvDlg::InformationSrvDlg(ServerTransfer& transfer, Prompt& prompt, QWidget* parent)
    : QDialog(parent),
      transfer_(transfer),
      prompt_(prompt),
      label_(new QLabel(QString::fromUtf8(SERVER_TRANSFER_LABEL), this)),
      status_(new QPlainTextEdit(this)),
      progress_(new QProgressBar(this)),
      timer_(new QTimer(this)) {
    setWindowTitle(QStringLiteral("Komunikacja"));
    setObjectName(QStringLiteral("InformationSrvDlg"));
    status_->setReadOnly(true);
    status_->setObjectName(QStringLiteral("status"));
    progress_->setRange(0, transfer.range());
    progress_->setValue(0);
    auto* stop = new QPushButton(QStringLiteral("Przerwij"), this);
    stop->setDefault(true);
    connect(stop, &QPushButton::clicked, this, &InformationSrvDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(status_);
    layout->addWidget(progress_);
    layout->addWidget(stop, 0, Qt::AlignHCenter);
    connect(timer_, &QTimer::timeout, this, &InformationSrvDlg::poll);
    transfer_.place();
    timer_->start(POLL_MS);
}

void InformationSrvDlg::poll() {
    TransferEvent e;
    while (transfer_.nextEvent(e, 0)) {
        if (e.last) {
            end(QString::fromStdString(e.text), static_cast<int>(e.icon));
            return;
        }
        status_->setPlainText(QString::fromStdString(e.text));
        progress_->setValue(e.position);
    }
    if (transfer_.orphaned()) {
        // The register was removed from the online document while the job waited.
        describeTransferEvent(transfer_.send(), JobFailed, 0, e);
        end(QString::fromStdString(e.text), static_cast<int>(e.icon));
    }
}

void InformationSrvDlg::end(const QString& text, int icon) {
    timer_->stop();
    prompt_.message(text.toStdString(), static_cast<PromptIcon>(icon));
    done(0);
}

void InformationSrvDlg::reject() {
    if (!timer_->isActive())
        return;
    // Waits for a step the worker is running; the cancel event follows any it posted.
    transfer_.cancel();
    poll();
}

}  // namespace kos
