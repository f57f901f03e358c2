#include "articles/ui/CCommDlg.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace kos {

CCommDlg::CCommDlg(const QString& label, CommJob& job, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), job_(job) {
    setWindowTitle(QStringLiteral("Komunikacja"));
    label_ = new QLabel(label, this);
    status_ = new QPlainTextEdit(this);
    status_->setReadOnly(true);
    status_->setObjectName(QStringLiteral("status"));
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 1000);
    bar_->setValue(0);
    abort_ = new QPushButton(QStringLiteral("Przerwij"), this);
    abort_->setDefault(true);
    abort_->setAutoDefault(true);
    abort_->setObjectName(QStringLiteral("abort"));
    connect(abort_, &QPushButton::clicked, this, &CCommDlg::abortJob);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(status_);
    layout->addWidget(bar_);
    layout->addWidget(abort_, 0, Qt::AlignHCenter);
}

void CCommDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (started_)
        return;
    started_ = true;
    abort_->setFocus();
    job_.start(*this);
}

void CCommDlg::closeEvent(QCloseEvent* event) {
    if (ended_)
        event->accept();
    else
        event->ignore();
}

void CCommDlg::abortJob() {
    abort_->setEnabled(false);
    job_.abort();
}

void CCommDlg::progress(int position, const std::string& text) {
    const QString copy = QString::fromStdString(text);
    if (QThread::currentThread() == thread()) {
        showProgress(position, copy);
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, position, copy] { showProgress(position, copy); },
        Qt::BlockingQueuedConnection);
}

void CCommDlg::showProgress(int position, const QString& text) {
    bar_->setValue(std::clamp(position, 0, 1000));
    status_->setPlainText(text);
    repaint();
}

void CCommDlg::finished(bool ok, int count, int errors) {
    QMetaObject::invokeMethod(
        this, [this, ok, count, errors] { end(ok, count, errors); }, Qt::QueuedConnection);
}

void CCommDlg::end(bool ok, int count, int errors) {
    ended_ = true;
    ok_ = ok;
    count_ = count;
    errors_ = errors;
    done(ok ? Accepted : Rejected);
}

}  // namespace kos
