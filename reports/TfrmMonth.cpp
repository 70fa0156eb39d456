#include "TfrmMonth.h"

#include "grid/TUpDown.h"
#include "util/DialogParts.h"
#include "util/MessageSeam.h"

#include <QComboBox>
#include <QDate>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumora
{

TfrmMonth::TfrmMonth(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("选择月份"));
    setFont(SimSunFont(12));
    const QFont labelFont = SimSunFont(15);

    const QDate today = QDate::currentDate();
    year1 = new QLineEdit(this);
    year1->setFixedWidth(64);
    UpDown1 = new TUpDown(this);
    UpDown1->setRange(0, 3000);
    UpDown1->setAssociate(year1);
    UpDown1->setPosition(today.year());
    Label1 = new QLabel(QStringLiteral("年"), this);
    Label1->setFont(labelFont);
    month1 = new QComboBox(this);
    month1->setEditable(true);
    month1->setCompleter(nullptr);
    month1->setInsertPolicy(QComboBox::NoInsert);
    for (int m = 1; m <= 12; ++m)
        month1->addItem(QString::number(m));
    month1->setMaxVisibleItems(12);
    month1->setEditText(QString::number(today.month()));
    month1->setFixedWidth(52);
    Label2 = new QLabel(QStringLiteral("月"), this);
    Label2->setFont(labelFont);

    Bevel1 = NewBevel(this);
    Button1 = new QPushButton(QStringLiteral("确定"), this);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("取消"), this);
    Button2->setAutoDefault(false);

    auto *fields = new QHBoxLayout;
    fields->setSpacing(4);
    fields->addStretch();
    fields->addWidget(year1);
    fields->addWidget(UpDown1);
    fields->addWidget(Label1);
    fields->addSpacing(8);
    fields->addWidget(month1);
    fields->addWidget(Label2);
    fields->addStretch();
    QHBoxLayout *buttons = ButtonRow({Button1, Button2});
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 14, 10, 10);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addWidget(Bevel1);
    layout->addLayout(buttons);
    setFixedSize(207, 119);
    CentreOnScreen(this);
    setTabOrder(year1, month1);
    year1->setFocus();

    connect(Button1, &QPushButton::clicked, this, &TfrmMonth::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

QString TfrmMonth::yearText() const
{
    return year1->text().trimmed();
}

QString TfrmMonth::monthText() const
{
    return month1->currentText().trimmed();
}

void TfrmMonth::Button1Click()
{
    bool ok = false;
    const int year = yearText().toInt(&ok);
    if (!ok || year < 0) {
        ShowInfo(QStringLiteral("请填入有效的年份。"), QStringLiteral("提示"));
        return;
    }
    const int month = monthText().toInt(&ok);
    if (!ok || month < 1 || month > 12) {
        ShowInfo(QStringLiteral("请填入有效的月份。"), QStringLiteral("提示"));
        return;
    }
    accept();
}

} // namespace lumora
