#include "core/HttpThread.h"
#include "core/HttpThreadControl.h"
#include "core/NetSta.h"
#include "core/Reply.h"

#include "support/LoopbackHttpServer.h"

#include <QTest>
#include <QTimer>

#include <memory>

using namespace lumora;
using lumora::test::CannedResponse;
using lumora::test::LoopbackHttpServer;
using Mode = CannedResponse::Mode;

namespace
{
// Counts what a component raised.
struct Outcomes {
    QStringList data;   // ResponseText at each OnHttpData
    QStringList errors; // err at each OnHttpError
    void attach(THttpThreadControl &c)
    {
        c.OnHttpData = [this](THttpThreadControl *self) { data.append(self->ResponseText); };
        c.OnHttpError = [this](THttpThreadControl *, const QString &err) { errors.append(err); };
    }
    int total() const { return int(data.size() + errors.size()); }
};
} // namespace

class TestHttpThreadControl : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void wireBytesAndHeaders();
    void replyGetsOneBlank();
    void replyIsDecodedFromGbk();
    void redirectIsFollowed();
    void imageGetFillsResponseStream();
    void slowReplyWithinInactivityTimeout();
    void failures_data();
    void failures();
    void twoPostsDeliverInFinishOrder();
    void destroyedWhileInFlightRaisesNothing();
    void handlerExceptionBecomesError_data();
    void handlerExceptionBecomesError();
    void oversizedReplyFailsWithoutFreezing_data();
    void oversizedReplyFailsWithoutFreezing();
    void firstReplyHidesBusy();

private:
    std::unique_ptr<LoopbackHttpServer> server;
};

void TestHttpThreadControl::init()
{
    server = std::make_unique<LoopbackHttpServer>();
    QVERIFY(server->listen());
}

void TestHttpThreadControl::cleanup()
{
    // Every worker ends and frees itself, whatever the test did to its component.
    QTRY_COMPARE_WITH_TIMEOUT(THttpThread::LiveCount(), 0, 20000);
    server.reset();
    HideBusy();
}

void TestHttpThreadControl::wireBytesAndHeaders()
{
    THttpThreadControl http;
    Outcomes out;
    out.attach(http);

    http.Post(
        server->url("ms/kessum/kessum_sqlite_post.php"),
        QStringLiteral("action=data\r\npage=0\r\nname1=a&b=c+d%e f\r\ntype1=餐饮\r\nmini_money=\r\nnoequals\r\n"));

    QTRY_COMPARE(out.total(), 1);
    QCOMPARE(server->requestCount(), 1);
    const auto request = server->requests().first();
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.path, QByteArray("/ms/kessum/kessum_sqlite_post.php"));
    QCOMPARE(request.body, QByteArray("action=data&page=0&name1=a%26b%3Dc%2Bd%25e+f&type1=%B2%CD%D2%FB&mini_money=&"
                                      "noequals&"));
    QCOMPARE(request.header("Content-Type"), QByteArray("application/x-www-form-urlencoded; charset=gbk"));
    QCOMPARE(request.header("User-Agent"),
             QByteArray("Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 6.1; Trident/4.0; SLCC2; .NET CLR 2.0.50727)"));
    QCOMPARE(http.PostLines.size(), 6);
    QCOMPARE(http.RequestType, htPost);
}

void TestHttpThreadControl::replyGetsOneBlank()
{
    server->enqueue(CannedResponse::text("abc"));
    THttpThreadControl http;
    Outcomes out;
    out.attach(http);

    http.Post(server->url("a.php"), "a=1");
    QCOMPARE(http.InFlight.size(), 1);

    QTRY_COMPARE(out.data.size(), 1);
    QCOMPARE(out.data.first(), QStringLiteral("abc "));
    QCOMPARE(http.ResponseText, QStringLiteral("abc "));
    QTRY_VERIFY(http.InFlight.isEmpty());
    QVERIFY(out.errors.isEmpty());
    QCOMPARE(server->requests().first().body, QByteArray("a=1"));
}

void TestHttpThreadControl::replyIsDecodedFromGbk()
{
    server->enqueue(CannedResponse::text(QStringLiteral("<r><Result Value=\"1\" n=\"餐饮\"/></r>")));
    THttpThreadControl http;
    Outcomes out;
    out.attach(http);

    http.Post(server->url("a.php"), "a=1");

    QTRY_COMPARE(out.data.size(), 1);
    QCOMPARE(out.data.first(), QStringLiteral("<r><Result Value=\"1\" n=\"餐饮\"/></r> "));
}

void TestHttpThreadControl::redirectIsFollowed()
{
    CannedResponse moved;
    moved.status = 302;
    moved.headers.append({"Location", server->url("there.php").toLatin1()});
    server->enqueue(moved);
    server->enqueue(CannedResponse::text("here"));
    THttpThreadControl http;
    Outcomes out;
    out.attach(http);

    http.Post(server->url("first.php"), "a=1");

    QTRY_COMPARE(out.data.size(), 1);
    QCOMPARE(out.data.first(), QStringLiteral("here "));
    QCOMPARE(server->requestCount(), 2);
    QCOMPARE(server->requests().at(1).path, QByteArray("/there.php"));
}

