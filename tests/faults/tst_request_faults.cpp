// Faults of the network under the request component and under a window that uses it (the category dialog): each
// ends in the event the code gives, the busy window is hidden where the handler hides it, nothing crashes, the
// worker ends, and the user-interface thread keeps running the whole time.
#include "core/HttpThread.h"
#include "core/HttpThreadControl.h"
#include "core/NetSta.h"
#include "core/Protocol.h"
#include "core/Session.h"
#include "lists/CategoryList.h"
#include "lists/TForm_nb.h"
#include "support/LoopbackHttpServer.h"
#include "util/ExeFolder.h"
#include "util/MessageSeam.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace lumora;
using lumora::test::CannedResponse;
using lumora::test::ClosedLoopbackPort;
using lumora::test::LoopbackHttpServer;
using Mode = CannedResponse::Mode;

namespace
{

enum class Fault {
    Refused,
    NeverAnswers,
    SlowBytes,
    SlowHead,
    ClosesMidReply,
    Status500,
    RedirectLoop,
    Large50MB,
    Large50MBUnannounced,
    InvalidGbk,
    EmptyBody,
    NotXml,
};

constexpr qint64 k50MB = 50 * 1024 * 1024;

// Counts the ticks of a timer on the user-interface thread and the longest pause between two of them.
class Ticker
{
public:
    Ticker()
    {
        clock_.start();
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.elapsed();
            longestGap_ = std::max(longestGap_, now - last_);
            last_ = now;
            ++ticks_;
        });
        timer_.start();
    }
    int ticks() const { return ticks_; }
    qint64 longestGapMs() const { return std::max(longestGap_, clock_.elapsed() - last_); }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longestGap_ = 0;
    int ticks_ = 0;
};

// A valid reply of the service saying yes, as GBK.
const QString kOkReply = QStringLiteral("<?xml version=\"1.0\" encoding=\"gbk\"?><R><Result Value=\"1\"/></R>");

// What the server answers for the fault (Refused never reaches a server).
CannedResponse ResponseFor(Fault fault)
{
    CannedResponse r = CannedResponse::text(kOkReply);
    switch (fault) {
    case Fault::Refused:
        break;
    case Fault::NeverAnswers:
        r.mode = Mode::NeverAnswer;
        break;
    case Fault::SlowBytes:
        r.mode = Mode::SlowBytes;
        r.slowIntervalMs = 5;
        break;
    case Fault::SlowHead:
        r.mode = Mode::SlowBytes;
        r.slowHead = true;
        r.slowIntervalMs = 2;
        break;
    case Fault::ClosesMidReply:
        r.mode = Mode::CloseMidReply;
        break;
    case Fault::Status500:
        r = CannedResponse::text(QStringLiteral("<html>内部错误</html>"), 500);
        break;
    case Fault::RedirectLoop:
        r.mode = Mode::RedirectLoop;
        break;
    case Fault::Large50MB:
    case Fault::Large50MBUnannounced:
        r.mode = Mode::LargeBody;
        r.largeBodyBytes = k50MB;
        r.announceLength = fault == Fault::Large50MB;
        break;
    case Fault::InvalidGbk:
        // Lead bytes without their trail bytes and bytes GBK never uses, where the decoder may swallow a blank.
        r = CannedResponse::bytes(QByteArray("<R><Result Value=\"1\"/><Junk>\x81  \xff\xfe\x80\x81  </Junk></R>"));
        break;
    case Fault::EmptyBody:
        r = CannedResponse::bytes(QByteArray());
        break;
    case Fault::NotXml:
        r = CannedResponse::bytes(QByteArray("<R><Result Value=\"1\"><Data>\xd6\xd0"));
        break;
    }
    return r;
}

// Arms the server with the fault and returns the URL to post to.
QString Arm(LoopbackHttpServer &server, Fault fault, const QString &script)
{
    if (fault == Fault::Refused)
        return QStringLiteral("http://127.0.0.1:%1/ms/kessum/%2").arg(ClosedLoopbackPort()).arg(script);
    server.enqueue(ResponseFor(fault));
    return server.url(QStringLiteral("ms/kessum/") + script);
}

