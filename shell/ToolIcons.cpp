#include "shell/ToolIcons.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

#include "shell/Commands.h"

namespace kos {

namespace {

QPixmap blank() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    return pm;
}

QIcon drawn(void (*draw)(QPainter&)) {
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    p.end();
    return QIcon(pm);
}

// Off: a grey plug; on (checked): a green one.
QIcon onlineIcon() {
    QIcon icon;
    for (bool on : {false, true}) {
        QPixmap pm = blank();
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor c = on ? QColor(0, 150, 0) : QColor(110, 110, 110);
        p.setPen(QPen(c, 2));
        p.drawLine(5, 1, 5, 5);
        p.drawLine(11, 1, 11, 5);
        p.setBrush(c);
        p.drawRoundedRect(QRectF(2.5, 5, 11, 5), 1.5, 1.5);
        p.drawLine(8, 10, 8, 15);
        p.end();
        icon.addPixmap(pm, QIcon::Normal, on ? QIcon::On : QIcon::Off);
    }
    return icon;
}

}  // namespace

QIcon toolIcon(int commandId) {
    QStyle* style = QApplication::style();
    switch (commandId) {
        case cmd::FILE_NEW:
            return style->standardIcon(QStyle::SP_FileIcon);
        case cmd::FILE_OPEN:
            return style->standardIcon(QStyle::SP_DialogOpenButton);
        case cmd::FILE_SAVE:
            return style->standardIcon(QStyle::SP_DialogSaveButton);
        case cmd::ADD:
            return drawn([](QPainter& p) {
                p.setPen(QPen(QColor(0, 120, 0), 3));
                p.drawLine(8, 2, 8, 14);
                p.drawLine(2, 8, 14, 8);
            });
        case cmd::DELETE:
            return drawn([](QPainter& p) {
                p.setPen(QPen(QColor(190, 0, 0), 3));
                p.drawLine(3, 3, 13, 13);
                p.drawLine(13, 3, 3, 13);
            });
        case cmd::ONLINE_TOGGLE:
            return onlineIcon();
    }
    return {};
}

QIcon appIcon() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 60, 120));
    p.drawRoundedRect(QRectF(2, 12, 28, 18), 3, 3);  // body
    p.drawRect(QRectF(8, 4, 16, 9));                 // display housing
    p.setBrush(QColor(120, 220, 120));
    p.drawRect(QRectF(10, 6, 12, 5));  // display
    p.setBrush(Qt::white);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 4; ++col)
            p.drawRect(QRectF(6 + col * 6, 16 + row * 6, 4, 4));  // keys
    p.end();
    return QIcon(pm);
}

}  // namespace kos