void TestHttpThreadControl::imageGetFillsResponseStream()
{
    const QByteArray png("\x89PNG\r\n\x1a\n\0\xff", 10);
    server->enqueue(CannedResponse::bytes(png));
    THttpThreadControl http;
    Outcomes out;
    out.attach(http);

    http.Url = server->url("logo.png");
    http.RequestType = htGetImg;
    http.Start();

    QTRY_COMPARE(out.data.size(), 1);
    QCOMPARE(http.ResponseStream, png);
    QCOMPARE(server->requests().first().method, QByteArray("GET"));
    QVERIFY(server->requests().first().body.isEmpty());
}

void TestHttpThreadControl::slowReplyWithinInactivityTimeout()
{
    // The whole reply takes far longer than the time-out, but bytes keep coming.
    CannedResponse slow = CannedResponse::text(QString(60, QLatin1Char('s')));
    slow.mode = Mode::SlowBytes;
    slow.slowIntervalMs = 25; // 1.5 s in all, far apart from the time-out either way
    server->enqueue(slow);
    THttpThreadControl http;
    http.ReadTimeout = 1000;
    Outcomes out;
    out.attach(http);

    http.Post(server->url("a.php"), "a=1");

    QTRY_COMPARE_WITH_TIMEOUT(out.total(), 1, 15000);
    QCOMPARE(out.errors, QStringList());
    QCOMPARE(out.data.first(), QString(60, QLatin1Char('s')) + QLatin1Char(' '));
}

void TestHttpThreadControl::failures_data()
{
    QTest::addColumn<int>("mode"); // -1: connection refused
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("expected"); // exact err, or empty: any message

    QTest::newRow("connection refused") << -1 << 0 << QString();
    QTest::newRow("404") << int(Mode::Normal) << 404 << QStringLiteral("HTTP/1.1 404 Not Found  ");
    QTest::newRow("500") << int(Mode::Normal) << 500 << QStringLiteral("HTTP/1.1 500 Internal Server Error  ");
    QTest::newRow("read time-out") << int(Mode::NeverAnswer) << 200 << QStringLiteral("Read timed out.  ");
    QTest::newRow("closed mid-reply") << int(Mode::CloseMidReply) << 200 << QString();
    QTest::newRow("redirect loop") << int(Mode::RedirectLoop) << 200 << QString();
    QTest::newRow("closed before the reply") << int(Mode::CloseAtOnce) << 200 << QString();
}

void TestHttpThreadControl::failures()
{
    QFETCH(int, mode);
    QFETCH(int, status);
    QFETCH(QString, expected);

    QString url = server->url("a.php");
    if (mode < 0) {
        url = QStringLiteral("http://127.0.0.1:%1/a.php").arg(lumora::test::ClosedLoopbackPort());
    } else {
        CannedResponse r = CannedResponse::text("body", status);
        r.mode = Mode(mode);
        server->enqueue(r);
    }
    THttpThreadControl http;
    http.ReadTimeout = 300;
    Outcomes out;
    out.attach(http);

    http.Post(url, "a=1");

    QTRY_COMPARE_WITH_TIMEOUT(out.total(), 1, 15000);
    QCOMPARE(out.errors.size(), 1);
    const QString err = out.errors.first();
    QVERIFY2(err.endsWith(QLatin1String("  ")) && !err.endsWith(QLatin1String("   ")) && err.trimmed().size() > 0,
             qPrintable(err));
    if (!expected.isEmpty())
        QCOMPARE(err, expected);
    QCOMPARE(http.ErrorText, err);
    QTRY_VERIFY(http.InFlight.isEmpty());
    if (mode == int(Mode::RedirectLoop))
        QVERIFY(server->requestCount() >= 16); // the first request and 15 redirects
    else if (mode >= 0)
        QCOMPARE(server->requestCount(), 1); // no retry: a save sent twice would be stored twice
    QTest::qWait(0);
    QCOMPARE(out.total(), 1); // raised once
}

void TestHttpThreadControl::twoPostsDeliverInFinishOrder()
{
    server->setHandler([](const test::RecordedRequest &request) {
        CannedResponse r = CannedResponse::text(QString::fromLatin1(request.body));
        if (request.body == "n=first")
            r.mode = Mode::Held;
        return r;
    });
    THttpThreadControl http;
    Outcomes out;
    out.attach(http);

    http.Post(server->url("a.php"), "n=first");
    QTRY_COMPARE(server->heldCount(), 1);
    http.Post(server->url("a.php"), "n=second");
    QCOMPARE(http.InFlight.size(), 2);
    QTRY_COMPARE(out.data.size(), 1);
    QCOMPARE(server->releaseHeld(), 1);

    QTRY_COMPARE(out.data.size(), 2);
    QCOMPARE(out.data, QStringList({"n=second ", "n=first "}));
    QCOMPARE(http.ResponseText, QStringLiteral("n=first "));
    QTRY_VERIFY(http.InFlight.isEmpty());
}

