// Timings of the record grid: loading a 1000-record reply, one scroll step, and a widget count across a scroll
// through 10,000 records. Prints medians; run by hand.

#include "BenchHeap.h"
#include "grid/TfrmItem.h"
#include "grid/TfrmVGrid.h"
#include "ledger/RecordPageLoader.h"

#include "core/Base64.h"
#include "core/Reply.h"
#include "lists/CategoryList.h"
#include "util/ExeFolder.h"
#include "util/Gbk.h"

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

using namespace lumora;

namespace
{

double ThreadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Median elapsed time in ms; cpu, when given, receives the median CPU time of this thread, which is steadier on a
// shared, busy machine.
double MedianMs(int runs, const std::function<void()> &body, const std::function<void()> &before = {},
                double *cpu = nullptr)
{
    std::vector<double> times;
    std::vector<double> cpuTimes;
    times.reserve(runs);
    for (int i = 0; i < runs; ++i) {
        if (before)
            before();
        const double cpuStart = ThreadCpuMs();
        const auto start = std::chrono::steady_clock::now();
        body();
        const auto end = std::chrono::steady_clock::now();
        cpuTimes.push_back(ThreadCpuMs() - cpuStart);
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    std::sort(cpuTimes.begin(), cpuTimes.end());
    if (cpu)
        *cpu = cpuTimes[cpuTimes.size() / 2];
    return times[times.size() / 2];
}

QString Attr(const char *name, const QString &value)
{
    return QStringLiteral(" %1=\"%2\"").arg(QLatin1String(name), QString::fromLatin1(Base64EncodeLine(ToGbk(value))));
}

QString PageReply(int records)
{
    QString xml = QStringLiteral("<?xml version=\"1.0\"?><root><Result Value=\"1\"/><Data>");
    for (int i = 0; i < records; ++i) {
        xml += QStringLiteral("<row") +
               Attr("id_guid", QStringLiteral("{00000000-0000-0000-0000-%1}").arg(i, 12, 10, QLatin1Char('0'))) +
               Attr("id", QString::number(i)) + Attr("name1", QStringLiteral("午饭%1").arg(i)) +
               Attr("in1", QStringLiteral("0")) + Attr("money1", QStringLiteral("%1.5").arg(i)) +
               Attr("type1", QStringLiteral("餐饮")) + Attr("create_time", QStringLiteral("2015-01-13")) +
               Attr("input_user", QStringLiteral("10.0.0.2")) + Attr("is_lock", QStringLiteral("0")) +
               QStringLiteral("/>");
    }
    xml += QStringLiteral("</Data><Info RecCount=\"%1\" RecCountInPage=\"%1\" CurPage=\"0\"/></root> ").arg(records);
    return xml;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TuneHeapAsTheProgram(app.arguments());
    QTemporaryDir folder;
    SetExeFolder(folder.path() + QLatin1Char('/'));
    CategoryListText = QStringLiteral("餐饮\r\n交通\r\n");

    QWidget window;
    window.resize(900, 12 * 32);
    auto *grid = new TfrmVGrid(&window);
    grid->setGeometry(0, 0, 900, 12 * 32);
    window.show();
    RecordPageLoader loader(grid);

    const QString reply = PageReply(1000);
    // Between two replies the program's event loop runs; so it does here, outside the timing.
    double loadCpu = 0;
    const double load = MedianMs(
        21, [&] { loader.LoadRecordPage(reply); }, [] { QCoreApplication::processEvents(); }, &loadCpu);
    std::printf("load 1000-record reply (parse, RecordList, bind, dumps): median %.3f ms wall, %.3f ms CPU "
                "(target <= 3)\n",
                load, loadCpu);
    // Where the time goes: the XML parse, the GBK decoding of the 9000 row attributes, the two dumps.
    const double parse = MedianMs(21, [&] { ParseReply(reply); });
    const QByteArray gbk = ToGbk(QStringLiteral("午饭"));
    const double decode = MedianMs(5, [&] {
        for (int i = 0; i < 9000; ++i)
            FromGbk(gbk);
    });
    Reply parsed = ParseReply(reply);
    const double debugDump = MedianMs(5, [&] { WriteDebugDump(reply); });
    const double dataDump = MedianMs(5, [&] { WriteDataDump(parsed); });
    std::printf("  of which: XML parse %.3f ms, 9000 FromGbk calls %.3f ms, debug.xml %.3f ms, data.xml %.3f ms\n",
                parse, decode, debugDump, dataDump);

    grid->RecordList.clear();
    TItemInfo info;
    info.name1 = QStringLiteral("午饭");
    info.money1 = QStringLiteral("12.50");
    info.in1 = QStringLiteral("0");
    info.type1 = QStringLiteral("餐饮");
    info.create_time = QStringLiteral("2015-01-13");
    for (int i = 0; i < 10000; ++i) {
        info.id_guid = QString::number(i);
        grid->RecordList.append(info);
    }
    grid->ShowFrom(0);
    int top = 0;
    const double step = MedianMs(2001, [&] { grid->ShowFrom(++top); });
    std::printf("one scroll step (ShowFrom + bind of 31 lines): median %.3f ms (target <= 1)\n", step);

    grid->ShowFrom(0);
    const auto widgets = window.findChildren<QWidget *>().size();
    const auto topLevels = QApplication::topLevelWidgets().size();
    for (int t = 0; t < grid->RecordCount(); ++t)
        grid->ShowFrom(t);
    const auto widgetsAfter = window.findChildren<QWidget *>().size();
    std::printf("widgets before/after scrolling 10,000 records step by step: %lld/%lld (top-level %lld/%lld)\n",
                static_cast<long long>(widgets), static_cast<long long>(widgetsAfter),
                static_cast<long long>(topLevels), static_cast<long long>(QApplication::topLevelWidgets().size()));
    return widgetsAfter == widgets ? 0 : 1;
}
