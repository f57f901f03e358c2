#include "articles/ui/CommDlgJobHost.h"

#include "articles/ui/CCommDlg.h"
#include "articles/ui/CommJob.h"

namespace kos {

namespace {

// A job on its own runner, seen by the progress dialog as a CommJob.
class RunnerJob : public CommJob, private JobListener {
public:
    explicit RunnerJob(const Job& job) : job_(job), runner_(*this) {}

    void start(CommJobListener& listener) override {
        listener_ = &listener;
        if (!runner_.start(job_))
            listener.finished(false, 0, 0);
    }
    void abort() override { runner_.requestAbort(); }
    JobResult result() { return runner_.wait(); }

private:
    void progress(int position, const std::string& text) override {
        listener_->progress(position, text);
    }
    void finished(const JobResult& result) override {
        listener_->finished(result.success, result.count, result.errors);
    }

    const Job& job_;
    CommJobListener* listener_ = nullptr;
    JobRunner runner_;
};

}  // namespace

JobResult CommDlgJobHost::run(const std::string& label, const Job& job) {
    if (beforeRun_)
        beforeRun_();
    RunnerJob runner(job);
    CCommDlg dialog(QString::fromStdString(label), runner, parent_);
    dialog.exec();
    return runner.result();
}

}  // namespace kos
