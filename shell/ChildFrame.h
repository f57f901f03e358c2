// The window of one view onto a document inside the main frame. Closing the document's last
// window closes the document when the document and the user agree; closing one of several
// windows closes only that view.
#pragma once

#include <QMdiSubWindow>

namespace kos {

class CommandTarget;
class UiDocument;

class ChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    // The view is made by the document's template; none when it has no view of that name.
    ChildFrame(UiDocument* doc, const QString& viewName, QWidget* parent = nullptr);

    UiDocument* document() const { return doc_; }
    const QString& viewName() const { return viewName_; }
    bool hasView() const { return widget() != nullptr; }
    // The view as a command target, or none.
    CommandTarget* viewTarget() const;
    // The document has been closed: the frame goes without asking.
    void release();
    bool isReleased() const { return released_; }
    // n > 0 adds ":n" to the title (one of several windows of the document); 0 shows it plain.
    void setTitleNumber(int n);
    // Text put before the document's title in the caption ("ARTYKUŁY - ").
    void setTitlePrefix(const QString& prefix);

Q_SIGNALS:
    // The frame is going (hidden now, deleted from the event loop); wasMaximized tells how it
    // was shown.
    void released(bool wasMaximized);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void updateTitle();
    // Another window of the main frame shows the same document.
    bool documentShownElsewhere() const;

    UiDocument* doc_;
    QString viewName_;
    QString titlePrefix_;
    bool released_ = false;
    int titleNumber_ = 0;
};

}  // namespace kos
