#include "reports/TfrmMonth.h"

#include "grid/TUpDown.h"
#include "util/MessageSeam.h"

#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace lumora;

namespace
{

void TypeInto(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

std::unique_ptr<TfrmMonth> ShownPicker()
{
    auto picker = std::make_unique<TfrmMonth>();
    picker->show();
    return picker;
}

} // namespace

class TestFrmMonth : public QObject
{
    Q_OBJECT
private slots:
    void startsOnTheCurrentMonth();
    void confirmChecks_data();
    void confirmChecks();
    void enterConfirms_data();
    void enterConfirms();
    void reopeningKeepsTheValues();
};

void TestFrmMonth::startsOnTheCurrentMonth()
{
    const QDate today = QDate::currentDate();
    TfrmMonth picker;
    QCOMPARE(picker.year1->text(), QString::number(today.year()));
    QCOMPARE(picker.month1->currentText(), QString::number(today.month()));
    QCOMPARE(picker.UpDown1->position(), today.year());
    QCOMPARE(picker.windowTitle(), QStringLiteral("选择月份"));
}

void TestFrmMonth::confirmChecks_data()
{
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("message"); // empty: confirmed

    QTest::newRow("year in letters") << "abcd"
                                     << "13"
                                     << "请填入有效的年份。";
    QTest::newRow("negative year") << "-1"
                                   << "5"
                                   << "请填入有效的年份。";
    QTest::newRow("empty year") << ""
                                << "5"
                                << "请填入有效的年份。";
    QTest::newRow("month 0") << "2009"
                             << "0"
                             << "请填入有效的月份。";
    QTest::newRow("month 13") << "2009"
                              << "13"
                              << "请填入有效的月份。";
    QTest::newRow("month in letters") << "2009"
                                      << "mar"
                                      << "请填入有效的月份。";
    QTest::newRow("year 0") << "0"
                            << "1"
                            << "";
    QTest::newRow("blanks around") << " 2009 "
                                   << " 12 "
                                   << "";
}

void TestFrmMonth::confirmChecks()
{
    QFETCH(QString, year);
    QFETCH(QString, month);
    QFETCH(QString, message);
    ScopedMessageCapture capture;
    auto picker = ShownPicker();
    QSignalSpy accepted(picker.get(), &QDialog::accepted);

    TypeInto(picker->year1, year);
    TypeInto(picker->month1->lineEdit(), month);
    QTest::mouseClick(picker->Button1, Qt::LeftButton);

    if (message.isEmpty()) {
        QCOMPARE(accepted.size(), 1);
        QCOMPARE(picker->result(), int(QDialog::Accepted));
        QVERIFY(capture.messages.isEmpty());
        QCOMPARE(picker->yearText(), year.trimmed());
        QCOMPARE(picker->monthText(), month.trimmed());
        return;
    }
    QCOMPARE(accepted.size(), 0);
    QVERIFY(picker->isVisible());
    QCOMPARE(capture.messages.size(), 1);
    QCOMPARE(capture.messages.first().kind, MessageKind::Info);
    QCOMPARE(capture.messages.first().caption, QStringLiteral("提示"));
    QCOMPARE(capture.messages.first().text, message);
}

void TestFrmMonth::enterConfirms_data()
{
    QTest::addColumn<bool>("inMonth");
    QTest::newRow("in the year") << false;
    QTest::newRow("in the month") << true;
}

void TestFrmMonth::enterConfirms()
{
    QFETCH(bool, inMonth);
    auto picker = ShownPicker();
    QSignalSpy accepted(picker.get(), &QDialog::accepted);
    TypeInto(picker->year1, QStringLiteral("2008"));
    TypeInto(picker->month1->lineEdit(), QStringLiteral("2"));

    QWidget *target = inMonth ? static_cast<QWidget *>(picker->month1->lineEdit()) : picker->year1;
    QTest::keyClick(target, Qt::Key_Return);

    QCOMPARE(accepted.size(), 1);
    QCOMPARE(picker->month1->count(), 12); // Enter did not add the typed month to the list
}

void TestFrmMonth::reopeningKeepsTheValues()
{
    auto picker = ShownPicker();
    TypeInto(picker->year1, QStringLiteral("1999"));
    TypeInto(picker->month1->lineEdit(), QStringLiteral("7"));
    QTest::mouseClick(picker->Button2, Qt::LeftButton);
    QVERIFY(!picker->isVisible());
    QCOMPARE(picker->result(), int(QDialog::Rejected));

    picker->show();
    QCOMPARE(picker->year1->text(), QStringLiteral("1999"));
    QCOMPARE(picker->month1->currentText(), QStringLiteral("7"));
    // The arrows go on from the typed year.
    QTest::keyClick(picker->year1, Qt::Key_Up);
    QCOMPARE(picker->year1->text(), QStringLiteral("2000"));
}

QTEST_MAIN(TestFrmMonth)
#include "tst_frm_month.moc"
