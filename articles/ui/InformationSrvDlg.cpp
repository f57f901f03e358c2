#include "articles/ui/InformationSrvDlg.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>
#include <vector>

#include "base/Prompt.h"
#include "online/ServerTransfer.h"

namespace kos {

namespace {
// How often the window takes the worker's queued events.
constexpr int POLL_MS = 50;

// Keeps the worker's messages for the window to show once the job has ended.
class DeferredPrompt final : public Prompt {
public:
    void message(const std::string& text, PromptIcon icon) override {
        messages.emplace_back(text, icon);
    }
    bool ask(const std::string&) override { return false; }
    std::vector<std::pair<std::string, PromptIcon>> messages;
};
}  // namespace

struct InformationSrvDlg::SocketJob {
    std::atomic<bool> interrupted{false};
    std::atomic<bool> ended{false};
    std::mutex m;
    std::deque<ServerEvent> events;
    DeferredPrompt prompt;
    std::thread worker;
};

InformationSrvDlg::InformationSrvDlg(ServerTransfer& transfer, Prompt& prompt, QWidget* parent)
    : QDialog(parent),
      transfer_(&transfer),
      prompt_(prompt),
      label_(new QLabel(QString::fromUtf8(SERVER_TRANSFER_LABEL), this)),
      status_(new QPlainTextEdit(this)),
      progress_(new QProgressBar(this)),
      timer_(new QTimer(this)) {
    build();
    progress_->setRange(0, transfer.range());
    connect(timer_, &QTimer::timeout, this, &InformationSrvDlg::poll);
    transfer_->place();
    timer_->start(POLL_MS);
}

InformationSrvDlg::InformationSrvDlg(EcrDoc& doc, const ServerPathRequest& request, Prompt& prompt,
                                     QWidget* parent)
    : QDialog(parent),
      prompt_(prompt),
      label_(new QLabel(QString::fromUtf8(SERVER_TRANSFER_LABEL), this)),
      status_(new QPlainTextEdit(this)),
      progress_(new QProgressBar(this)),
      timer_(new QTimer(this)),
      socketJob_(std::make_unique<SocketJob>()) {
    build();
    progress_->setRange(0, 0);
    connect(timer_, &QTimer::timeout, this, &InformationSrvDlg::pollSocket);
    SocketJob* job = socketJob_.get();
    job->worker = std::thread([job, &doc, request] {
        transferThroughServer(doc, request, job->interrupted, job->prompt,
                              [job](const ServerEvent& e) {
                                  std::lock_guard<std::mutex> g(job->m);
                                  job->events.push_back(e);
                              });
        job->ended = true;
    });
    timer_->start(POLL_MS);
}

InformationSrvDlg::~InformationSrvDlg() {
    if (socketJob_ && socketJob_->worker.joinable()) {
        socketJob_->interrupted = true;
        socketJob_->worker.join();
    }
}

void InformationSrvDlg::build() {
    setWindowTitle(QStringLiteral("Komunikacja"));
    setObjectName(QStringLiteral("InformationSrvDlg"));
    status_->setReadOnly(true);
    status_->setObjectName(QStringLiteral("status"));
    progress_->setValue(0);
    stop_ = new QPushButton(QStringLiteral("Przerwij"), this);
    stop_->setDefault(true);
    connect(stop_, &QPushButton::clicked, this, &InformationSrvDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(status_);
    layout->addWidget(progress_);
    layout->addWidget(stop_, 0, Qt::AlignHCenter);
}

void InformationSrvDlg::poll() {
    TransferEvent e;
    while (transfer_->nextEvent(e, 0)) {
        if (e.last) {
            end(QString::fromStdString(e.text), static_cast<int>(e.icon));
            return;
        }
        status_->setPlainText(QString::fromStdString(e.text));
        progress_->setValue(e.position);
    }
    if (transfer_->orphaned()) {
        // The register was removed from the online document while the job waited.
        describeTransferEvent(transfer_->send(), JobFailed, 0, e);
        end(QString::fromStdString(e.text), static_cast<int>(e.icon));
    }
}

void InformationSrvDlg::pollSocket() {
    SocketJob& job = *socketJob_;
    const bool ended = job.ended;
    std::deque<ServerEvent> events;
    {
        std::lock_guard<std::mutex> g(job.m);
        events.swap(job.events);
    }
    for (const ServerEvent& e : events) {
        if (e.started) {
            label_->setText(QString::fromStdString(e.text));
            continue;
        }
        status_->setPlainText(QString::fromStdString(e.text));
        progress_->setRange(0, e.range);
        progress_->setValue(e.position);
    }
    if (!ended)
        return;
    timer_->stop();
    job.worker.join();
    for (const auto& [text, icon] : job.prompt.messages)
        prompt_.message(text, icon);
    done(0);
}

void InformationSrvDlg::end(const QString& text, int icon) {
    timer_->stop();
    prompt_.message(text.toStdString(), static_cast<PromptIcon>(icon));
    done(0);
}

void InformationSrvDlg::reject() {
    if (!timer_->isActive())
        return;
    if (socketJob_) {
        // The server cancels the job; its end closes the window.
        socketJob_->interrupted = true;
        stop_->setEnabled(false);
        return;
    }
    // Waits for a step the worker is running; the cancel event follows any it posted.
    transfer_->cancel();
    poll();
}

}  // namespace kos
