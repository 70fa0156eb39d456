// The query window's records reply of 1000 rows: median time from the reply text to the filled grid and expense
// total (parse, Base64 and GBK decoding, grid cells, total), and of the whole records handler, which also writes
// debug.xml and data.xml. Run: bench_querymore [rounds] [--default-heap]
//
// Thread CPU time is printed beside the wall clock: on a shared machine the wall clock also counts the turns of
// other programs.

#include "BenchHeap.h"
#include "../../tests/reports/tst_querymore_replies.h"

#include "core/HttpThreadControl.h"
#include "core/Reply.h"
#include "reports/QueryReply.h"
#include "reports/TfrmQueryMore.h"
#include "util/ExeFolder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace lumora;
using namespace lumora::test;

namespace
{

QString ThousandRecords()
{
    QStringList rows;
    rows.reserve(1000);
    for (int i = 0; i < 1000; ++i)
        rows << RecordRow(QStringLiteral("午饭 %1 号").arg(i), QString::number(10 + i % 97) + QStringLiteral(".5"),
                          i % 7 == 0 ? QStringLiteral("1") : QStringLiteral("0"),
                          i % 2 ? QStringLiteral("餐饮") : QStringLiteral("交通"),
                          QStringLiteral("2014-03-%1").arg(1 + i % 28, 2, 10, QLatin1Char('0')));
    // The component hands the reply over with one blank appended.
    return ReplyWithRows(rows) + QLatin1Char(' ');
}

double ThreadMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double Median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

struct Samples {
    QList<double> wall, cpu;
    template <typename F> void measure(F &&work)
    {
        QElapsedTimer timer;
        timer.start();
        const double start = ThreadMs();
        work();
        cpu << ThreadMs() - start;
        wall << timer.nsecsElapsed() / 1e6;
    }
    void print(const char *what) const
    {
        std::printf("%-52s median %7.2f ms wall, %7.2f ms thread CPU\n", what, Median(wall), Median(cpu));
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TuneHeapAsTheProgram(app.arguments());
    // An optional number of rounds, beside the heap switch.
    int rounds = 41;
    for (const QString &argument : app.arguments().mid(1)) {
        bool number = false;
        const int value = argument.toInt(&number);
        if (number)
            rounds = std::max(1, value);
    }

    QTemporaryDir dir;
    SetExeFolder(dir.path() + QLatin1Char('/'));
    TfrmQueryMore form(nullptr, [] { return QDate(2014, 3, 15); });
    form.show();
    const QString full = ThousandRecords();
    const QString empty = ReplyWithRows({}) + QLatin1Char(' ');

    Samples fill, handler, debugDump, dataDump;
    for (int round = 0; round < rounds; ++round) {
        // Each round starts from an empty grid, so every cell is made anew, as after a smaller query.
        form.ShowRecords({});
        Reply reply;
        fill.measure([&] {
            reply = ParseReply(full);
            form.ShowRecords(ReadQueryRecords(reply));
        });
        debugDump.measure([&] { WriteDebugDump(full); });
        dataDump.measure([&] { WriteDataDump(reply); });

        form.httpAllData->ResponseText = empty;
        form.httpAllDataHttpData(form.httpAllData);
        form.httpAllData->ResponseText = full;
        handler.measure([&] { form.httpAllDataHttpData(form.httpAllData); });
        app.processEvents(); // paint, as the event loop would between replies
    }

    std::printf("%d rows, expense total %s, %d rounds\n", form.gridHj1->rowCount() - 1,
                qPrintable(form.hj_day_label1->text()), rounds);
    fill.print("reply to grid and total (target <= 15 ms)");
    handler.print("whole records handler, both dumps included");
    debugDump.print("  of which debug.xml");
    dataDump.print("  of which data.xml");
    return 0;
}