void TestHttpThreadControl::destroyedWhileInFlightRaisesNothing()
{
    server->setHandler([](const test::RecordedRequest &request) {
        return CannedResponse::misbehave(request.path == "/a.php" ? Mode::Held : Mode::NeverAnswer);
    });
    int raised = 0;
    auto http = std::make_unique<THttpThreadControl>();
    http->ReadTimeout = 1500;
    http->OnHttpData = [&raised](THttpThreadControl *) { ++raised; };
    http->OnHttpError = [&raised](THttpThreadControl *, const QString &) { ++raised; };

    http->Post(server->url("a.php"), "a=1"); // answered after the component is gone
    http->Post(server->url("b.php"), "b=1"); // times out after the component is gone
    QTRY_COMPARE(server->requestCount(), 2);
    http.reset();
    QCOMPARE(server->releaseHeld(), 1);

    QTRY_COMPARE_WITH_TIMEOUT(THttpThread::LiveCount(), 0, 15000);
    QCOMPARE(raised, 0);
}

void TestHttpThreadControl::handlerExceptionBecomesError_data()
{
    QTest::addColumn<bool>("lumoraError");
    QTest::newRow("LumoraError") << true;
    QTest::newRow("std::exception") << false;
}

void TestHttpThreadControl::handlerExceptionBecomesError()
{
    QFETCH(bool, lumoraError);
    server->enqueue(CannedResponse::text("<not xml"));
    THttpThreadControl http;
    int dataCalls = 0;
    QStringList errors;
    http.OnHttpData = [&](THttpThreadControl *self) {
        ++dataCalls;
        if (lumoraError)
            ParseReply(self->ResponseText);
        throw std::runtime_error("handler failed");
    };
    http.OnHttpError = [&](THttpThreadControl *, const QString &err) { errors.append(err); };

    http.Post(server->url("a.php"), "a=1");

    QTRY_COMPARE(errors.size(), 1);
    QCOMPARE(dataCalls, 1);
    QVERIFY(errors.first().endsWith(QLatin1String("  ")));
    if (lumoraError)
        QVERIFY2(errors.first().contains(QStringLiteral("XML")), qPrintable(errors.first()));
    else
        QCOMPARE(errors.first(), QStringLiteral("handler failed  "));
    QTRY_VERIFY(http.InFlight.isEmpty());
}

void TestHttpThreadControl::oversizedReplyFailsWithoutFreezing_data()
{
    QTest::addColumn<bool>("announceLength");
    QTest::newRow("with Content-Length") << true;
    QTest::newRow("body until close") << false;
}

void TestHttpThreadControl::oversizedReplyFailsWithoutFreezing()
{
    QFETCH(bool, announceLength);
    CannedResponse big = CannedResponse::misbehave(Mode::LargeBody);
    big.largeBodyBytes = kMaxReplyBytes + 4 * 1024 * 1024;
    big.announceLength = announceLength;
    server->enqueue(big);
    THttpThreadControl http;
    Outcomes out;
    out.attach(http);
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&ticks]() { ++ticks; });
    ticker.start(1);

    http.Post(server->url("big.php"), "a=1");

    QTRY_COMPARE_WITH_TIMEOUT(out.total(), 1, 30000);
    QCOMPARE(out.errors.size(), 1);
    QVERIFY2(out.errors.first().contains(QString::number(kMaxReplyBytes)), qPrintable(out.errors.first()));
    QVERIFY(ticks > 0);
}

void TestHttpThreadControl::firstReplyHidesBusy()
{
    server->setHandler([](const test::RecordedRequest &request) {
        CannedResponse r = CannedResponse::text("<r><Result Value=\"1\"/></r>");
        if (request.path == "/second.php")
            r.mode = Mode::Held;
        return r;
    });
    THttpThreadControl first;
    THttpThreadControl second;
    bool busyInFirstHandler = true;
    bool secondStillOut = false;
    int secondDone = 0;
    first.OnHttpData = [&](THttpThreadControl *) {
        HideBusy();
        busyInFirstHandler = BusyVisible();
        secondStillOut = !second.InFlight.isEmpty();
    };
    second.OnHttpData = [&](THttpThreadControl *) { ++secondDone; };

    second.Post(server->url("second.php"), "b=1");
    ShowBusy();
    first.Post(server->url("first.php"), "a=1");
    ShowBusy();
    QVERIFY(BusyVisible());

    QTRY_VERIFY(!BusyVisible());
    QVERIFY(!busyInFirstHandler);
    QVERIFY(secondStillOut);
    QCOMPARE(secondDone, 0);
    QTRY_COMPARE(server->heldCount(), 1);
    server->releaseHeld();
    QTRY_COMPARE(secondDone, 1);
}

QTEST_MAIN(TestHttpThreadControl)
#include "tst_httpthreadcontrol.moc"
