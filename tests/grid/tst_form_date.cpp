#include "grid/TUpDown.h"
#include "grid/Tform_date.h"

#include "core/Reply.h"
#include "util/MessageSeam.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

using namespace lumora;

namespace
{

// Runs the steps against the dialog once its modal loop is running; the steps must close it.
void WhenDialogOpens(std::function<void(Tform_date *)> steps)
{
    QTimer::singleShot(0, [steps] {
        auto *dialog = qobject_cast<Tform_date *>(QApplication::activeModalWidget());
        if (!dialog) {
            qWarning("no date dialog open");
            return;
        }
        steps(dialog);
        // A failed check returns early from the steps; never leave the loop hanging.
        if (dialog->isVisible())
            dialog->reject();
    });
}

void TypeInto(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

int OpenDateDialogs()
{
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        n += qobject_cast<Tform_date *>(w) != nullptr;
    return n;
}

// The calendar's cell showing the given day of the shown month.
QModelIndex DayCell(QCalendarWidget *calendar, int day)
{
    auto *view = calendar->findChild<QTableView *>();
    if (!view)
        return {};
    const QAbstractItemModel *model = view->model();
    bool inMonth = false; // cells before the first "1" belong to the previous month
    for (int row = 0; row < model->rowCount(); ++row) {
        for (int col = 0; col < model->columnCount(); ++col) {
            const QModelIndex index = model->index(row, col);
            bool ok = false;
            const int shown = model->data(index).toInt(&ok);
            if (!ok)
                continue;
            if (shown == 1) {
                if (inMonth)
                    return {}; // reached the next month
                inMonth = true;
            }
            if (inMonth && shown == day)
                return index;
        }
    }
    return {};
}

} // namespace

class TestFormDate : public QObject
{
    Q_OBJECT
private slots:
    void opensOnTheDate();
    void monthWithoutTheDayFallsBackToFirst_data();
    void monthWithoutTheDayFallsBackToFirst();
    void yearThatBreaksTheDateKeepsCalendar();
    void okChecks_data();
    void okChecks();
    void calendarClickCopiesIntoBoxes();
    void upDownStaysInRange();
    void pickDateRefusesTimeAndBadText_data();
    void pickDateRefusesTimeAndBadText();
    void popupAcceptsTimeAndKeepsItOnCancel();
    void popupWritesChosenDate();
    void popupButtonReportsBadText();
    void newDialogPerOpening();
    void listsOpenOnTheShownNumber_data();
    void listsOpenOnTheShownNumber();
};

void TestFormDate::opensOnTheDate()
{
    QString seenYear, seenMonth, seenDay;
    QDate seenCalendar;
    WhenDialogOpens([&](Tform_date *d) {
        seenYear = d->year_Edit1->text();
        seenMonth = d->moth_ComboBox1->currentText();
        seenDay = d->day_ComboBox2->currentText();
        seenCalendar = d->MonthCalendar1->selectedDate();
        QVERIFY(!d->MonthCalendar1->isNavigationBarVisible());
        QTest::mouseClick(d->Button1, Qt::LeftButton);
    });
    QString result = QStringLiteral("untouched");
    QVERIFY(PickDate(QStringLiteral("  2009-3-7 "), result));
    QCOMPARE(seenYear, QStringLiteral("2009"));
    QCOMPARE(seenMonth, QStringLiteral("03"));
    QCOMPARE(seenDay, QStringLiteral("07"));
    QCOMPARE(seenCalendar, QDate(2009, 3, 7));
    QCOMPARE(result, QStringLiteral("2009-03-07"));
}

void TestFormDate::monthWithoutTheDayFallsBackToFirst_data()
{
    QTest::addColumn<bool>("fromList");
    QTest::newRow("typed") << false;
    QTest::newRow("chosen from the list") << true;
}

void TestFormDate::monthWithoutTheDayFallsBackToFirst()
{
    QFETCH(bool, fromList);
    QString day;
    QDate calendar;
    WhenDialogOpens([&](Tform_date *d) {
        QComboBox *box = d->moth_ComboBox1;
        if (fromList) {
            QTest::keyClick(box, Qt::Key_F4);
            QAbstractItemView *view = box->view();
            QTRY_VERIFY(view->isVisible());
            const QModelIndex two = box->model()->index(1, 0);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(two).center());
            QTRY_VERIFY(!view->isVisible());
        } else {
            TypeInto(box->lineEdit(), QStringLiteral("2"));
        }
        QCOMPARE(box->currentText(), QStringLiteral("2"));
        day = d->day_ComboBox2->currentText();
        calendar = d->MonthCalendar1->selectedDate();
        QTest::mouseClick(d->Button1, Qt::LeftButton);
    });
    QString result;
    QVERIFY(PickDate(QStringLiteral("2009-01-31"), result));
    QCOMPARE(day, QStringLiteral("01"));
    QCOMPARE(calendar, QDate(2009, 2, 1));
    QCOMPARE(result, QStringLiteral("2009-2-01"));
}

