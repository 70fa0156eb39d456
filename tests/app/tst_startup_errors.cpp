#include "app/LumoraApplication.h"
#include "core/Reply.h"
#include "util/MessageSeam.h"

#include <QTest>
#include <QTimer>

#include <stdexcept>

using namespace lumora;

namespace
{
// Throws from its event handler, as a faulty window handler would.
class Thrower : public QObject
{
public:
    int handled = 0;
    bool event(QEvent *event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        ++handled;
        if (handled == 1)
            throw LumoraError(QStringLiteral("日期格式错误."));
        if (handled == 2)
            throw std::runtime_error("out of range");
        return true;
    }
};
} // namespace

class TestStartupErrors : public QObject
{
    Q_OBJECT

private slots:
    void escapedErrorsAreShownAndTheProgramGoesOn()
    {
        ScopedMessageCapture capture;
        Thrower thrower;

        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        QTRY_COMPARE(thrower.handled, 3);

        QCOMPARE(capture.texts(),
                 (QStringList{QStringLiteral("发生错误:日期格式错误."), QStringLiteral("发生错误:out of range")}));
        QCOMPARE(capture.messages.first().kind, MessageKind::Plain);
    }

    void errorsFromTimerSlotsReachTheHandler()
    {
        ScopedMessageCapture capture;
        bool ranAfter = false;
        QTimer::singleShot(0, [] { throw LumoraError(QStringLiteral("失败")); });
        QTimer::singleShot(0, [&] { ranAfter = true; });

        QTRY_VERIFY(ranAfter);
        QCOMPARE(capture.texts(), QStringList{QStringLiteral("发生错误:失败")});
    }
};

int main(int argc, char *argv[])
{
    LumoraApplication app(argc, argv);
    TestStartupErrors test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup_errors.moc"
