// Draws the skin's pictures into the folder given as the only argument (resources/skin). Run it by hand after a
// change and commit the PNGs: nothing is drawn at build time.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>

namespace
{

QString g_folder;

void save(const QString &name, int w, int h, const std::function<void(QPainter &)> &draw)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    p.end();
    if (!image.save(g_folder + QLatin1Char('/') + name + QLatin1String(".png")))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
}

const QColor kSlate(50, 50, 58);

// Caption buttons: a glyph on a rounded square that lights up when hovered and darkens when pressed.
void captionButton(const QString &name, const std::function<void(QPainter &)> &glyph)
{
    const struct {
        const char *state;
        QColor face;
    } states[] = {{"normal", QColor(0, 0, 0, 0)}, {"over", QColor(255, 255, 255, 60)}, {"down", QColor(0, 0, 0, 90)}};
    for (const auto &s : states) {
        const bool close = name == QLatin1String("close");
        QColor face = s.face;
        if (close && QLatin1String(s.state) != QLatin1String("normal"))
            face = QLatin1String(s.state) == QLatin1String("over") ? QColor(232, 17, 35) : QColor(160, 10, 20);
        save(QLatin1String("caption_") + name + QLatin1Char('_') + QLatin1String(s.state), 17, 17, [&](QPainter &p) {
            p.setPen(Qt::NoPen);
            p.setBrush(face);
            p.drawRoundedRect(QRectF(0.5, 0.5, 16, 16), 3, 3);
            p.setPen(QPen(QColor(235, 235, 240), 1.6, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            glyph(p);
        });
    }
}

void textButton(const QString &state, const QColor &top, const QColor &bottom)
{
    save(QLatin1String("text_button_") + state, 72, 25, [&](QPainter &p) {
        QLinearGradient g(0, 0, 0, 25);
        g.setColorAt(0, top);
        g.setColorAt(1, bottom);
        p.setBrush(g);
        p.setPen(QPen(bottom.darker(130), 1));
        p.drawRoundedRect(QRectF(0.5, 0.5, 71, 24), 4, 4);
    });
}

void arrow(const QString &name, bool up)
{
    save(name, 19, 19, [&](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 60, 68));
        p.drawRect(0, 0, 19, 19);
        p.setBrush(QColor(180, 180, 190));
        QPainterPath path;
        if (up) {
            path.moveTo(9.5, 6);
            path.lineTo(14.5, 12);
            path.lineTo(4.5, 12);
        } else {
            path.moveTo(9.5, 13);
            path.lineTo(14.5, 7);
            path.lineTo(4.5, 7);
        }
        path.closeSubpath();
        p.drawPath(path);
    });
}