void TestFormDate::yearThatBreaksTheDateKeepsCalendar()
{
    QDate calendar;
    WhenDialogOpens([&](Tform_date *d) {
        // One step, as typing digit by digit would pass through other years.
        QTest::keyClick(d->year_Edit1, Qt::Key_Up);
        QCOMPARE(d->year_Edit1->text(), QStringLiteral("2009"));
        calendar = d->MonthCalendar1->selectedDate();
        QTest::mouseClick(d->Button1, Qt::LeftButton);
    });
    QString result;
    QVERIFY(PickDate(QStringLiteral("2008-02-29"), result));
    QCOMPARE(calendar, QDate(2008, 2, 29));
    QCOMPARE(result, QStringLiteral("2009-02-29"));
}

void TestFormDate::okChecks_data()
{
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("message"); // empty: accepted

    QTest::newRow("negative year") << "-5"
                                   << "4"
                                   << "30"
                                   << "请填入有效的年份。";
    QTest::newRow("letters for year") << "abc"
                                      << "13"
                                      << "0"
                                      << "请填入有效的年份。";
    QTest::newRow("empty year") << ""
                                << "4"
                                << "30"
                                << "请填入有效的年份。";
    QTest::newRow("month 13") << "2009"
                              << "13"
                              << "0"
                              << "请填入有效的月份。";
    QTest::newRow("month 0") << "2009"
                             << "0"
                             << "5"
                             << "请填入有效的月份。";
    QTest::newRow("day 0") << "2009"
                           << "4"
                           << "0"
                           << "请填入有效的日。";
    QTest::newRow("day 32") << "2009"
                            << "4"
                            << "32"
                            << "请填入有效的日。";
    QTest::newRow("day letters") << "2009"
                                 << "4"
                                 << "x"
                                 << "请填入有效的日。";
    QTest::newRow("31 April passes") << "2009"
                                     << "4"
                                     << "31"
                                     << "";
    QTest::newRow("year 0 passes") << "0"
                                   << "12"
                                   << "1"
                                   << "";
}

void TestFormDate::okChecks()
{
    QFETCH(QString, year);
    QFETCH(QString, month);
    QFETCH(QString, day);
    QFETCH(QString, message);

    ScopedMessageCapture capture;
    bool stayedOpen = false;
    QString typedYear;
    WhenDialogOpens([&](Tform_date *d) {
        TypeInto(d->year_Edit1, year);
        TypeInto(d->moth_ComboBox1->lineEdit(), month);
        TypeInto(d->day_ComboBox2->lineEdit(), day);
        QTest::mouseClick(d->Button1, Qt::LeftButton);
        stayedOpen = d->isVisible();
        typedYear = d->year_Edit1->text();
        if (stayedOpen)
            QTest::mouseClick(d->Button2, Qt::LeftButton);
    });
    QString result = QStringLiteral("untouched");
    const bool confirmed = PickDate(QStringLiteral("2009-01-15"), result);

    if (message.isEmpty()) {
        QVERIFY(capture.messages.isEmpty());
        QVERIFY(confirmed);
        QCOMPARE(result, year + '-' + month + '-' + day);
        return;
    }
    QVERIFY(stayedOpen);
    QCOMPARE(typedYear, year);
    QCOMPARE(capture.messages.size(), 1);
    QCOMPARE(capture.messages.first().kind, MessageKind::Info);
    QCOMPARE(capture.messages.first().caption, QStringLiteral("提示"));
    QCOMPARE(capture.messages.first().text, message);
    QVERIFY(!confirmed);
    QCOMPARE(result, QStringLiteral("untouched"));
}

