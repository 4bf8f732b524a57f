#include "shell/ProgramIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

QIcon ProgramIcon()
{
    // Drawn at the sizes window managers and the about box ask for, so that no
    // image plugin is needed at run time.
    static const QIcon icon = [] {
        QIcon drawn;
        QSvgRenderer renderer(QStringLiteral(":/icons/keld32.svg"));
        if (!renderer.isValid())
            return drawn;
        for (int size : {16, 24, 32, 48, 64, 128, 256}) {
            QPixmap picture(size, size);
            picture.fill(Qt::transparent);
            QPainter painter(&picture);
            painter.setRenderHint(QPainter::Antialiasing);
            renderer.render(&painter);
            painter.end();
            drawn.addPixmap(picture);
        }
        return drawn;
    }();
    return icon;
}
