// The owner-drawn list base of the article views: rows of fixed height drawn by our own rules
// (selection colours, text cut with "...", focus rectangle) and printing of the list in pages
// with a title, " strona %d/%d", column headers and rules.
#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QTableView>
#include <vector>

#include "shell/CommandTarget.h"

class QPrinter;
class QPaintDevice;

namespace kos {

// Text that does not fit `width` minus `margin` loses characters at its end until the rest
// followed by "..." fits; text that fits is returned unchanged.
QString cutText(const QFontMetrics& metrics, const QString& text, int width, int margin);

// Left margin plus right margin of a cell's text: the first column has less.
inline int cellTextMargin(int column) {
    return column == 0 ? 4 : 12;
}

// Everything one print job needs, computed once per job.
struct ListPrintJob {
    QFont font;
    int lineHeight = 0;  // character height plus external leading
    int charWidth = 0;   // average character width
    int linesPerPage = 0;
    int pageCount = 1;
    int pageWidth = 0;
    QList<int> rows;  // the rows to print, in list order
};

class CListViewEx : public QTableView, public CommandTarget {
    Q_OBJECT
public:
    explicit CListViewEx(QWidget* parent = nullptr);

    bool fullRowSelection() const { return fullRowSelection_; }
    // Repaints the rows when switched.
    void setFullRowSelection(bool on);
    bool clientWidthSelection() const { return clientWidthSelection_; }
    void setClientWidthSelection(bool on);
    // Selected rows are drawn highlighted also without the focus.
    void setShowSelectionAlways(bool on);
    // The row under a drag, drawn as selected; -1 for none.
    void setDropHighlightRow(int row);

    QColor textColor() const { return textColor_; }
    void setTextColor(const QColor& c);
    QColor textBkColor() const { return textBkColor_; }
    void setTextBkColor(const QColor& c);
    QColor bkColor() const { return bkColor_; }
    void setBkColor(const QColor& c);

    // Whether a row is drawn as selected now.
    bool rowSelectedForDrawing(int row) const;
    int clientWidth() const { return clientWidth_; }
    int stateImageOffset() const { return stateImageOffset_; }

    // Width of each column on paper, in characters; set by the deriving view.
    void setColumnPrintWidths(std::vector<int> widths) { printWidths_ = std::move(widths); }
    int columnPrintWidth(int column) const;
    // The title on every page: the caption of the view's frame window.
    virtual QString printTitle() const;

    ListPrintJob beginPrinting(QPaintDevice& device, bool selectionOnly) const;
    // Draws page `page` (1-based) of the job.
    void printPage(QPainter& painter, const ListPrintJob& job, int page) const;
    // Prints every page of a job on the printer.
    void print(QPrinter& printer, bool selectionOnly) const;

    bool updateCommand(int id, CommandState& state) override;
    bool runCommand(int id) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void filePrint();
    void filePrintPreview();
    void applyBackground();

    bool fullRowSelection_ = false;
    bool clientWidthSelection_ = true;
    bool showSelectionAlways_ = false;
    int dropHighlightRow_ = -1;
    int clientWidth_ = 0;
    int stateImageOffset_ = 0;
    QColor textColor_;
    QColor textBkColor_;
    QColor bkColor_;
    std::vector<int> printWidths_;
};

}  // namespace kos