void TestFormDate::calendarClickCopiesIntoBoxes()
{
    QString year, month, day;
    WhenDialogOpens([&](Tform_date *d) {
        auto *view = d->MonthCalendar1->findChild<QTableView *>();
        QVERIFY(view);
        const QModelIndex cell = DayCell(d->MonthCalendar1, 5);
        QVERIFY(cell.isValid());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
        year = d->year_Edit1->text();
        month = d->moth_ComboBox1->currentText();
        day = d->day_ComboBox2->currentText();
        QCOMPARE(d->MonthCalendar1->selectedDate(), QDate(2009, 3, 5));
        QTest::mouseClick(d->Button1, Qt::LeftButton);
    });
    QString result;
    QVERIFY(PickDate(QStringLiteral("2009-3-17"), result));
    QCOMPARE(year, QStringLiteral("2009"));
    QCOMPARE(month, QStringLiteral("03"));
    QCOMPARE(day, QStringLiteral("05"));
    QCOMPARE(result, QStringLiteral("2009-03-05"));
}

void TestFormDate::upDownStaysInRange()
{
    Tform_date dialog;
    dialog.show();
    QLineEdit *year = dialog.year_Edit1;

    TypeInto(year, QStringLiteral("2999"));
    QTest::keyClick(year, Qt::Key_Up);
    QTest::keyClick(year, Qt::Key_Up);
    QCOMPARE(year->text(), QStringLiteral("3000"));

    TypeInto(year, QStringLiteral("1"));
    QTest::mouseClick(dialog.UpDown1->downButton(), Qt::LeftButton);
    QTest::mouseClick(dialog.UpDown1->downButton(), Qt::LeftButton);
    QCOMPARE(year->text(), QStringLiteral("0"));

    // A step from text that is no number starts from the last position.
    TypeInto(year, QStringLiteral("x"));
    QTest::mouseClick(dialog.UpDown1->upButton(), Qt::LeftButton);
    QCOMPARE(year->text(), QStringLiteral("1"));
}

void TestFormDate::pickDateRefusesTimeAndBadText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("date with time") << "2009-01-31 12:00:00";
    QTest::newRow("letters") << "abc";
    QTest::newRow("no such day") << "2009-02-29";
    QTest::newRow("empty") << "";
}

void TestFormDate::pickDateRefusesTimeAndBadText()
{
    QFETCH(QString, text);
    bool dialogOpened = false;
    QTimer guard;
    guard.setInterval(0);
    connect(&guard, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget()) {
            dialogOpened = true;
            QApplication::activeModalWidget()->close();
        }
    });
    guard.start();

    QString result = QStringLiteral("untouched");
    QVERIFY_THROWS_EXCEPTION(LumoraError, PickDate(text, result));
    QCOMPARE(result, QStringLiteral("untouched"));
    QVERIFY(!dialogOpened);
    QCOMPARE(OpenDateDialogs(), 0);
}

void TestFormDate::popupAcceptsTimeAndKeepsItOnCancel()
{
    QLineEdit field;
    field.setText(QStringLiteral(" 2009-01-31 12:00:00 "));
    QString shownDay;
    WhenDialogOpens([&](Tform_date *d) {
        shownDay =
            d->year_Edit1->text() + '/' + d->moth_ComboBox1->currentText() + '/' + d->day_ComboBox2->currentText();
        TypeInto(d->day_ComboBox2->lineEdit(), QStringLiteral("5"));
        QTest::mouseClick(d->Button2, Qt::LeftButton);
    });
    PopupDate(&field);
    QCOMPARE(shownDay, QStringLiteral("2009/01/31"));
    QCOMPARE(field.text(), QStringLiteral("2009-01-31 12:00:00"));
}

