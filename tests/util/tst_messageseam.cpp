#include "util/MessageSeam.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace lumora;

Q_DECLARE_METATYPE(QuestionAnswer)

// A question guards something the user would lose: only the No button may answer No. Esc and the box's close
// button leave things as they are, in the real box as well as through the seam.
class TestMessageSeam : public QObject
{
    Q_OBJECT
    static void answers_data();

private slots:
    void seamAnswers_data() { answers_data(); }
    void seamAnswers();
    void realBoxAnswers_data() { answers_data(); }
    void realBoxAnswers();
};

void TestMessageSeam::answers_data()
{
    QTest::addColumn<QuestionAnswer>("how");
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes button") << QuestionAnswer::Yes << true;
    QTest::newRow("No button") << QuestionAnswer::No << false;
    QTest::newRow("Esc") << QuestionAnswer::Escape << true;
    QTest::newRow("close button") << QuestionAnswer::Close << true;
}

void TestMessageSeam::seamAnswers()
{
    QFETCH(QuestionAnswer, how);
    QFETCH(bool, yes);
    ScopedMessageCapture capture;
    capture.answers = {how};
    QCOMPARE(ConfirmYesNo(QStringLiteral("还有未保存的记录,是否查看一下?")), yes);
    QCOMPARE(capture.messages.size(), 1);
    QCOMPARE(capture.messages.first().caption, QStringLiteral("提示"));
}

void TestMessageSeam::realBoxAnswers()
{
    QFETCH(QuestionAnswer, how);
    QFETCH(bool, yes);
    // No handler: the box itself opens and is answered as a user would, once it is up.
    bool answered = false;
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || answered)
            return;
        answered = true;
        switch (how) {
        case QuestionAnswer::Yes:
            QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
            break;
        case QuestionAnswer::No:
            QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
            break;
        case QuestionAnswer::Escape:
            QTest::keyClick(box, Qt::Key_Escape);
            break;
        case QuestionAnswer::Close:
            box->close();
            break;
        }
        // A box that refused the answer would block the test: make sure it goes.
        QTimer::singleShot(2000, box, [box] { box->done(QMessageBox::Cancel); });
    });
    poll.start();
    QCOMPARE(ConfirmYesNo(QStringLiteral("还有未保存的记录,是否查看一下?")), yes);
    QVERIFY(answered);
}

QTEST_MAIN(TestMessageSeam)
#include "tst_messageseam.moc"
