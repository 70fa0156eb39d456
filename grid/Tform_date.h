#pragma once

#include <QDate>
#include <QDialog>

class QCalendarWidget;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QAbstractButton;

namespace lumora
{

class TUpDown;

// "编辑日期": year, month and day boxes and a month calendar kept in step, checked on "确定". A new dialog is made
// for every opening (PickDate, PopupDate), so nothing survives between openings.
class Tform_date : public QDialog
{
    Q_OBJECT
public:
    explicit Tform_date(QWidget *parent = nullptr);

    QFrame *Panel1 = nullptr;
    QLineEdit *year_Edit1 = nullptr;
    TUpDown *UpDown1 = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *moth_ComboBox1 = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *day_ComboBox2 = nullptr;
    QLabel *Label4 = nullptr;
    QCalendarWidget *MonthCalendar1 = nullptr;
    QFrame *Bevel1 = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;

    // Year as four digits, month and day as two, into the boxes.
    void setDate(const QDate &date);
    // year + "-" + month + "-" + day, each the trimmed text of its box.
    QString resultText() const;

    void FormActivate();
    void year_Edit1Change();
    void moth_ComboBox1Change();
    void day_ComboBox2Change();
    void MonthCalendar1Click();
    void Button1Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool setCalendarFrom(const QString &text);
};

// Opens the dialog on a date text (a time part is refused). Returns true and sets result when the user confirms;
// result is left alone on Cancel. Text that is no date throws LumoraError before any dialog shows.
bool PickDate(const QString &text, QString &result);

// The dialog of a date field's "...", opened on a date text (a time part is allowed): the chosen date, or on Cancel
// the text trimmed. Text that is no date throws LumoraError before any dialog shows.
QString PickFieldDate(const QString &text);

// The "..." of a date field: opens the dialog on the field's date (a time part is allowed) and writes the chosen
// date into the field, or on Cancel the field's own text trimmed. Text that is no date throws LumoraError and leaves
// the field as it was.
void PopupDate(QLineEdit *field);

// Wires a "..." button to PopupDate of its field; a conversion error goes to ReportError.
void AttachDatePopup(QAbstractButton *button, QLineEdit *field);

} // namespace lumora
