#include "TfrmAdd.h"

#include "Tform_date.h"
#include "controls/Align.h"
#include "controls/SkinImages.h"
#include "controls/TColorBorderComboBox.h"
#include "controls/TColorBorderEdit.h"
#include "controls/TColorCheckBox.h"
#include "controls/TImagePanel.h"
#include "controls/TPNGButtonEx.h"
#include "lists/CategoryList.h"

#include "core/Conversions.h"
#include "core/DateText.h"
#include "core/HttpThreadControl.h"
#include "core/NetSta.h"
#include "core/Protocol.h"
#include "core/Session.h"
#include "util/DialogParts.h"
#include "util/MessageSeam.h"

#include <QDate>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace lumora
{

namespace
{

const QColor kOrange(0xFF, 0x80, 0x00); // TColor 33023

QString line(const QString &name, const QString &value)
{
    return name + QLatin1Char('=') + value + QStringLiteral("\r\n");
}

QLabel *fieldLabel(const QString &text, int y, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(10, y, 76, 24);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

TPNGButtonEx *textButton(const QString &caption, QWidget *parent)
{
    auto *b = new TPNGButtonEx(parent);
    b->setCaption(caption);
    b->setButtonLayout(TPNGButtonEx::pbsImageBackground);
    b->setImageNormal(SkinImage(QStringLiteral("text_button_normal")));
    b->setImageDown(SkinImage(QStringLiteral("text_button_down")));
    b->setImageOver(SkinImage(QStringLiteral("text_button_over")));
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

} // namespace

TfrmAdd::TfrmAdd(QWidget *parent) : TFormVSkin(parent)
{
    FormCreate();
}

TfrmAdd::~TfrmAdd() = default;

void TfrmAdd::FormCreate()
{
    setWindowTitle(QStringLiteral("新增"));
    setCloseOnEscape(true);

    pnlBody = new TImagePanel(pnlClient);
    pnlBody->setObjectName(QStringLiteral("pnlBody"));
    pnlBody->setBevelOuter(TImagePanel::bvNone);
    pnlBody->setColor(Qt::white);
    setAlign(pnlBody, Align::Client);

    const int x = 96, w = 180;
    fieldLabel(QStringLiteral("名称"), 24, pnlBody);
    name1 = new TColorBorderEdit(pnlBody);
    name1->setObjectName(QStringLiteral("name1"));
    name1->setGeometry(x, 24, w, 24);
    fieldLabel(QStringLiteral("金额"), 64, pnlBody);
    money1 = new TColorBorderEdit(pnlBody);
    money1->setObjectName(QStringLiteral("money1"));
    money1->setGeometry(x, 64, w, 24);
    PNGButtonEx1 = textButton(QStringLiteral("+1"), pnlBody);
    PNGButtonEx2 = textButton(QStringLiteral("+10"), pnlBody);
    PNGButtonEx3 = textButton(QStringLiteral("+100"), pnlBody);
    PNGButtonEx1->setGeometry(x, 94, 56, 25);
    PNGButtonEx2->setGeometry(x + 62, 94, 56, 25);
    PNGButtonEx3->setGeometry(x + 124, 94, 56, 25);
    fieldLabel(QStringLiteral("收入/支出"), 134, pnlBody);
    in1 = new TColorBorderComboBox(pnlBody);
    in1->setObjectName(QStringLiteral("in1"));
    in1->setGeometry(x, 134, w, 24);
    in1->addItems({QStringLiteral("收入"), QStringLiteral("支出")});
    in1->setCurrentIndex(1);
    fieldLabel(QStringLiteral("分类"), 174, pnlBody);
    type1 = new TColorBorderComboBox(pnlBody);
    type1->setObjectName(QStringLiteral("type1"));
    type1->setGeometry(x, 174, w - 28, 24);
    type1->setEditable(true);
    type1->setInsertPolicy(QComboBox::NoInsert);
    type1->setMaxVisibleItems(20);
    type1_add = new QLabel(QStringLiteral("+"), pnlBody);
    type1_add->setObjectName(QStringLiteral("type1_add"));
    type1_add->setToolTip(QStringLiteral("增加新的类型"));
    type1_add->setCursor(Qt::PointingHandCursor);
    type1_add->setAlignment(Qt::AlignCenter);
    type1_add->setGeometry(x + w - 24, 174, 24, 24);
    type1_add->setStyleSheet(QStringLiteral("color: white; background: #FF8000; font-weight: bold;"));
    type1_add->installEventFilter(this);
    fieldLabel(QStringLiteral("时间"), 214, pnlBody);
    create_time = new TColorBorderEdit(pnlBody);
    create_time->setObjectName(QStringLiteral("create_time"));
    create_time->setGeometry(x, 214, w, 24);
    create_time->setTextMargins(0, 0, 34, 0);
    create_time_POP = new QPushButton(QStringLiteral("..."), create_time);
    create_time_POP->setObjectName(QStringLiteral("create_time_POP"));
    create_time_POP->setGeometry(w - 33 - 2, 2, 33, 20);
    create_time_POP->setAutoDefault(false);
    create_time_POP->setFocusPolicy(Qt::NoFocus);
    create_time_POP->setCursor(Qt::PointingHandCursor);
    create_time_POP->setStyleSheet(QStringLiteral("QPushButton { color: white; background: #FF8000; border: none; }"));
    for (TColorBorderEdit *edit : {name1, money1, create_time})
        edit->setBorderColor(kOrange);
    for (TColorBorderComboBox *box : {in1, type1})
        box->setBorderColor(kOrange);

    auto *buttonPanel = new TImagePanel(pnlBody);
    buttonPanel->setBevelOuter(TImagePanel::bvNone);
    buttonPanel->setColor(QColor(0xD5, 0xD0, 0xCA)); // colour 13291989
    buttonPanel->setGeometry(20, 262, 265, 50);
    btnNew2 = textButton(QStringLiteral("确定"), buttonPanel);
    btnNew2->setObjectName(QStringLiteral("btnNew2"));
    btnNew2->setGeometry(96, 12, 72, 25);
    chkClose = new TColorCheckBox(QStringLiteral("成功后不关闭"), pnlBody);
    chkClose->setObjectName(QStringLiteral("chkClose"));
    chkClose->setColor(Qt::white);
    chkClose->setToolTip(QStringLiteral("适合连续添加多条记录,避免每次都要弹出此窗口"));
    chkClose->setGeometry(x, 326, 150, 17);

    for (QWidget *field : {static_cast<QWidget *>(name1), static_cast<QWidget *>(money1), static_cast<QWidget *>(in1),
                           static_cast<QWidget *>(type1), static_cast<QWidget *>(type1->lineEdit()),
                           static_cast<QWidget *>(create_time)})
        field->installEventFilter(this);

    connect(PNGButtonEx1, &TPNGButtonEx::OnClick, this, [this] { AddToAmount(1); });
    connect(PNGButtonEx2, &TPNGButtonEx::OnClick, this, [this] { AddToAmount(10); });
    connect(PNGButtonEx3, &TPNGButtonEx::OnClick, this, [this] { AddToAmount(100); });
    connect(btnNew2, &TPNGButtonEx::OnClick, this, &TfrmAdd::SaveAdd);
    AttachDatePopup(create_time_POP, create_time);

    httpSave = new THttpThreadControl(this);
    httpSave->ReadTimeout = 20000;
    httpSave->OnHttpData = [this](THttpThreadControl *http) { httpSaveHttpData(http); };
    httpSave->OnHttpError = [this](THttpThreadControl *http, const QString &err) { httpSaveHttpError(http, err); };

    TFormVSkin::FormCreate();
    UsePlainCaption(false);
    // The frameless window's outer size: the caption bar is part of it.
    resize(307, 449);
    CentreOnScreen(this);
    create_time->setText(DateToText(QDate::currentDate()));
}

void TfrmAdd::PrepareAdd()
{
    btnNew2->setEnabled(true);
    type1->clear();
    type1->addItems(SplitCategoryLines(CategoryListText));
    type1->setEditText(FirstCategory(CategoryListText));
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
            return TFormVSkin::eventFilter(watched, event);
        // Acted on at release; the press is swallowed so that no list drops down and no button fires.
        if (event->type() == QEvent::KeyRelease && !key->isAutoRepeat())
            EnterPressed(watched);
        return true;
    }
    return TFormVSkin::eventFilter(watched, event);
}

} // namespace lumora
