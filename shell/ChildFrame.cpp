#include "shell/ChildFrame.h"

#include <QCloseEvent>

#include "shell/DocManager.h"
#include "shell/ToolIcons.h"
#include "shell/UiDocument.h"

namespace kos {

ChildFrame::ChildFrame(UiDocument* doc, QWidget* parent) : QMdiSubWindow(parent), doc_(doc) {
    setWidget(doc->createView(this));
    setWindowIcon(appIcon());
    connect(doc, &UiDocument::titleChanged, this, &ChildFrame::updateTitle);
    updateTitle();
}

CommandTarget* ChildFrame::viewTarget() const {
    return dynamic_cast<CommandTarget*>(widget());
}

void ChildFrame::release() {
    released_ = true;
    hide();
    deleteLater();
}

void ChildFrame::updateTitle() {
    setWindowTitle(doc_->title());
}

void ChildFrame::closeEvent(QCloseEvent* event) {
    if (released_) {
        event->accept();
        return;
    }
    // The frame goes with the document (closeDocument releases it), never on its own.
    event->ignore();
    DocManager& manager = doc_->manager();
    if (manager.canCloseDocument(doc_))
        manager.closeDocument(doc_);
}

}  // namespace kos
