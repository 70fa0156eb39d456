#include "util/Helpers.h"

#include <QTest>

using namespace lumora;

class TestTextBetween : public QObject
{
    Q_OBJECT
private slots:
    void textBetween_data();
    void textBetween();
    void shellOpenGoesToTheHandler();
};

void TestTextBetween::textBetween_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("piece");

    QTest::newRow("empty start, up to (") << "餐饮(12.50)"
                                          << ""
                                          << "("
                                          << "餐饮";
    QTest::newRow("empty start, no (") << "餐饮"
                                       << ""
                                       << "("
                                       << "餐饮";
    QTest::newRow("upper-case marker finds lower case") << "<a href=x>Link</a>"
                                                        << "HREF="
                                                        << ">"
                                                        << "x";
    QTest::newRow("piece keeps its own case") << "keyVALUEend"
                                              << "KEY"
                                              << "END"
                                              << "VALUE";
    QTest::newRow("no start marker") << "abc"
                                     << "x"
                                     << "c"
                                     << "";
    QTest::newRow("start without end") << "abc"
                                       << "a"
                                       << "x"
                                       << "bc";
    QTest::newRow("empty end") << "abc"
                               << "a"
                               << ""
                               << "bc";
    QTest::newRow("end searched after start") << "c-a-b-c"
                                              << "a"
                                              << "c"
                                              << "-b-";
    QTest::newRow("first occurrences") << "[1][2]"
                                       << "["
                                       << "]"
                                       << "1";
    QTest::newRow("empty text") << ""
                                << ""
                                << "("
                                << "";
    QTest::newRow("Chinese markers") << "类别:交通;"
                                     << "类别:"
                                     << ";"
                                     << "交通";
}

void TestTextBetween::textBetween()
{
    QFETCH(QString, text);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, piece);
    QCOMPARE(TextBetween(text, start, end), piece);
}

void TestTextBetween::shellOpenGoesToTheHandler()
{
    QStringList opened;
    setShellOpenHandler([&opened](const QString &target) { opened << target; });
    ShellOpen(QStringLiteral("http://127.0.0.1/feedback"));
    setShellOpenHandler({});
    QCOMPARE(opened, QStringList{QStringLiteral("http://127.0.0.1/feedback")});
}

QTEST_GUILESS_MAIN(TestTextBetween)
#include "tst_textbetween.moc"
