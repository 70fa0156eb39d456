// The limits on password checks without HTTP: the throttle of failed attempts per account and address on a
// clock of the test's own, the hashing queue, and how the account checks use both.
#include "server/Accounts.h"
#include "server/HashingQueue.h"
#include "server/SignInThrottle.h"
#include "server/SqliteStorage.h"

#include <QTemporaryDir>
#include <QTest>

#include <sodium.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace lumora::service;
using namespace std::chrono_literals;
using Clock = SignInThrottle::Clock;

namespace
{

SignInThrottle::Limits Limits(int freeFailures = 3, std::chrono::milliseconds window = 10s, int maxDoublings = 2)
{
    SignInThrottle::Limits limits;
    limits.freeFailures = freeFailures;
    limits.window = window;
    limits.maxDoublings = maxDoublings;
    return limits;
}

// One attempt that is checked and turns out wrong; false when the throttle refused it.
bool Fail(SignInThrottle &throttle, const std::string &account, const std::string &address, Clock::time_point at)
{
    if (!throttle.admit(account, address, at))
        return false;
    throttle.finished(account, address, SignInThrottle::Result::Failed, at);
    return true;
}

// Fails until the pair is blocked; returns how long the block lasts, found by asking every 100 ms from its start.
std::chrono::milliseconds BlockLength(SignInThrottle &throttle, Clock::time_point &now)
{
    while (Fail(throttle, "家", "203.0.113.5", now))
        now += 1ms;
    const Clock::time_point start = now;
    while (!throttle.admit("家", "203.0.113.5", now))
        now += 100ms;
    throttle.finished("家", "203.0.113.5", SignInThrottle::Result::NotChecked, now);
    return std::chrono::duration_cast<std::chrono::milliseconds>(now - start);
}

// Holds every password check until opened.
class Gate
{
public:
    void wait()
    {
        std::unique_lock lock(mutex_);
        opened_.wait(lock, [this] { return open_; });
    }
    void open()
    {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

} // namespace

class TestSignInLimits : public QObject
{
    Q_OBJECT

private slots:
    void refusesAfterFreeFailuresUntilTheWindowPasses();
    void blocksGrowThenStartOverWhenQuiet_data();
    void blocksGrowThenStartOverWhenQuiet();
    void otherAddressesAndAccountsAreUnaffected();
    void checksInFlightCountAgainstTheLimit();
    void successClearsTheBackOff();
    void eachBurstIsReportedOnceWithItsAttempts();
    void aFullTableKeepsTheBlockedPairs();

