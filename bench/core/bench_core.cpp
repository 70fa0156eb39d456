// Median timings of the client core's hot paths; run by hand, not by CTest.
#include "BenchHeap.h"
#include "core/Base64.h"
#include "core/HttpThreadControl.h"
#include "core/ItemInfo.h"
#include "core/Reply.h"
#include "core/Session.h"

#include "util/Gbk.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace lumora;

namespace
{
QString b64(const QString &text)
{
    return QString::fromLatin1(Base64EncodeLine(ToGbk(text)));
}

// A page reply of rows as the service sends it: GBK bytes, every row attribute Base64.
QByteArray recordReply(int rows)
{
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"gbk\"?>\r\n<root>\r\n<Result Value=\"1\"/>\r\n"
                                 "<Info RecCount=\"%1\" RecCountInPage=\"%1\" CurPage=\"0\"/>\r\n<Data>\r\n")
                      .arg(rows);
    for (int i = 0; i < rows; ++i) {
        xml +=
            QStringLiteral("<Row id_guid=\"%1\" id=\"%2\" name1=\"%3\" in1=\"%4\" money1=\"%5\" type1=\"%6\" "
                           "create_time=\"%7\" input_user=\"%8\" is_lock=\"%9\"/>\r\n")
                .arg(b64(QStringLiteral("{6F9619FF-8B86-D011-B42D-00C04FC9%1}").arg(i, 4, 10, QLatin1Char('0'))),
                     b64(QString::number(100000 + i)), b64(QStringLiteral("午饭和晚饭 %1").arg(i)),
                     b64(QStringLiteral("0")), b64(QStringLiteral("%1.50").arg(i % 500)), b64(QStringLiteral("餐饮")),
                     b64(QStringLiteral("2009-01-%1").arg(i % 28 + 1, 2, 10, QLatin1Char('0'))),
                     b64(QStringLiteral("192.168.0.2")), b64(QStringLiteral("0")));
    }
    xml += QStringLiteral("</Data>\r\n</root>\r\n");
    return ToGbk(xml);
}

double threadCpuMicros()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
}

struct Figures {
    double wall = 0; // median elapsed time
    double cpu = 0;  // median CPU time of this thread: steadier on a shared, busy machine
};

template <typename F> Figures median(int runs, F &&body)
{
    std::vector<double> wall;
    std::vector<double> cpu;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        const double cpuStart = threadCpuMicros();
        timer.start();
        body();
        wall.push_back(timer.nsecsElapsed() / 1000.0);
        cpu.push_back(threadCpuMicros() - cpuStart);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    TuneHeapAsTheProgram(app.arguments());

    const QByteArray reply = recordReply(1000);
    QList<TItemInfo> records;
    const Figures parse = median(51, [&]() {
        // What a page handler does: decode the GBK body, parse, take over every row.
        const Reply r = ParseReply(FromGbk(reply) + QLatin1Char(' '));
        const QList<pugi::xml_node> rows = ReplyRows(r);
        records.clear();
        records.reserve(rows.size());
        for (const pugi::xml_node &row : rows) {
            TItemInfo info;
            ReadRecordRow(row, info);
            records.append(info);
        }
        PageInfo page;
        ReadPageInfo(r, page);
    });
    if (records.size() != 1000 || records.last().name1 != QStringLiteral("午饭和晚饭 999"))
        return 1;
    std::printf("parse 1000-row record reply (%lld bytes): median %.0f us wall, %.0f us CPU (target <= 1500 us)\n",
                static_cast<long long>(reply.size()), parse.wall, parse.cpu);
    // Where the time goes: building the document that the dumps need, and taking the rows over.
    const QString text = FromGbk(reply);
    Reply parsed;
    const Figures dom = median(21, [&]() { parsed = ParseReply(text); });
    const Figures take = median(21, [&]() {
        for (const pugi::xml_node &row : ReplyRows(parsed)) {
            TItemInfo info;
            ReadRecordRow(row, info);
        }
    });
    QString decoded;
    const Figures decode = median(21, [&]() { decoded = FromGbk(reply) + QLatin1Char(' '); });
    std::printf("  of which GBK decode: %.0f us CPU, document: %.0f us CPU, rows into TItemInfo: %.0f us CPU\n",
                decode.cpu, dom.cpu, take.cpu);

    SessionUser = QStringLiteral("张三");
    SessionPassword = QStringLiteral("secret pass");
    SessionInputUser = QStringLiteral("192.168.0.2");
    const QString lines =
        SessionBlock() + QStringLiteral("action=add\r\nid_guid={6F9619FF-8B86-D011-B42D-00C04FC964FF}"
                                        "\r\nname1=午饭 & 咖啡\r\nin1=0\r\nmoney1=25.50\r\ntype1=餐饮\r\n"
                                        "create_time=2009-01-05\r\nyear1=2009\r\nmonth1=1\r\nday1=5\r\n"
                                        "input_user=192.168.0.2\r\nuser_name=张三\r\n");
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QByteArray body;
    const Figures encode = median(2001, [&]() {
        QStringList split = lines.split(lineBreak);
        split.removeLast();
        body = THttpThreadControl::EncodeFormBody(split);
    });
    std::printf("encode a full save body (%lld bytes): median %.1f us wall, %.1f us CPU (target <= 20 us)\n",
                static_cast<long long>(body.size()), encode.wall, encode.cpu);
    return 0;
}
