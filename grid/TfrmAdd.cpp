#include "TfrmAdd.h"

#include "core/Conversions.h"
#include "core/DateText.h"
#include "core/HttpThreadControl.h"
#include "core/NetSta.h"
#include "core/Protocol.h"
#include "core/Session.h"
#include "util/MessageSeam.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumora
{

namespace
{

constexpr auto kOrange = "#FF8000"; // TColor 33023

QString line(const QString &name, const QString &value)
{
    return name + QLatin1Char('=') + value + QStringLiteral("\r\n");
}

QString borderStyle(const char *type)
{
    return QStringLiteral("%1 { border: 1px solid %2; background: white; min-height: 22px; }").arg(type, kOrange);
}

} // namespace

TfrmAdd::TfrmAdd(QWidget *parent) : QDialog(parent)
{
    FormCreate();
}

TfrmAdd::~TfrmAdd() = default;

void TfrmAdd::FormCreate()
{
    setWindowTitle(QStringLiteral("新增"));
    resize(307, 449);

    pnlClient = new QWidget(this);
    pnlClient->setObjectName(QStringLiteral("pnlClient"));
    pnlClient->setAutoFillBackground(true);
    pnlClient->setStyleSheet(QStringLiteral("#pnlClient { background: white; }") + borderStyle("QLineEdit") +
                             borderStyle("QComboBox"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(pnlClient);

    auto *form = new QFormLayout;
    name1 = new QLineEdit;
    name1->setObjectName(QStringLiteral("name1"));
    money1 = new QLineEdit;
    money1->setObjectName(QStringLiteral("money1"));
    PNGButtonEx1 = new QPushButton(QStringLiteral("+1"));
    PNGButtonEx2 = new QPushButton(QStringLiteral("+10"));
    PNGButtonEx3 = new QPushButton(QStringLiteral("+100"));
    auto *amountButtons = new QHBoxLayout;
    for (QPushButton *b : {PNGButtonEx1, PNGButtonEx2, PNGButtonEx3}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
        b->setFixedWidth(50);
        amountButtons->addWidget(b);
    }
    amountButtons->addStretch();
    in1 = new QComboBox;
    in1->setObjectName(QStringLiteral("in1"));
    in1->addItems({QStringLiteral("收入"), QStringLiteral("支出")});
    in1->setCurrentIndex(1);
    type1 = new QComboBox;
    type1->setObjectName(QStringLiteral("type1"));
    type1->setEditable(true);
    type1->setMaxVisibleItems(20);
    type1->setInsertPolicy(QComboBox::NoInsert);
    type1_add = new QLabel(QStringLiteral("+"));
    type1_add->setToolTip(QStringLiteral("增加新的类型"));
    type1_add->setCursor(Qt::PointingHandCursor);
    type1_add->setAlignment(Qt::AlignCenter);
    type1_add->setFixedSize(24, 24);
    type1_add->installEventFilter(this);
    auto *typeRow = new QHBoxLayout;
    typeRow->addWidget(type1, 1);
    typeRow->addWidget(type1_add);
    create_time = new QLineEdit;
    create_time->setObjectName(QStringLiteral("create_time"));
    create_time_POP = new QPushButton(QStringLiteral("..."));
    create_time_POP->setAutoDefault(false);
    create_time_POP->setFocusPolicy(Qt::NoFocus);
    create_time_POP->setFixedWidth(33);
    create_time_POP->setStyleSheet(
        QStringLiteral("QPushButton { color: white; background: %1; border: none; }").arg(kOrange));
    auto *dateRow = new QHBoxLayout;
    dateRow->setSpacing(0);
    dateRow->addWidget(create_time, 1);
    dateRow->addWidget(create_time_POP);

    form->addRow(QStringLiteral("名称"), name1);
    form->addRow(QStringLiteral("金额"), money1);
    form->addRow(QString(), amountButtons);
    form->addRow(QStringLiteral("收入/支出"), in1);
    form->addRow(QStringLiteral("分类"), typeRow);
    form->addRow(QStringLiteral("时间"), dateRow);

    btnNew2 = new QPushButton(QStringLiteral("确定"));
    btnNew2->setAutoDefault(false);
    btnNew2->setMinimumHeight(30);
    auto *buttonPanel = new QWidget;
    buttonPanel->setObjectName(QStringLiteral("buttonPanel"));
    buttonPanel->setStyleSheet(QStringLiteral("#buttonPanel { background: #D5D0CA; }")); // colour 13291989
    auto *buttonRow = new QHBoxLayout(buttonPanel);
    buttonRow->addStretch();
    buttonRow->addWidget(btnNew2);
    buttonRow->addStretch();
    chkClose = new QCheckBox(QStringLiteral("成功后不关闭"));
    chkClose->setToolTip(QStringLiteral("适合连续添加多条记录,避免每次都要弹出此窗口"));

    auto *column = new QVBoxLayout(pnlClient);
    column->addLayout(form);
    column->addWidget(buttonPanel);
    column->addWidget(chkClose);
    column->addStretch();

    for (QWidget *field : {static_cast<QWidget *>(name1), static_cast<QWidget *>(money1), static_cast<QWidget *>(in1),
                           static_cast<QWidget *>(type1), static_cast<QWidget *>(type1->lineEdit()),
                           static_cast<QWidget *>(create_time)})
        field->installEventFilter(this);

    connect(PNGButtonEx1, &QPushButton::clicked, this, [this] { AddToAmount(1); });
    connect(PNGButtonEx2, &QPushButton::clicked, this, [this] { AddToAmount(10); });
    connect(PNGButtonEx3, &QPushButton::clicked, this, [this] { AddToAmount(100); });
    connect(btnNew2, &QPushButton::clicked, this, &TfrmAdd::SaveAdd);
    connect(create_time_POP, &QPushButton::clicked, this, [this] {
        if (OpenDatePopup)
            OpenDatePopup(create_time);
    });

    httpSave = new THttpThreadControl(this);
    httpSave->ReadTimeout = 20000;
    httpSave->OnHttpData = [this](THttpThreadControl *http) { httpSaveHttpData(http); };
    httpSave->OnHttpError = [this](THttpThreadControl *http, const QString &err) { httpSaveHttpError(http, err); };

    create_time->setText(DateToText(QDate::currentDate()));
}

void TfrmAdd::PrepareAdd(const QString &categoryListText)
{
    btnNew2->setEnabled(true);
    QString text = categoryListText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList items = text.split(QLatin1Char('\n'));
    if (!items.isEmpty() && items.last().isEmpty())
        items.removeLast();
    type1->clear();
    type1->addItems(items);
    const int cr = categoryListText.indexOf(QLatin1Char('\r'));
    type1->setEditText(cr < 0 ? categoryListText : categoryListText.left(cr));
    money1->clear();
    name1->clear();
    Saved = false;
}

QString TfrmAdd::AmountPlus(const QString &amountText, double n)
{
    bool ok = false;
    double value = amountText.trimmed().toDouble(&ok);
    if (!ok)
        value = 0;
    return QString::number(value + n, 'g', 15);
}

void TfrmAdd::AddToAmount(double n)
{
    money1->setText(AmountPlus(money1->text(), n));
}

QString TfrmAdd::SaveLines(const TItemInfo &info)
{
    return line(QStringLiteral("name1"), info.name1) + line(QStringLiteral("money1"), info.money1) +
           line(QStringLiteral("in1"), info.in1) + line(QStringLiteral("type1"), info.type1) +
           line(QStringLiteral("create_time"), info.create_time) + line(QStringLiteral("year1"), info.year1) +
           line(QStringLiteral("month1"), info.month1) + line(QStringLiteral("day1"), info.day1) +
           line(QStringLiteral("date1"), info.year1 + QLatin1Char('-') + info.month1 + QLatin1Char('-') + info.day1) +
           line(QStringLiteral("id_guid"), info.id_guid);
}

void TfrmAdd::SaveAdd()
{
    const QString dateText = ToHalfWidth(create_time->text());
    const std::optional<QDateTime> date = TextToDateTime(dateText);
    if (!date) {
        ShowMessage(QStringLiteral("日期格式错误."));
        return;
    }
    Info.year1 = QString::number(date->date().year());
    Info.month1 = QString::number(date->date().month());
    Info.day1 = QString::number(date->date().day());

    QString body = SessionBlock() + protocol::ActionAdd + QStringLiteral("\r\n") +
                   line(QStringLiteral("user_name"), SessionUser) + line(QStringLiteral("user_pass"), SessionPassword) +
                   line(QStringLiteral("input_user"), SessionInputUser);
    if (Info.id_guid.isEmpty())
        Info.id_guid = NewRecordId();
    Info.name1 = name1->text();
    Info.money1 = ToHalfWidth(money1->text());
    Info.in1 = InOutToCode(in1->currentText());
    Info.type1 = type1->currentText();
    Info.create_time = dateText;
    body += SaveLines(Info);

    btnNew2->setEnabled(false);
    httpSave->Post(ServiceBaseUrl + protocol::ScriptPost, body);
    ShowBusy();
}

void TfrmAdd::httpSaveHttpData(THttpThreadControl *http)
{
    btnNew2->setEnabled(true);
    HideBusy();
    if (!IsReplyOk(http))
        return; // the fields and id_guid stay, so "确定" re-sends the same record
    if (OnRecordSaved)
        OnRecordSaved();
    // Saved before closing: closing a dialog reports to its opener at once.
    Info.id_guid = NewRecordId();
    Saved = true;
    if (!chkClose->isChecked())
        accept();
}

void TfrmAdd::httpSaveHttpError(THttpThreadControl *, const QString &)
{
    // Left unhandled, the button would stay disabled and the busy window shown with no word to the user.
    HideBusy();
    btnNew2->setEnabled(true);
    ShowMessage(QStringLiteral("网络错误."));
}

void TfrmAdd::EnterPressed(QObject *field)
{
    if (field == name1) {
        money1->setFocus();
    } else if (field == money1) {
        in1->setFocus();
    } else if (field == in1) {
        type1->setFocus();
    } else if (field == type1 || field == type1->lineEdit()) {
        create_time->setFocus();
    } else if (field == create_time) {
        name1->setFocus();
        SaveAdd();
    }
}

bool TfrmAdd::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == type1_add && event->type() == QEvent::MouseButtonRelease) {
        if (OpenCategoryDialog)
            OpenCategoryDialog();
        return true;
    }
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return QDialog::eventFilter(watched, event);
        // Acted on at release; the press is swallowed so that no list drops down and no button fires.
        if (event->type() == QEvent::KeyRelease && !key->isAutoRepeat())
            EnterPressed(watched);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace lumora
