#include "Tform_date.h"

#include "ReportError.h"
#include "TUpDown.h"

#include "core/DateText.h"
#include "controls/ShownItemList.h"
#include "core/Reply.h"
#include "util/DialogParts.h"
#include "util/MessageSeam.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <limits>
#include <memory>

namespace lumora
{

namespace
{

QString TwoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString FourDigits(int n)
{
    return QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
}

// The boxes show two-digit numbers ("03") beside list items without leading zeros ("3"): the list opens on the item
// of the same number.
class NumberComboBox : public QComboBox
{
public:
    using QComboBox::QComboBox;
    void showPopup() override
    {
        QComboBox::showPopup();
        bool ok = false;
        const int shown = currentText().trimmed().toInt(&ok);
        HighlightShownItem(this, ok ? findText(QString::number(shown), Qt::MatchExactly) : -1);
    }
};

QComboBox *NumberBox(QWidget *parent, int count, int visible)
{
    auto *box = new NumberComboBox(parent);
    box->setEditable(true);
    // Typed text stays as typed: no completion, and Enter must not add it to the list.
    box->setCompleter(nullptr);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (int i = 1; i <= count; ++i)
        box->addItem(QString::number(i));
    box->setMaxVisibleItems(visible);
    box->setEditText(QStringLiteral("10"));
    box->setFixedWidth(52);
    return box;
}

bool IsIntegerIn(const QString &text, int min, int max)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok && value >= min && value <= max;
}

} // namespace

Tform_date::Tform_date(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("编辑日期"));
    setFont(SimSunFont(12));

    Panel1 = new QFrame(this);
    Panel1->setFrameShape(QFrame::NoFrame);
    year_Edit1 = new QLineEdit(QStringLiteral("0"), Panel1);
    year_Edit1->setFixedWidth(56);
    UpDown1 = new TUpDown(Panel1);
    UpDown1->setRange(0, 3000);
    UpDown1->setAssociate(year_Edit1);
    Label1 = new QLabel(QStringLiteral("年"), Panel1);
    moth_ComboBox1 = NumberBox(Panel1, 12, 12);
    Label2 = new QLabel(QStringLiteral("月"), Panel1);
    day_ComboBox2 = NumberBox(Panel1, 31, 20);
    Label4 = new QLabel(QStringLiteral("日"), Panel1);

    auto *panelLayout = new QHBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(4);
    panelLayout->addWidget(year_Edit1);
    panelLayout->addWidget(UpDown1);
    panelLayout->addWidget(Label1);
    panelLayout->addSpacing(6);
    panelLayout->addWidget(moth_ComboBox1);
    panelLayout->addWidget(Label2);
    panelLayout->addSpacing(6);
    panelLayout->addWidget(day_ComboBox2);
    panelLayout->addWidget(Label4);
    panelLayout->addStretch();

    // The boxes choose month and year; the calendar's own navigation would bypass them.
    MonthCalendar1 = new QCalendarWidget(this);
    MonthCalendar1->setNavigationBarVisible(false);
    MonthCalendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    MonthCalendar1->setMinimumDate(QDate(1, 1, 1));

    Bevel1 = NewBevel(this);
    Button1 = new QPushButton(QStringLiteral("确定"), this);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("取消"), this);
    Button2->setAutoDefault(false);

    QHBoxLayout *buttons = ButtonRow({Button1, Button2});
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    layout->addWidget(Panel1);
    layout->addWidget(MonthCalendar1, 1);
    layout->addWidget(Bevel1);
    layout->addLayout(buttons);
    setFixedSize(302, 242);
    CentreOnScreen(this);

    connect(year_Edit1, &QLineEdit::textChanged, this, &Tform_date::year_Edit1Change);
    connect(moth_ComboBox1, &QComboBox::editTextChanged, this, &Tform_date::moth_ComboBox1Change);
    connect(day_ComboBox2, &QComboBox::editTextChanged, this, &Tform_date::day_ComboBox2Change);
    connect(MonthCalendar1, &QCalendarWidget::clicked, this, [this](QDate date) {
        MonthCalendar1->setSelectedDate(date);
        MonthCalendar1Click();
    });
    connect(Button1, &QPushButton::clicked, this, &Tform_date::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void Tform_date::setDate(const QDate &date)
{
    year_Edit1->setText(FourDigits(date.year()));
    moth_ComboBox1->setEditText(TwoDigits(date.month()));
    day_ComboBox2->setEditText(TwoDigits(date.day()));
}

QString Tform_date::resultText() const
{
    return year_Edit1->text().trimmed() + QLatin1Char('-') + moth_ComboBox1->currentText().trimmed() +
           QLatin1Char('-') + day_ComboBox2->currentText().trimmed();
}

bool Tform_date::setCalendarFrom(const QString &text)
{
    const std::optional<QDate> date = TextToDate(text);
    if (!date)
        return false;
    MonthCalendar1->setSelectedDate(*date);
    return true;
}

void Tform_date::FormActivate()
{
    year_Edit1Change();
    moth_ComboBox1Change();
    day_ComboBox2Change();
}

void Tform_date::year_Edit1Change()
{
    const QDate cal = MonthCalendar1->selectedDate();
    setCalendarFrom(year_Edit1->text().trimmed() + QLatin1Char('-') + TwoDigits(cal.month()) + QLatin1Char('-') +
                    TwoDigits(cal.day()));
}

void Tform_date::moth_ComboBox1Change()
{
    const QDate cal = MonthCalendar1->selectedDate();
    const QString yearMonth = FourDigits(cal.year()) + QLatin1Char('-') + moth_ComboBox1->currentText().trimmed();
    if (setCalendarFrom(yearMonth + QLatin1Char('-') + TwoDigits(cal.day())))
        return;
    // The day does not exist in the new month (31 in February): fall back to the first.
    if (setCalendarFrom(yearMonth + QStringLiteral("-01")))
        day_ComboBox2->setEditText(QStringLiteral("01"));
}

void Tform_date::day_ComboBox2Change()
{
    const QDate cal = MonthCalendar1->selectedDate();
    setCalendarFrom(FourDigits(cal.year()) + QLatin1Char('-') + TwoDigits(cal.month()) + QLatin1Char('-') +
                    day_ComboBox2->currentText().trimmed());
}

void Tform_date::MonthCalendar1Click()
{
    const QDate cal = MonthCalendar1->selectedDate();
    year_Edit1->setText(FourDigits(cal.year()));
    moth_ComboBox1->setEditText(TwoDigits(cal.month()));
    day_ComboBox2->setEditText(TwoDigits(cal.day()));
}

void Tform_date::Button1Click()
{
    const QString caption = QStringLiteral("提示");
    if (!IsIntegerIn(year_Edit1->text(), 0, std::numeric_limits<int>::max())) {
        ShowInfo(QStringLiteral("请填入有效的年份。"), caption);
        return;
    }
    if (!IsIntegerIn(moth_ComboBox1->currentText(), 1, 12)) {
        ShowInfo(QStringLiteral("请填入有效的月份。"), caption);
        return;
    }
    if (!IsIntegerIn(day_ComboBox2->currentText(), 1, 31)) {
        ShowInfo(QStringLiteral("请填入有效的日。"), caption);
        return;
    }
    accept();
}

void Tform_date::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormActivate();
}