// Small flat buttons of the bottom bar: a blue glyph alone, on a pale tile when hovered, a deeper one when pressed.
void barButton(const QString &name, const std::function<void(QPainter &)> &glyph)
{
    const struct {
        const char *state;
        QColor tile;
        QColor edge;
    } states[] = {{"normal", QColor(0, 0, 0, 0), QColor(0, 0, 0, 0)},
                  {"over", QColor(222, 234, 250), QColor(157, 188, 232)},
                  {"down", QColor(196, 216, 242), QColor(120, 160, 220)}};
    for (const auto &s : states) {
        save(QLatin1String("bar_") + name + QLatin1Char('_') + QLatin1String(s.state), 18, 17, [&](QPainter &p) {
            p.setPen(QPen(s.edge, 1));
            p.setBrush(s.tile);
            p.drawRoundedRect(QRectF(0.5, 0.5, 17, 16), 3, 3);
            p.setPen(QPen(QColor(35, 110, 212), 1.2)); // the bar's link blue
            p.setBrush(Qt::NoBrush);
            glyph(p);
        });
    }
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_skin_images FOLDER\n");
        return 2;
    }
    g_folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_folder);

    // Caption bar: end caps with rounded outer corners and the body fill, all dark slate with a light top edge.
    auto captionCap = [](QPainter &p, qreal x) {
        QLinearGradient g(0, 0, 0, 35);
        g.setColorAt(0, kSlate.lighter(135));
        g.setColorAt(1, kSlate);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(QRectF(x, 0, 24, 45), 6, 6); // the image cuts off the round corners but the outer top one
    };
    save(QStringLiteral("caption_left"), 14, 35, [&](QPainter &p) { captionCap(p, 0); });
    save(QStringLiteral("caption_right"), 14, 35, [&](QPainter &p) { captionCap(p, -10); });
    save(QStringLiteral("caption_fill"), 23, 35, [&](QPainter &p) {
        QLinearGradient g(0, 0, 0, 35);
        g.setColorAt(0, kSlate.lighter(135));
        g.setColorAt(1, kSlate);
        p.fillRect(0, 0, 23, 35, g);
    });

    // Window icon: a small green ledger book with a coin.
    save(QStringLiteral("app_icon"), 24, 24, [](QPainter &p) {
        p.setPen(QPen(QColor(20, 90, 50), 1));
        p.setBrush(QColor(46, 160, 90));
        p.drawRoundedRect(QRectF(3.5, 2.5, 15, 19), 2, 2);
        p.setPen(QPen(QColor(230, 250, 235), 1.2));
        for (int y = 7; y <= 15; y += 4)
            p.drawLine(QPointF(7, y), QPointF(15, y));
        p.setPen(QPen(QColor(150, 100, 0), 1));
        p.setBrush(QColor(255, 200, 40));
        p.drawEllipse(QRectF(12.5, 12.5, 10, 10));
    });

    captionButton(QStringLiteral("min"), [](QPainter &p) { p.drawLine(QPointF(4.5, 11.5), QPointF(12.5, 11.5)); });
    captionButton(QStringLiteral("max"), [](QPainter &p) { p.drawRect(QRectF(4.5, 4.5, 8, 8)); });
    captionButton(QStringLiteral("close"), [](QPainter &p) {
        p.drawLine(QPointF(5, 5), QPointF(12, 12));
        p.drawLine(QPointF(12, 5), QPointF(5, 12));
    });

    textButton(QStringLiteral("normal"), QColor(255, 150, 50), QColor(235, 110, 10));
    textButton(QStringLiteral("over"), QColor(255, 175, 90), QColor(245, 130, 30));
    textButton(QStringLiteral("down"), QColor(215, 95, 5), QColor(235, 120, 25));

    arrow(QStringLiteral("scroll_up"), true);
    arrow(QStringLiteral("scroll_down"), false);
    save(QStringLiteral("scroll_thumb"), 19, 40, [](QPainter &p) {
        p.setPen(QPen(QColor(120, 120, 130), 1));
        p.setBrush(QColor(150, 150, 160));
        p.drawRoundedRect(QRectF(3.5, 0.5, 12, 39), 5, 5);
        p.setPen(QPen(QColor(90, 90, 100), 1));
        for (int y = 16; y <= 24; y += 4)
            p.drawLine(QPointF(7, y + 0.5), QPointF(12, y + 0.5));
    });

    // Bottom bar: the menu of views, the month view, the newest records.
    barButton(QStringLiteral("more"), [](QPainter &p) {
        p.setBrush(p.pen().color());
        QPainterPath path;
        path.moveTo(4.5, 6.5);
        path.lineTo(13.5, 6.5);
        path.lineTo(9, 11.5);
        path.closeSubpath();
        p.drawPath(path);
    });
    barButton(QStringLiteral("month"), [](QPainter &p) {
        p.drawRoundedRect(QRectF(3.5, 4.5, 11, 9), 1, 1);
        p.fillRect(QRectF(4, 5, 10, 2.5), p.pen().color());
        p.drawLine(QPointF(6.5, 2.5), QPointF(6.5, 5));
        p.drawLine(QPointF(11.5, 2.5), QPointF(11.5, 5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(35, 110, 212));
        for (int row = 0; row < 2; ++row)
            for (int col = 0; col < 3; ++col)
                p.drawRect(QRectF(5.5 + col * 2.5, 8.5 + row * 2.5, 1.5, 1.5));
    });
    barButton(QStringLiteral("last50"), [](QPainter &p) {
        // A short list, its newest line on top in bold.
        for (int i = 0; i < 3; ++i) {
            const qreal y = 4.5 + i * 4;
            p.setPen(QPen(QColor(35, 110, 212), i == 0 ? 2.2 : 1.2, Qt::SolidLine, Qt::RoundCap));
            p.drawPoint(QPointF(4.5, y));
            p.drawLine(QPointF(7.5, y), QPointF(14, y));
        }
    });

    // Toolbar icons.
    save(QStringLiteral("icon_delete"), 24, 24, [](QPainter &p) {
        p.setPen(QPen(QColor(150, 30, 30), 1));
        p.setBrush(QColor(215, 60, 50));
        p.drawRoundedRect(QRectF(5.5, 6.5, 13, 15), 2, 2);
        p.drawRect(QRectF(3.5, 3.5, 17, 3));
        p.setPen(QPen(QColor(255, 225, 220), 1.4));
        for (int x = 9; x <= 15; x += 3)
            p.drawLine(QPointF(x, 9.5), QPointF(x, 18.5));
    });
    save(QStringLiteral("icon_add"), 24, 24, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(46, 140, 220));
        p.drawEllipse(QRectF(2, 2, 20, 20));
        p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 7), QPointF(12, 17));
        p.drawLine(QPointF(7, 12), QPointF(17, 12));
    });
    save(QStringLiteral("icon_ledger"), 40, 36, [](QPainter &p) {
        p.setPen(QPen(QColor(20, 90, 50), 1.5));
        p.setBrush(QColor(46, 160, 90));
        p.drawRoundedRect(QRectF(6, 3, 24, 30), 3, 3);
        p.setPen(QPen(QColor(230, 250, 235), 2));
        for (int y = 11; y <= 25; y += 7)
            p.drawLine(QPointF(11, y), QPointF(25, y));
        p.setPen(QPen(QColor(150, 100, 0), 1.5));
        p.setBrush(QColor(255, 200, 40));
        p.drawEllipse(QRectF(21, 19, 15, 15));
    });
    return 0;
}
