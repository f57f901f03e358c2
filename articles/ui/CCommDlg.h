// The progress dialog of a register exchange ("Komunikacja"): the operation's label, the
// job's status text and a bar 0..1000. "Przerwij" (also Enter) asks the job to stop and
// disables itself; Esc and the close box do nothing, only the job's end closes the dialog.
#pragma once

#include <QDialog>
#include <atomic>

#include "articles/ui/CommJob.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace kos {

class CCommDlg : public QDialog, public CommJobListener {
    Q_OBJECT
public:
    // The job is started when the dialog is shown and must outlive it.
    CCommDlg(const QString& label, CommJob& job, QWidget* parent = nullptr);

    bool succeeded() const { return ok_; }
    int resultCount() const { return count_; }
    int resultErrors() const { return errors_; }

    // Job thread (or this one): blocks until the text is shown.
    void progress(int position, const std::string& text) override;
    // Job thread (or this one): posted; the dialog closes when it arrives.
    void finished(bool ok, int count, int errors) override;

    void reject() override {}

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void showProgress(int position, const QString& text);
    void end(bool ok, int count, int errors);
    void abortJob();

    CommJob& job_;
    QLabel* label_;
    QPlainTextEdit* status_;
    QProgressBar* bar_;
    QPushButton* abort_;
    bool started_ = false;
    bool ended_ = false;
    bool ok_ = false;
    int count_ = 0;
    int errors_ = 0;
};

}  // namespace kos
