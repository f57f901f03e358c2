// The window of one view onto a document inside the main frame. Closing it closes the document
// when the document and the user agree.
#pragma once

#include <QMdiSubWindow>

namespace kos {

class CommandTarget;
class UiDocument;

class ChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit ChildFrame(UiDocument* doc, QWidget* parent = nullptr);

    UiDocument* document() const { return doc_; }
    // The view as a command target, or none.
    CommandTarget* viewTarget() const;
    // The document has been closed: the frame goes without asking.
    void release();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void updateTitle();

    UiDocument* doc_;
    bool released_ = false;
};

}  // namespace kos
