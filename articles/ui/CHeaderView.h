// The receipt header of an article document as the register prints it: five lines in a box
// 18 "W" wide, aligned left, centred or right. Its commands edit the header, send it to the
// register and read it from there; it prints and previews the same drawing.
#pragma once

#include <QAbstractScrollArea>

#include "articles/ECRHeader.h"
#include "shell/CommandTarget.h"

class QPrinter;

namespace kos {

class ArticleDocument;

// Draws the header at the painter's origin in the painter's font.
void drawHeader(QPainter& painter, const ECRHeader& header);

class CHeaderView : public QAbstractScrollArea, public CommandTarget {
    Q_OBJECT
public:
    CHeaderView(ArticleDocument* doc, QWidget* parent = nullptr);

    void editHeader();
    // The exchanges with the register (menu "Komunikacja").
    void sendHeader();
    void readHeader();
    void print(QPrinter& printer);

    bool updateCommand(int id, CommandState& state) override;
    bool runCommand(int id) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    ArticleDocument* doc_;
};

}  // namespace kos