void AddFaultRows()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<bool>("failsOnTheWire"); // OnHttpError rather than OnHttpData
    QTest::newRow("refused") << int(Fault::Refused) << true;
    QTest::newRow("never answers") << int(Fault::NeverAnswers) << true;
    QTest::newRow("slow bytes") << int(Fault::SlowBytes) << false;
    QTest::newRow("slow head") << int(Fault::SlowHead) << false;
    QTest::newRow("closes mid-reply") << int(Fault::ClosesMidReply) << true;
    QTest::newRow("500") << int(Fault::Status500) << true;
    QTest::newRow("redirect loop") << int(Fault::RedirectLoop) << true;
    QTest::newRow("50 MB body") << int(Fault::Large50MB) << true;
    QTest::newRow("50 MB body without length") << int(Fault::Large50MBUnannounced) << true;
    QTest::newRow("invalid GBK") << int(Fault::InvalidGbk) << false;
    QTest::newRow("empty body") << int(Fault::EmptyBody) << false;
    QTest::newRow("not XML") << int(Fault::NotXml) << false;
}

} // namespace

class TestRequestFaults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void componentOutcome_data() { AddFaultRows(); }
    void componentOutcome();
    void categoryDialogOutcome_data() { AddFaultRows(); }
    void categoryDialogOutcome();
    void dialogClosedWhileFaultsAreInFlight();
    void everyFaultAtOnce();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<LoopbackHttpServer> server_;
    std::unique_ptr<ScopedMessageCapture> messages_;
};

void TestRequestFaults::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    SetExeFolder(dir_->path());
    ResetSession();
    CategoryListText = QStringLiteral("餐饮\r\n交通");
    server_ = std::make_unique<LoopbackHttpServer>();
    QVERIFY(server_->listen());
    ServiceBaseUrl = server_->url(QStringLiteral("ms/kessum/"));
    messages_ = std::make_unique<ScopedMessageCapture>();
}

void TestRequestFaults::cleanup()
{
    // Every worker of the test has ended and freed itself.
    QTRY_COMPARE_WITH_TIMEOUT(THttpThread::LiveCount(), 0, 30000);
    HideBusy();
    messages_.reset();
    server_.reset();
    CategoryListText.clear();
    ResetSession();
    dir_.reset();
}

void TestRequestFaults::componentOutcome()
{
    QFETCH(int, fault);
    QFETCH(bool, failsOnTheWire);
    Ticker ticker;
    THttpThreadControl http;
    // Short only where the fault is silence; the dribbling faults must not trip over a busy machine.
    http.ReadTimeout = Fault(fault) == Fault::NeverAnswers ? 500 : 10000;
    QStringList errors;
    QStringList replies;
    http.OnHttpData = [&](THttpThreadControl *c) { replies << c->ResponseText; };
    http.OnHttpError = [&](THttpThreadControl *, const QString &err) { errors << err; };

    http.Post(Arm(*server_, Fault(fault), QStringLiteral("a.php")), QStringLiteral("action=data\r\npage=0"));

    // Then exactly one event, of the kind the fault gives
    QTRY_COMPARE_WITH_TIMEOUT(errors.size() + replies.size(), 1, 30000);
    QTRY_VERIFY(http.InFlight.isEmpty());
    if (failsOnTheWire) {
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().endsWith(QLatin1String("  ")) && !errors.first().trimmed().isEmpty(),
                 qPrintable(errors.first()));
    } else {
        QCOMPARE(replies.size(), 1);
        QVERIFY(replies.first().endsWith(QLatin1Char(' ')));
    }
    if (Fault(fault) == Fault::SlowBytes || Fault(fault) == Fault::SlowHead)
        QCOMPARE(replies.first(), kOkReply + QLatin1Char(' '));
    if (Fault(fault) == Fault::InvalidGbk)
        QVERIFY(replies.first().startsWith(QLatin1String("<R><Result Value=\"1\"")));
    // No second event comes later
    QTest::qWait(0);
    QCOMPARE(errors.size() + replies.size(), 1);
    // The user-interface thread was never held up by the exchange
    QVERIFY(ticker.ticks() > 0);
    QVERIFY2(ticker.longestGapMs() < 3000, qPrintable(QString::number(ticker.longestGapMs())));
}

