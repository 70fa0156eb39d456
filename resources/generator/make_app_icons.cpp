// Draws the application icon for the desktop's icon theme into FOLDER/hicolor/NxN/apps (resources/icons): the
// window icon's green ledger book with a coin, drawn at each size rather than scaled. Run it by hand after a
// change and commit the PNGs: nothing is drawn at build time.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_app_icons FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        // Drawn on a 24-unit grid, the window icon's; lines keep at least one pixel.
        const qreal unit = size / 24.0;
        const qreal line = std::max<qreal>(1.0, unit);
        p.scale(unit, unit);
        p.setPen(QPen(QColor(20, 90, 50), line / unit));
        p.setBrush(QColor(46, 160, 90));
        p.drawRoundedRect(QRectF(3.5, 2.5, 15, 19), 2, 2);
        p.setPen(QPen(QColor(230, 250, 235), 1.2 * line / unit));
        for (int y = 7; y <= 15; y += 4)
            p.drawLine(QPointF(7, y), QPointF(15, y));
        p.setPen(QPen(QColor(150, 100, 0), line / unit));
        p.setBrush(QColor(255, 200, 40));
        p.drawEllipse(QRectF(12.5, 12.5, 10, 10));
        if (size >= 48) {
            // Big enough for the coin's mark.
            p.setPen(QPen(QColor(150, 100, 0), 1.0));
            p.drawLine(QPointF(15.5, 15.5), QPointF(17.5, 17.5));
            p.drawLine(QPointF(19.5, 15.5), QPointF(17.5, 17.5));
            p.drawLine(QPointF(17.5, 17.5), QPointF(17.5, 20.5));
            p.drawLine(QPointF(15.8, 18.2), QPointF(19.2, 18.2));
        }
        p.end();
        const QString dir = folder + QStringLiteral("/hicolor/%1x%1/apps").arg(size);
        QDir().mkpath(dir);
        if (!image.save(dir + QStringLiteral("/org.lumora.Lumora.png")))
            std::fprintf(stderr, "cannot write the %dx%d icon\n", size, size);
    }
    return 0;
}