    void fullHashingQueueRefusesAtOnce();
    void hashingExceptionsReachTheCaller();
    void accountsTurnAwayChecksWhenTheQueueIsFull();
    void accountsSkipTheCheckOfAThrottledPairButNotOfACachedOne();
};

void TestSignInLimits::refusesAfterFreeFailuresUntilTheWindowPasses()
{
    SignInThrottle throttle(Limits(3, 10s));
    const Clock::time_point t0 = Clock::now();

    for (int i = 0; i < 3; ++i)
        QVERIFY(Fail(throttle, "家", "203.0.113.5", t0 + i * 1s));

    QVERIFY(!throttle.admit("家", "203.0.113.5", t0 + 2s));
    QVERIFY(!throttle.admit("家", "203.0.113.5", t0 + 12s - 1ms)); // the block runs one window from the third
    QVERIFY(throttle.admit("家", "203.0.113.5", t0 + 12s));
}

void TestSignInLimits::blocksGrowThenStartOverWhenQuiet_data()
{
    QTest::addColumn<int>("maxDoublings");
    QTest::addColumn<QList<int>>("seconds"); // of the blocks one after another
    QTest::newRow("no growth") << 0 << QList<int>{10, 10, 10};
    QTest::newRow("doubling to four windows") << 2 << QList<int>{10, 20, 40, 40};
}

void TestSignInLimits::blocksGrowThenStartOverWhenQuiet()
{
    QFETCH(int, maxDoublings);
    QFETCH(QList<int>, seconds);
    SignInThrottle throttle(Limits(3, 10s, maxDoublings));
    Clock::time_point now = Clock::now();

    for (const int length : seconds)
        QCOMPARE(BlockLength(throttle, now).count(), length * 1000);

    // Quiet for the longest block: the next block is one window again
    now += 10s * (1 << maxDoublings);
    throttle.sweep(now);
    QCOMPARE(BlockLength(throttle, now).count(), 10000);
}

void TestSignInLimits::otherAddressesAndAccountsAreUnaffected()
{
    SignInThrottle throttle(Limits(3));
    const Clock::time_point now = Clock::now();
    while (Fail(throttle, "家", "203.0.113.5", now)) {
    }

    QVERIFY(throttle.admit("家", "198.51.100.7", now));
    QVERIFY(throttle.admit("邻居", "203.0.113.5", now));
}

void TestSignInLimits::checksInFlightCountAgainstTheLimit()
{
    // Parallel connections all asking before any check has finished
    SignInThrottle throttle(Limits(3));
    const Clock::time_point now = Clock::now();
    for (int i = 0; i < 3; ++i)
        QVERIFY(throttle.admit("家", "203.0.113.5", now));

    QVERIFY(!throttle.admit("家", "203.0.113.5", now));

    // A check that was never made (the queue was full) gives its place back
    throttle.finished("家", "203.0.113.5", SignInThrottle::Result::NotChecked, now);
    QVERIFY(throttle.admit("家", "203.0.113.5", now));
}

void TestSignInLimits::successClearsTheBackOff()
{
    SignInThrottle throttle(Limits(3, 10s, 2));
    Clock::time_point now = Clock::now();
    QCOMPARE(BlockLength(throttle, now).count(), 10000);
    QCOMPARE(BlockLength(throttle, now).count(), 20000);

    QVERIFY(throttle.admit("家", "203.0.113.5", now));
    throttle.finished("家", "203.0.113.5", SignInThrottle::Result::Succeeded, now);

    QCOMPARE(BlockLength(throttle, now).count(), 10000);
}

void TestSignInLimits::eachBurstIsReportedOnceWithItsAttempts()
{
    SignInThrottle throttle(Limits(3, 10s));
    const Clock::time_point t0 = Clock::now();
    // two checks in flight when the third fails: the refusal meanwhile belongs to the burst too
    QVERIFY(throttle.admit("家", "203.0.113.5", t0));
    QVERIFY(throttle.admit("家", "203.0.113.5", t0));
    QVERIFY(Fail(throttle, "家", "203.0.113.5", t0));
    QVERIFY(!throttle.admit("家", "203.0.113.5", t0));
    throttle.finished("家", "203.0.113.5", SignInThrottle::Result::Failed, t0);
    throttle.finished("家", "203.0.113.5", SignInThrottle::Result::Failed, t0);
    for (int i = 0; i < 7; ++i)
        QVERIFY(!throttle.admit("家", "203.0.113.5", t0 + 1s));

    QVERIFY(throttle.sweep(t0 + 5s).empty()); // still blocked
    const auto ended = throttle.sweep(t0 + 10s);
    const auto again = throttle.sweep(t0 + 11s);

    QCOMPARE(ended.size(), size_t(1));
    QCOMPARE(ended[0].account, std::string("家"));
    QCOMPARE(ended[0].address, std::string("203.0.113.5"));
    QCOMPARE(ended[0].attempts, std::int64_t(3 + 1 + 7));
    QVERIFY(again.empty());
}

void TestSignInLimits::aFullTableKeepsTheBlockedPairs()
{
    SignInThrottle::Limits limits = Limits(3);
    limits.maxPairs = 4;
    SignInThrottle throttle(limits);
    const Clock::time_point now = Clock::now();
    while (Fail(throttle, "家", "203.0.113.5", now)) {
    }

    // Many pairs with a failure each, far more than the table holds
    for (int i = 0; i < 20; ++i)
        Fail(throttle, "家", "10.0.0." + std::to_string(i), now);

    QVERIFY(!throttle.admit("家", "203.0.113.5", now));
}

void TestSignInLimits::fullHashingQueueRefusesAtOnce()
{
    Gate gate;
    HashingQueue queue(1, 2);
    std::atomic<int> started{0};
    std::atomic<int> done{0};
    auto call = [&] {
        if (queue.run([&] {
                ++started;
                gate.wait();
                return true;
            }) == std::optional<bool>(true))
            ++done;
    };
    std::vector<std::thread> callers;
    callers.emplace_back(call);
    QTRY_COMPARE(started.load(), 1);
    callers.emplace_back(call);
    callers.emplace_back(call);
    QTRY_COMPARE(queue.waiting(), size_t(2));

    const auto refused = queue.run([] { return true; });

    QVERIFY(!refused);
    gate.open();
    for (auto &caller : callers)
        caller.join();
    QCOMPARE(done.load(), 3);
    QCOMPARE(queue.run([] { return false; }), std::optional<bool>(false)); // room again
}

void TestSignInLimits::hashingExceptionsReachTheCaller()
{
    HashingQueue queue(1, 1);

    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             queue.run([]() -> bool { throw std::runtime_error("out of memory while hashing"); }));
    QCOMPARE(queue.run([] { return true; }), std::optional<bool>(true));
}

void TestSignInLimits::accountsTurnAwayChecksWhenTheQueueIsFull()
{
    QTemporaryDir dir;
    SqliteStorage storage(dir.filePath("ledger.sqlite").toStdString());
    Gate gate;
    SignInLimits limits;
    limits.hashingThreads = 1;
    limits.hashingQueue = 1;
    limits.throttle.window = 100ms; // reports come within a fraction of it
    limits.verify = [&gate](const std::string &hash, const std::string &password) {
        gate.wait();
        return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
    };
    std::mutex reportsMutex;
    std::vector<RefusalReport> reports;
    Accounts accounts(storage, PasswordCost::Minimal, limits, [&](const RefusalReport &report) {
        std::lock_guard lock(reportsMutex);
        reports.push_back(report);
    });
    QCOMPARE(accounts.create("家", "pw"), Accounts::Outcome::Created);

    // One check running and one waiting, from two addresses
    std::thread running([&] { accounts.check("家", "guess1", "203.0.113.5"); });
    QTRY_COMPARE(accounts.counts().passwordChecks, std::uint64_t(1));
    std::thread waiting([&] { accounts.check("家", "pw", "198.51.100.7"); });
    QTRY_COMPARE(accounts.counts().waiting, size_t(1));

    const auto refused = accounts.check("家", "pw", "192.0.2.1");

    QCOMPARE(refused.check, Accounts::Check::Busy);
    QCOMPARE(accounts.counts().busy, std::uint64_t(1));
    gate.open();
    running.join();
    waiting.join();
    QCOMPARE(accounts.counts().passwordChecks, std::uint64_t(2));
    // the run of refusals is reported once, without a name
    QTRY_VERIFY([&] {
        std::lock_guard lock(reportsMutex);
        return !reports.empty();
    }());
    std::lock_guard lock(reportsMutex);
    QCOMPARE(reports.size(), size_t(1));
    QVERIFY(reports[0].queueFull);
    QCOMPARE(reports[0].attempts, std::int64_t(1));
    QVERIFY(reports[0].account.empty());
}

void TestSignInLimits::accountsSkipTheCheckOfAThrottledPairButNotOfACachedOne()
{
    QTemporaryDir dir;
    SqliteStorage storage(dir.filePath("ledger.sqlite").toStdString());
    SignInLimits limits;
    limits.throttle.freeFailures = 3;
    Accounts accounts(storage, PasswordCost::Minimal, limits);
    QCOMPARE(accounts.create("家", "pw"), Accounts::Outcome::Created);
    QCOMPARE(accounts.create("邻居", "pw2"), Accounts::Outcome::Created);
    QCOMPARE(accounts.check("邻居", "pw2", "203.0.113.5").check, Accounts::Check::Verified); // now cached

    // A stranger guesses at both accounts from one address
    for (int i = 0; i < 10; ++i) {
        accounts.check("家", "guess" + std::to_string(i), "203.0.113.5");
        accounts.check("邻居", "guess" + std::to_string(i), "203.0.113.5");
    }
    const auto afterFlood = accounts.counts();

    // Then the stranger's address is refused without a check, even with the right password not yet verified
    QCOMPARE(afterFlood.passwordChecks, std::uint64_t(1 + 3 + 3));
    QCOMPARE(afterFlood.throttled, std::uint64_t(7 + 7));
    QCOMPARE(accounts.check("家", "pw", "203.0.113.5").check, Accounts::Check::Throttled);
    // the household signs in from its own address, and a pair verified lately passes from anywhere
    QCOMPARE(accounts.check("家", "pw", "198.51.100.7").check, Accounts::Check::Verified);
    QCOMPARE(accounts.check("家", "pw", "203.0.113.5").check, Accounts::Check::Verified);
    QCOMPARE(accounts.check("邻居", "pw2", "203.0.113.5").check, Accounts::Check::Verified);
    QCOMPARE(accounts.counts().passwordChecks, afterFlood.passwordChecks + 1);
}

QTEST_GUILESS_MAIN(TestSignInLimits)
#include "tst_signinlimits.moc"