void TestFormDate::popupWritesChosenDate()
{
    QLineEdit field;
    field.setText(QStringLiteral("2009-01-31 12:00:00"));
    QSignalSpy changes(&field, &QLineEdit::textChanged);
    WhenDialogOpens([&](Tform_date *d) {
        TypeInto(d->day_ComboBox2->lineEdit(), QStringLiteral("5"));
        QTest::keyClick(d->day_ComboBox2->lineEdit(), Qt::Key_Return); // Enter confirms like "确定"
    });
    PopupDate(&field);
    QCOMPARE(field.text(), QStringLiteral("2009-01-5"));
    QCOMPARE(changes.size(), 1);
}

void TestFormDate::popupButtonReportsBadText()
{
    ScopedMessageCapture capture;
    QWidget window;
    auto *field = new QLineEdit(QStringLiteral("2009-13-01"), &window);
    auto *button = new QPushButton(QStringLiteral("..."), &window);
    AttachDatePopup(button, field);
    window.show();

    QTest::mouseClick(button, Qt::LeftButton);

    QCOMPARE(capture.messages.size(), 1);
    QCOMPARE(capture.messages.first().kind, MessageKind::Plain);
    QVERIFY2(capture.lastText().startsWith(QStringLiteral("发生错误:")), qPrintable(capture.lastText()));
    QVERIFY(capture.lastText().contains(QStringLiteral("2009-13-01")));
    QCOMPARE(field->text(), QStringLiteral("2009-13-01"));
    QCOMPARE(OpenDateDialogs(), 0);
}

void TestFormDate::newDialogPerOpening()
{
    const Tform_date *first = nullptr;
    WhenDialogOpens([&](Tform_date *d) {
        first = d;
        TypeInto(d->year_Edit1, QStringLiteral("1999"));
        QTest::mouseClick(d->Button2, Qt::LeftButton);
    });
    QString result = QStringLiteral("untouched");
    QVERIFY(!PickDate(QStringLiteral("2009-01-31"), result));
    QCOMPARE(result, QStringLiteral("untouched"));
    QCOMPARE(OpenDateDialogs(), 0);

    QString year;
    WhenDialogOpens([&](Tform_date *d) {
        year = d->year_Edit1->text();
        QTest::mouseClick(d->Button1, Qt::LeftButton);
    });
    QVERIFY(PickDate(QStringLiteral("2010-06-01"), result));
    QCOMPARE(year, QStringLiteral("2010"));
    QVERIFY(first != nullptr);
    QCOMPARE(OpenDateDialogs(), 0);
}

void TestFormDate::listsOpenOnTheShownNumber_data()
{
    QTest::addColumn<bool>("month"); // the month list, else the day list
    QTest::addColumn<int>("downs");  // Down presses in the open list before Enter
    QTest::addColumn<QString>("result");
    QTest::newRow("month list, Enter at once") << true << 0 << "2009-03-07";
    QTest::newRow("month list, one down") << true << 1 << "2009-4-07";
    QTest::newRow("day list, Enter at once") << false << 0 << "2009-03-07";
    QTest::newRow("day list, one down") << false << 1 << "2009-03-8";
}

void TestFormDate::listsOpenOnTheShownNumber()
{
    QFETCH(bool, month);
    QFETCH(int, downs);
    QFETCH(QString, result);
    QString highlighted;
    WhenDialogOpens([&](Tform_date *d) {
        // Given the dialog on 2009-03-07, when a list drops down
        QComboBox *box = month ? d->moth_ComboBox1 : d->day_ComboBox2;
        box->setFocus();
        QTest::keyClick(box, Qt::Key_F4);
        QAbstractItemView *view = box->view();
        QTRY_VERIFY(view->isVisible());
        highlighted = view->currentIndex().data().toString();
        // and the keys go to the open list
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Return);
        QTRY_VERIFY(!view->isVisible());
        QTest::mouseClick(d->Button1, Qt::LeftButton);
    });
    QString picked;
    QVERIFY(PickDate(QStringLiteral("2009-03-07"), picked));
    // Then it opened on the number the box showed, and Enter on it untouched kept the text
    QCOMPARE(highlighted, month ? QStringLiteral("3") : QStringLiteral("7"));
    QCOMPARE(picked, result);
}

QTEST_MAIN(TestFormDate)
#include "tst_form_date.moc"