bool PickDate(const QString &text, QString &result)
{
    const QString trimmed = text.trimmed();
    const std::optional<QDate> date = TextToDate(trimmed);
    if (!date)
        throw LumoraError(QStringLiteral("'%1' 不是有效的日期").arg(trimmed));
    auto dialog = std::make_unique<Tform_date>();
    dialog->setDate(*date);
    if (dialog->exec() != QDialog::Accepted)
        return false;
    result = dialog->resultText();
    return true;
}

QString PickFieldDate(const QString &text)
{
    const QString original = text.trimmed();
    const std::optional<QDateTime> dateTime = TextToDateTime(original);
    if (!dateTime)
        throw LumoraError(QStringLiteral("'%1' 不是有效的日期时间").arg(original));
    auto dialog = std::make_unique<Tform_date>();
    dialog->setDate(dateTime->date());
    const bool confirmed = dialog->exec() == QDialog::Accepted;
    return confirmed ? dialog->resultText() : original;
}

void PopupDate(QLineEdit *field)
{
    if (!field)
        return;
    QPointer<QLineEdit> guard(field);
    const QString chosen = PickFieldDate(field->text());
    // The field's window may have gone while the dialog was open.
    if (guard)
        guard->setText(chosen);
}

void AttachDatePopup(QAbstractButton *button, QLineEdit *field)
{
    if (!button || !field)
        return;
    QPointer<QLineEdit> target(field);
    QObject::connect(button, &QAbstractButton::clicked, field, [target] {
        if (target)
            RunReported([&] { PopupDate(target); });
    });
}

} // namespace lumora