void TestRequestFaults::categoryDialogOutcome()
{
    QFETCH(int, fault);
    QFETCH(bool, failsOnTheWire);
    Ticker ticker;
    TForm_nb form;
    form.httpType1->ReadTimeout = Fault(fault) == Fault::NeverAnswers ? 500 : 10000;
    form.show();
    // The dialog posts to the service address; the fault decides what answers there.
    const QString url = Arm(*server_, Fault(fault), protocol::ScriptType);
    ServiceBaseUrl = url.left(url.size() - protocol::ScriptType.size());
    messages_->messages.clear();

    form.Button1Click();
    QVERIFY(BusyVisible());

    // The dialog says what happened, and the busy window is gone
    const QString expected =
        failsOnTheWire ? QStringLiteral("未能保存类型列表,请择时再行保存.")
        : Fault(fault) == Fault::SlowBytes || Fault(fault) == Fault::SlowHead || Fault(fault) == Fault::InvalidGbk
            ? QStringLiteral("保存类型列表完毕.")
            : QStringLiteral("未能保存类型列表.");
    QTRY_VERIFY_WITH_TIMEOUT(messages_->texts().contains(expected), 30000);
    QTRY_VERIFY(form.httpType1->InFlight.isEmpty());
    QVERIFY(!BusyVisible());
    if (Fault(fault) == Fault::InvalidGbk)
        QVERIFY(!form.isVisible()); // "1" is still readable in a reply with broken bytes elsewhere
    if (!failsOnTheWire && expected == QStringLiteral("未能保存类型列表."))
        QVERIFY(messages_->texts().join('\n').contains(QStringLiteral("错误: ")));
    QCOMPARE(CategoryListText, QStringLiteral("餐饮\r\n交通"));
    QVERIFY(ticker.ticks() > 0);
    QVERIFY2(ticker.longestGapMs() < 3000, qPrintable(QString::number(ticker.longestGapMs())));
}

void TestRequestFaults::dialogClosedWhileFaultsAreInFlight()
{
    // Given dialogs whose uploads hang, dribble or stream 50 MB
    Ticker ticker;
    int posted = 0;
    for (const Fault fault : {Fault::NeverAnswers, Fault::SlowBytes, Fault::Large50MBUnannounced}) {
        auto form = std::make_unique<TForm_nb>();
        form->httpType1->ReadTimeout = 2000;
        form->show();
        const QString url = Arm(*server_, fault, protocol::ScriptType);
        ServiceBaseUrl = url.left(url.size() - protocol::ScriptType.size());
        form->Button1Click();
        QTRY_VERIFY(server_->requestCount() > posted);
        ++posted;
        messages_->messages.clear();

        // When the dialog goes away mid-request
        form.reset();
    }

    // Then the workers finish on their own and nothing is raised against the destroyed dialogs
    QTRY_COMPARE_WITH_TIMEOUT(THttpThread::LiveCount(), 0, 30000);
    QVERIFY2(messages_->messages.isEmpty(), qPrintable(messages_->texts().join('\n')));
    QVERIFY2(ticker.longestGapMs() < 3000, qPrintable(QString::number(ticker.longestGapMs())));
}

void TestRequestFaults::everyFaultAtOnce()
{
    // Given one request for every fault, all in flight together (the answer depends on the path, since the
    // requests reach the server in any order)
    Ticker ticker;
    const QList<Fault> faults{Fault::Refused,      Fault::NeverAnswers,   Fault::SlowBytes,
                              Fault::SlowHead,     Fault::ClosesMidReply, Fault::Status500,
                              Fault::RedirectLoop, Fault::Large50MB,      Fault::Large50MBUnannounced,
                              Fault::InvalidGbk,   Fault::EmptyBody,      Fault::NotXml};
    server_->setHandler([&](const lumora::test::RecordedRequest &request) {
        const int i = request.path.mid(request.path.lastIndexOf('/') + 2).split('.').first().toInt();
        return ResponseFor(faults.value(i, Fault::EmptyBody));
    });
    std::vector<std::unique_ptr<THttpThreadControl>> components;
    int events = 0;
    for (int i = 0; i < faults.size(); ++i) {
        auto http = std::make_unique<THttpThreadControl>();
        http->ReadTimeout = faults[i] == Fault::NeverAnswers ? 500 : 10000;
        http->OnHttpData = [&](THttpThreadControl *) { ++events; };
        http->OnHttpError = [&](THttpThreadControl *, const QString &) { ++events; };
        const QString script = QStringLiteral("f%1.php").arg(i);
        http->Post(faults[i] == Fault::Refused ? Arm(*server_, Fault::Refused, script)
                                               : server_->url(QStringLiteral("ms/kessum/") + script),
                   QStringLiteral("a=1\r\nb=2"));
        components.push_back(std::move(http));
    }

    // Then every one of them ends in exactly one event, and the interface kept running meanwhile
    QTRY_COMPARE_WITH_TIMEOUT(events, int(faults.size()), 60000);
    for (auto &http : components)
        QTRY_VERIFY(http->InFlight.isEmpty());
    QTest::qWait(0);
    QCOMPARE(events, int(faults.size()));
    QVERIFY2(ticker.longestGapMs() < 3000, qPrintable(QString::number(ticker.longestGapMs())));
}

QTEST_MAIN(TestRequestFaults)
#include "tst_request_faults.moc"
