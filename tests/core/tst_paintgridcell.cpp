#include "core/PaintGridCell.h"

#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QTableWidget>
#include <QTest>

using namespace lumora;

class TestPaintGridCell : public QObject
{
    Q_OBJECT
private slots:
    void headerRowIsFilledAndFramed();
    void dataCellKeepsBackground();
    void firstColumnGetsLeftLine();
    void longTextWrapsOnlyInDataRows();
    void delegatePaintsTheGrid();

private:
    static QImage paintCell(QTableWidget &grid, int column, int row, const QRect &rect);
    static std::unique_ptr<QTableWidget> makeGrid();
};

std::unique_ptr<QTableWidget> TestPaintGridCell::makeGrid()
{
    auto grid = std::make_unique<QTableWidget>(3, 3);
    QPalette p = grid->palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::WindowText, Qt::black);
    p.setColor(QPalette::Text, Qt::blue);
    grid->setPalette(p);
    grid->setItem(0, 1, new QTableWidgetItem(QStringLiteral("支出")));
    grid->setItem(1, 1, new QTableWidgetItem(QStringLiteral("12.50")));
    return grid;
}

QImage TestPaintGridCell::paintCell(QTableWidget &grid, int column, int row, const QRect &rect)
{
    QImage image(100, 60, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter painter(&image);
    PaintGridCell(&painter, &grid, column, row, rect, false);
    return image;
}

void TestPaintGridCell::headerRowIsFilledAndFramed()
{
    auto grid = makeGrid();
    const QRect cell(10, 10, 40, 20); // right edge at x = 49, bottom at y = 29
    const QImage image = paintCell(*grid, 1, 0, cell);

    QCOMPARE(image.pixelColor(12, 12), QColor(0xF9, 0xF9, 0xF9)); // filled
    QCOMPARE(image.pixelColor(30, 10), QColor(Qt::black));        // top line
    QCOMPARE(image.pixelColor(50, 20), QColor(Qt::black));        // right line, one pixel wider
    QCOMPARE(image.pixelColor(30, 30), QColor(Qt::black));        // bottom line, one pixel lower
    QCOMPARE(image.pixelColor(60, 20), QColor(Qt::red));          // nothing outside
}

void TestPaintGridCell::dataCellKeepsBackground()
{
    auto grid = makeGrid();
    const QImage image = paintCell(*grid, 1, 1, QRect(10, 10, 40, 20));
    QCOMPARE(image.pixelColor(11, 11), QColor(Qt::white));
    QCOMPARE(image.pixelColor(50, 20), QColor(Qt::red)); // no widening
}

void TestPaintGridCell::firstColumnGetsLeftLine()
{
    auto grid = makeGrid();
    const QImage image = paintCell(*grid, 0, 1, QRect(10, 10, 40, 20));
    QCOMPARE(image.pixelColor(10, 15), QColor(Qt::black));
    QCOMPARE(image.pixelColor(10, 30), QColor(Qt::black)); // widened one pixel down
}

void TestPaintGridCell::longTextWrapsOnlyInDataRows()
{
    auto grid = makeGrid();
    const QString longText = QStringLiteral("one two three four five six");
    grid->setItem(1, 2, new QTableWidgetItem(longText));
    grid->setItem(0, 2, new QTableWidgetItem(longText));
    const QRect narrow(0, 0, 40, 60);

    auto textRows = [&](int row) {
        const QImage image = paintCell(*grid, 2, row, narrow);
        int rows = 0;
        bool inText = false;
        for (int y = 0; y < 60; ++y) {
            bool hasText = false;
            for (int x = 1; x < 39 && !hasText; ++x)
                hasText = image.pixelColor(x, y) == QColor(Qt::blue) ||
                          (image.pixelColor(x, y).blue() > 200 && image.pixelColor(x, y).red() < 100);
            if (hasText && !inText)
                ++rows;
            inText = hasText;
        }
        return rows;
    };
    QVERIFY(textRows(1) >= 2); // wrapped
    QCOMPARE(textRows(0), 1);  // header stays one line
}

void TestPaintGridCell::delegatePaintsTheGrid()
{
    auto grid = makeGrid();
    grid->setItemDelegate(new GridCellDelegate(grid.get()));
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->resize(300, 200);
    const QImage shot = grid->grab().toImage();
    const QRect header = grid->visualRect(grid->model()->index(0, 1));
    QCOMPARE(shot.pixelColor(header.left() + 3, header.top() + 3), QColor(0xF9, 0xF9, 0xF9));
}

QTEST_MAIN(TestPaintGridCell)
#include "tst_paintgridcell.moc"
