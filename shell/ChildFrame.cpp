#include "shell/ChildFrame.h"

#include <QCloseEvent>
#include <QMdiArea>

#include "shell/DocManager.h"
#include "shell/DocTemplate.h"
#include "shell/ToolIcons.h"
#include "shell/UiDocument.h"

namespace kos {

ChildFrame::ChildFrame(UiDocument* doc, const QString& viewName, QWidget* parent)
    : QMdiSubWindow(parent), doc_(doc), viewName_(viewName) {
    if (QWidget* view = doc->docTemplate().createView(viewName, *doc, this))
        setWidget(view);
    setWindowIcon(appIcon());
    connect(doc, &UiDocument::titleChanged, this, &ChildFrame::updateTitle);
    updateTitle();
}

CommandTarget* ChildFrame::viewTarget() const {
    return dynamic_cast<CommandTarget*>(widget());
}

void ChildFrame::release() {
    released_ = true;
    const bool maximized = isMaximized();
    hide();
    deleteLater();
    Q_EMIT released(maximized);
}

void ChildFrame::setTitleNumber(int n) {
    titleNumber_ = n;
    updateTitle();
}

void ChildFrame::setTitlePrefix(const QString& prefix) {
    titlePrefix_ = prefix;
    updateTitle();
}

void ChildFrame::updateTitle() {
    const QString title = titlePrefix_ + doc_->title();
    setWindowTitle(titleNumber_ > 0 ? QStringLiteral("%1:%2").arg(title).arg(titleNumber_) : title);
}

bool ChildFrame::documentShownElsewhere() const {
    QMdiArea* area = mdiArea();
    if (!area)
        return false;
    for (QMdiSubWindow* w : area->subWindowList()) {
        auto* other = qobject_cast<ChildFrame*>(w);
        if (other && other != this && !other->released_ && other->doc_ == doc_)
            return true;
    }
    return false;
}

void ChildFrame::closeEvent(QCloseEvent* event) {
    if (released_) {
        event->accept();
        return;
    }
    if (documentShownElsewhere()) {
        release();
        event->accept();
        return;
    }
    // The last frame goes with the document (closeDocument releases it), never on its own.
    event->ignore();
    DocManager& manager = doc_->manager();
    if (manager.canCloseDocument(doc_))
        manager.closeDocument(doc_);
}

}  // namespace kos
