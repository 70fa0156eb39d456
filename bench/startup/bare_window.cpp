// The yardstick of the start-up benchmark: a bare Qt window with a table of 50 rows of Chinese text.
#include <QApplication>
#include <QHeaderView>
#include <QTableWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTableWidget table(50, 3);
    table.setWindowTitle(QStringLiteral("请输入口令"));
    table.setHorizontalHeaderLabels({QStringLiteral("名称"), QStringLiteral("金额"), QStringLiteral("类别")});
    for (int row = 0; row < 50; ++row) {
        table.setItem(row, 0, new QTableWidgetItem(QStringLiteral("午餐 第%1笔").arg(row + 1)));
        table.setItem(row, 1, new QTableWidgetItem(QString::number(12.5 + row, 'f', 2)));
        table.setItem(row, 2, new QTableWidgetItem(QStringLiteral("餐饮")));
    }
    table.resize(420, 320);
    table.show();
    return app.exec();
}
