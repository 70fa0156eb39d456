#include "TfrmTCLine.h"

#include "RecordRequests.h"
#include "ReportError.h"
#include "Tform_date.h"
#include "TfrmVGrid.h"
#include "VGridMath.h"

#include "core/Conversions.h"
#include "core/DateText.h"
#include "core/HttpThreadControl.h"
#include "core/NetSta.h"
#include "core/Protocol.h"
#include "core/Session.h"
#include "lists/CategoryList.h"
#include "util/Helpers.h"
#include "util/MessageSeam.h"

#include "controls/TColorBorderComboBox.h"
#include "controls/TImagePanel.h"
#include "controls/TPNGButtonEx.h"
#include "lists/CategoryBox.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QUrl>

namespace lumora
{

namespace
{

const QString kModified = QStringLiteral("已修改,请及时保存");
const QString kSaving = QStringLiteral("数据保存中...");
const QColor kOrange(255, 128, 0);       // TColor 33023
const QColor kSilver(192, 192, 192);     // clSilver
const QColor kStatusCell(240, 240, 240); // TColor 15790320

// The category box refills its list from the category text each time it drops down.
class DropDownComboBox : public TColorBorderComboBox
{
public:
    using TColorBorderComboBox::TColorBorderComboBox;
    std::function<void()> OnDropDown;
    void showPopup() override
    {
        if (OnDropDown)
            OnDropDown();
        TColorBorderComboBox::showPopup();
    }
};

TImagePanel *NewCell(QWidget *parent, const char *name, int x, int width, const QColor &color = Qt::white)
{
    auto *cell = new TImagePanel(parent);
    cell->setObjectName(QLatin1String(name));
    cell->setBevelOuter(TImagePanel::bvNone);
    cell->setColor(color);
    cell->setBorderWidth(1);
    cell->setBorderColor(kSilver);
    cell->setBorderBrawKinds(TImagePanel::bbkTop | TImagePanel::bbkRight);
    // The bottom two pixels stay free for the line's orange mark of the active line.
    cell->setGeometry(x, 0, width, TfrmTCLine::LineHeight - 2);
    return cell;
}

// Text and current item together, so the list drops down on what the box shows.
void ShowInBox(QComboBox *box, const QString &text)
{
    box->setCurrentIndex(box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    box->setEditText(text);
}

TColorBorderComboBox *SetupBox(TColorBorderComboBox *box, const char *name, const QRect &geometry)
{
    box->setObjectName(QLatin1String(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setGeometry(geometry);
    box->setBorderColor(box->color()); // the frame shows only while the box has the focus
    return box;
}

QLineEdit *NewEdit(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setFrame(false);
    edit->setGeometry(geometry);
    return edit;
}

TPNGButtonEx *NewButton(QWidget *parent, const char *name, const QString &caption, const QString &hint,
                        const QRect &geometry)
{
    auto *button = new TPNGButtonEx(parent);
    button->setObjectName(QLatin1String(name));
    button->setCaption(caption);
    button->setToolTip(hint);
    button->setButtonLayout(TPNGButtonEx::pbsImageBackground);
    button->setGeometry(geometry);
    return button;
}

void SetTextColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::ButtonText, color);
    widget->setPalette(palette);
}

struct BindingGuard {
    explicit BindingGuard(bool &flag) : flag_(flag) { flag_ = true; }
    ~BindingGuard() { flag_ = false; }
    bool &flag_;
};

} // namespace

TfrmTCLine::TfrmTCLine(TfrmVGrid *grid, QWidget *parent) : QWidget(parent), grid_(grid)
{
    setObjectName(QStringLiteral("frmTCLine"));
    BuildLayout();
    Info.IsNew = false;
    Binding = false;
}

TfrmTCLine::~TfrmTCLine() = default;

void TfrmTCLine::BuildLayout()
{
    setFixedHeight(LineHeight);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    QFont font(QStringLiteral("SimSun"));
    font.setPixelSize(14);
    setFont(font);

    pnlLine = new TImagePanel(this);
    pnlLine->setObjectName(QStringLiteral("pnlLine"));
    pnlLine->setBevelOuter(TImagePanel::bvNone);
    pnlLine->setColor(Qt::white);
    pnlLine->setBorderWidth(0);
    pnlLine->setBorderColor(kOrange);
    pnlLine->setBorderBrawKinds(TImagePanel::bbkBottom);
    pnlLine->setGeometry(0, 0, LineWidth, LineHeight);

    const int fieldTop = 4;
    const int fieldHeight = LineHeight - 8;

    pnlName1 = NewCell(pnlLine, "pnlName1", 0, 185);
    conNew = new QLabel(QStringLiteral("*"), pnlName1);
    conNew->setObjectName(QStringLiteral("conNew"));
    conNew->setGeometry(2, fieldTop, 8, fieldHeight);
    conNew->hide();
    txtIndex = new QLabel(pnlName1);
    txtIndex->setObjectName(QStringLiteral("txtIndex"));
    txtIndex->setGeometry(10, fieldTop, 32, fieldHeight);
    SetTextColor(txtIndex, Qt::gray);
    name1 = NewEdit(pnlName1, "name1", QRect(42, fieldTop, 140, fieldHeight));
    auto *select = new QWidget(pnlName1); // cgkSelect: a check box that stays hidden
    select->setObjectName(QStringLiteral("cgkSelect"));
    select->hide();

    ImagePanel4 = NewCell(pnlLine, "ImagePanel4", 185, 88);
    money1 = NewEdit(ImagePanel4, "money1", QRect(3, fieldTop, 82, fieldHeight));

    ImagePanel2 = NewCell(pnlLine, "ImagePanel2", 273, 88);
    in1 = SetupBox(new TColorBorderComboBox(ImagePanel2), "in1", QRect(3, fieldTop, 82, fieldHeight));
    in1->addItems({QStringLiteral("收入"), QStringLiteral("支出")});
    in1_tag = new QLabel(QStringLiteral("*"), ImagePanel2);
    in1_tag->setObjectName(QStringLiteral("in1_tag"));
    SetTextColor(in1_tag, kOrange);
    in1_tag->setGeometry(0, 0, 8, 10);
    in1_tag->hide();

    ImagePanel1 = NewCell(pnlLine, "ImagePanel1", 361, 104);
    auto *categories = new DropDownComboBox(ImagePanel1);
    categories->OnDropDown = [this] { type1DropDown(); };
    type1 = SetupBox(categories, "type1", QRect(3, fieldTop, 80, fieldHeight));
    type1->setMaxVisibleItems(20);
    type1_add = NewButton(ImagePanel1, "type1_add", QStringLiteral("+"), QStringLiteral("增加新的类型"),
                          QRect(84, fieldTop, 18, fieldHeight));
    SetTextColor(type1_add, kOrange);
    type1_add->hide();

    ImagePanel5 = NewCell(pnlLine, "ImagePanel5", 465, 112);
    create_time = NewEdit(ImagePanel5, "create_time", QRect(3, fieldTop, 106, fieldHeight));
    create_time_POP = NewButton(ImagePanel5, "create_time_POP", QStringLiteral("..."), QString(),
                                QRect(89, fieldTop, 20, fieldHeight));
    SetTextColor(create_time_POP, Qt::white);
    create_time_POP->setAutoFillBackground(true);
    QPalette orange = create_time_POP->palette();
    orange.setColor(QPalette::Window, kOrange);
    create_time_POP->setPalette(orange);
    create_time_POP->hide();

    ImagePanel6 = NewCell(pnlLine, "ImagePanel6", 577, 232, kStatusCell);
    btnSave =
        NewButton(ImagePanel6, "btnSave", QStringLiteral("保存"),
                  QStringLiteral("保存 - 点击此按钮将修改的数据保存到网络上"), QRect(2, fieldTop, 36, fieldHeight));
    btnSave->hide();
    txtSave = new QLabel(ImagePanel6);
    txtSave->setObjectName(QStringLiteral("txtSave"));
    txtSave->setGeometry(40, fieldTop, 108, fieldHeight);
    input_user = new QLabel(ImagePanel6);
    input_user->setObjectName(QStringLiteral("input_user"));
    input_user->setGeometry(150, fieldTop, 40, fieldHeight);
    is_lock = NewButton(ImagePanel6, "is_lock", QStringLiteral("锁"), QStringLiteral("记录已锁定 - 不能再修改"),
                        QRect(190, fieldTop, 18, fieldHeight));
    is_lock->hide();
    PNGButtonEx1 =
        NewButton(ImagePanel6, "PNGButtonEx1", QStringLiteral("▼"), QStringLiteral("更多功能 - 点击显示更多的显示菜单"),
                  QRect(210, fieldTop, 20, fieldHeight));
    id = new QLabel(ImagePanel6);
    id->setObjectName(QStringLiteral("id"));
    id->hide();

    PopupMenu_more = new QMenu(this);
    PopupMenu_more->setObjectName(QStringLiteral("PopupMenu_more"));
    N_SumMonth = PopupMenu_more->addAction(QStringLiteral("重新统计本月数据"));
    PopupMenu_more->addSeparator();
    N_LockRec = PopupMenu_more->addAction(QStringLiteral("锁定本记录"));
    N4 = PopupMenu_more->addAction(QStringLiteral("锁定本月合计"));
    N1 = PopupMenu_more->addAction(QStringLiteral("申请解锁(只能整月解锁)"));
    connect(N_SumMonth, &QAction::triggered, this, &TfrmTCLine::N_SumMonthClick);
    connect(N_LockRec, &QAction::triggered, this, &TfrmTCLine::LockRecord);
    connect(N4, &QAction::triggered, this, &TfrmTCLine::N4Click);
    connect(N1, &QAction::triggered, this, &TfrmTCLine::N1Click);

    connect(btnSave, &TPNGButtonEx::OnClick, this, &TfrmTCLine::btnSaveClick);
    connect(PNGButtonEx1, &TPNGButtonEx::OnClick, this, &TfrmTCLine::PNGButtonEx1Click);
    connect(type1_add, &TPNGButtonEx::OnClick, this, &TfrmTCLine::type1_addClick);
    connect(create_time_POP, &TPNGButtonEx::OnClick, this, &TfrmTCLine::create_time_POPClick);

    for (QLineEdit *edit : {name1, money1, create_time})
        connect(edit, &QLineEdit::textChanged, this, [this, edit] { FieldChanged(edit); });
    for (TColorBorderComboBox *box : {in1, type1})
        connect(box, &QComboBox::editTextChanged, this, [this, box] { FieldChanged(box); });
    for (QWidget *field : std::initializer_list<QWidget *>{name1, money1, in1, type1, create_time})
        field->installEventFilter(this);
}

void TfrmTCLine::Bind()
{
    BindingGuard guard(Binding);
    txtIndex->setText(QString::number(RecordIndex + 1));
    name1->setText(Info.name1);
    input_user->setText(Info.input_user);
    input_user->setToolTip(QStringLiteral("本条记录输入者为: ") + Info.input_user);
    id->setText(Info.id);
    create_time->setText(Info.create_time);
    ShowInBox(type1, Info.type1);
    ShowInBox(in1, CodeToInOut(Info.in1));
    in1_tag->setVisible(in1->currentText() == QStringLiteral("收入"));
    money1->setText(Info.money1);
    is_lock->setVisible(Info.is_lock == QStringLiteral("1"));
    conNew->setVisible(Info.IsNew);
    txtSave->setText(Info.StatusText);
    txtSave->setToolTip(Info.StatusText);
    if (grid_->ActiveRecordIndex == RecordIndex) {
        if (QWidget *field = FindControlByName(this, grid_->ActiveFieldName))
            field->setFocus();
    }
}

void TfrmTCLine::SetActiveLook(bool active)
{
    // The active line has the save button and a 2-pixel orange line along its bottom.
    btnSave->setVisible(active);
    pnlLine->setBorderWidth_v(active ? 2 : 0);
    pnlLine->update();
    conNew->setVisible(Info.IsNew);
}

void TfrmTCLine::Activate()
{
    TfrmTCLine *previous = grid_->ActiveLineEditor.data();
    if (previous != this) {
        SetActiveLook(true);
        if (previous)
            previous->SetActiveLook(false);
    }
    grid_->ActiveLineEditor = this;
    grid_->ActiveRecordIndex = RecordIndex;
}

void TfrmTCLine::Commit(bool modified)
{
    if (modified)
        Info.StatusText = kModified;
    Info.Modified = modified;
    if (RecordIndex >= 0 && RecordIndex < grid_->RecordCount())
        grid_->RecordList[RecordIndex] = Info;
}

void TfrmTCLine::RefreshStatus()
{
    txtSave->setText(Info.StatusText);
    txtSave->setToolTip(Info.StatusText);
}

void TfrmTCLine::SetStatus(const QString &status)
{
    txtSave->setText(status);
    txtSave->setToolTip(status);
    Info.StatusText = status;
}

void TfrmTCLine::FieldChanged(QWidget *field)
{
    if (Binding)
        return;
    RefreshStatus();
    if (field == name1)
        Info.name1 = name1->text();
    else if (field == money1)
        Info.money1 = money1->text();
    else if (field == in1)
        Info.in1 = InOutToCode(in1->currentText());
    else if (field == type1)
        Info.type1 = type1->currentText();
    else if (field == create_time)
        Info.create_time = create_time->text();
    // The date commits like every other field, so a changed date reaches the record list and counts as unsaved.
    Commit(true);
}

void TfrmTCLine::FieldEnter(QWidget *field)
{
    grid_->ActiveFieldName = field->objectName();
    Activate();
    if (field == money1)
        btnSave->show();
    else if (field == in1 || field == type1)
        static_cast<TColorBorderComboBox *>(field)->setBorderColor(kOrange);
    if (field == type1)
        type1_add->show();
    else if (field == create_time)
        create_time_POP->show();
}

void TfrmTCLine::FieldExit(QWidget *field)
{
    if (field == in1 || field == type1) {
        auto *box = static_cast<TColorBorderComboBox *>(field);
        box->setBorderColor(box->color());
    }
    if (field == type1)
        type1_add->hide();
    else if (field == create_time)
        create_time_POP->hide();
}

void TfrmTCLine::FocusField(QWidget *field)
{
    field->setFocus();
}

bool TfrmTCLine::eventFilter(QObject *watched, QEvent *event)
{
    auto *field = qobject_cast<QWidget *>(watched);
    if (!field)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        FieldEnter(field);
        break;
    case QEvent::FocusOut:
        // The focus moving into the box's own open list is no leaving of the field.
        if (OwnListOpen(field))
            break;
        FieldExit(field);
        break;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down)
            return grid_->PreviewArrowKey(key);
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true; // acted on when released
        if (FieldKeyDown(field, key))
            return true;
        break;
    }
    case QEvent::KeyRelease: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            break;
        // A held Enter sends a release with every repeat; only the key coming up moves on.
        if (key->isAutoRepeat())
            return true;
        if (FieldKeyUp(field, key->key()))
            return true;
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool TfrmTCLine::FieldKeyDown(QWidget *field, int key)
{
    if (key != Qt::Key_Left && key != Qt::Key_Right)
        return false;
    const bool left = key == Qt::Key_Left;
    auto atStart = [](QLineEdit *edit) { return !edit->hasSelectedText() && edit->cursorPosition() == 0; };
    auto atEnd = [](QLineEdit *edit) {
        return !edit->hasSelectedText() && edit->cursorPosition() >= edit->text().size();
    };
    QWidget *target = nullptr;
    if (field == name1) {
        if (!left && atEnd(name1))
            target = money1;
    } else if (field == money1) {
        if (left && atStart(money1))
            target = name1;
        else if (!left && atEnd(money1))
            target = in1;
    } else if (field == in1) {
        target = left ? static_cast<QWidget *>(money1) : type1;
    } else if (field == type1) {
        target = left ? static_cast<QWidget *>(in1) : create_time;
    } else if (field == create_time) {
        if (left && atStart(create_time))
            target = type1;
    }
    if (!target)
        return false;
    FocusField(target);
    return true;
}

bool TfrmTCLine::FieldKeyUp(QWidget *field, int)
{
    if (field == name1) {
        FocusField(money1);
    } else if (field == money1) {
        FocusField(in1);
        in1->showPopup();
    } else if (field == in1) {
        FocusField(type1);
        type1->showPopup();
    } else if (field == type1) {
        FocusField(create_time);
    } else if (field == create_time) {
        SaveAndAdvance();
    } else {
        return false;
    }
    return true;
}

bool TfrmTCLine::OwnListOpen(QWidget *field) const
{
    // Asked while the list opens, before it counts as visible: the open popup is the list's own window.
    const auto *box = qobject_cast<QComboBox *>(field);
    return box && box->view() && QApplication::activePopupWidget() == box->view()->window();
}

void TfrmTCLine::ScrollOneAndStay()
{
    grid_->ShowFrom(grid_->TopIndex + 1);
    grid_->ScrollTo(grid_->TopIndex);
    name1->setFocus();
}

void TfrmTCLine::SaveAndAdvance()
{
    if (name1->text().trimmed().isEmpty()) {
        SetStatus(QStringLiteral("还未输入需要保存的数据"));
        ShowMessage(QStringLiteral("您还未输入需要保存的数据"));
        name1->setFocus();
        return;
    }
    SaveRecord(); // the cursor moves on even when a date error stopped the request
    if (RecordIndex == grid_->RecordCount() - 1) {
        grid_->AppendBlankRecord();
        ScrollOneAndStay();
    } else if (SlotPosition == VGridMath::LastVisibleSlot(grid_->VisibleLineCount())) {
        ScrollOneAndStay();
    } else {
        FocusNextLine();
    }
}

void TfrmTCLine::FocusNextLine()
{
    TfrmTCLine *line = grid_->ActiveLine();
    if (!line)
        return;
    const QList<TfrmTCLine *> &pool = grid_->LinePool();
    const int slot = static_cast<int>(pool.indexOf(line));
    TfrmTCLine *target = line;
    if (slot + 1 < pool.size() && !pool[slot + 1]->isHidden())
        target = pool[slot + 1];
    target->name1->setFocus();
}

void TfrmTCLine::NextLine()
{
    grid_->NextLine();
}

void TfrmTCLine::PreviousLine()
{
    grid_->PreviousLine();
}

QWidget *TfrmTCLine::FindControlByName(QWidget *root, const QString &name)
{
    if (!root || name.isEmpty())
        return nullptr;
    for (QObject *child : root->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (!widget)
            continue;
        if (widget->objectName() == name)
            return widget;
        if (QWidget *found = FindControlByName(widget, name))
            return found;
    }
    return nullptr;
}

THttpThreadControl *TfrmTCLine::NewRequest()
{
    auto *http = new THttpThreadControl(this);
    http->ReadTimeout = 20000;
    return http;
}

TakenRecord TfrmTCLine::TakeRecord() const
{
    return {Info.id_guid, Info.name1, RecordIndex};
}

void TfrmTCLine::SaveRecord()
{
    if (!RecordRequests::ReadRecordDate(create_time->text(), Info)) {
        ShowMessage(QStringLiteral("日期格式错误."));
        return;
    }
    if (Info.id_guid.isEmpty())
        Info.id_guid = NewRecordId(); // a new record gets its key once, on its first save
    RecordRequests::StoreFieldTexts(Info, name1->text(), money1->text(), in1->currentText(), type1->currentText(),
                                    create_time->text());
    const QString body = RecordRequests::SaveBody(Info);
    const TItemInfo sent = Info;
    PendingSaveId = sent.id_guid;
    SetStatus(kSaving);

    THttpThreadControl *http = NewRequest();
    httpSave = http;
    http->OnHttpData = [this, sent](THttpThreadControl *h) {
        h->deleteLater();
        httpSaveHttpData(h, sent);
    };
    http->OnHttpError = [this](THttpThreadControl *h, const QString &) {
        h->deleteLater();
        httpSaveHttpError(h);
    };
    http->Post(ServiceBaseUrl + protocol::ScriptPost, body);
    ShowBusy();
    Commit(true); // the label keeps "数据保存中..." until the reply
}

void TfrmTCLine::httpSaveHttpData(THttpThreadControl *http, const TItemInfo &sent)
{
    HideBusy();
    if (PendingSaveId == sent.id_guid)
        PendingSaveId.clear();
    const bool ok = IsReplyOk(http);
    const int index = grid_->IndexOfRecordId(sent.id_guid);
    TfrmTCLine *line = grid_->LineOfRecord(index);
    if (!line) {
        // No line shows the record any more; the reply still decides its state in the record list.
        if (ok && index >= 0) {
            TItemInfo &info = grid_->RecordList[index];
            info.IsNew = false;
            if (RecordRequests::HoldsSentFields(info, sent)) {
                info.Modified = false;
                info.StatusText = QStringLiteral("保存完毕");
            }
        }
        return;
    }
    if (line->PendingSaveId == sent.id_guid)
        line->PendingSaveId.clear();
    if (!ok) {
        line->SetStatus(QStringLiteral("保存失败"));
        return;
    }
    line->Info.IsNew = false;
    line->conNew->hide();
    if (!RecordRequests::HoldsSentFields(line->Info, sent)) {
        // Edited again while the save was on its way: the service holds the record, but not the newer text.
        line->Commit(true);
        line->SetStatus(kModified);
        return;
    }
    line->Info.Modified = false;
    line->SetStatus(QStringLiteral("保存完毕"));
    line->Commit(false);
}

void TfrmTCLine::httpSaveHttpError(THttpThreadControl *)
{
    HideBusy();
}

void TfrmTCLine::btnSaveClick()
{
    SaveRecord();
}

void TfrmTCLine::DeleteRecord(const QString &idGuid, int index)
{
    THttpThreadControl *http = NewRequest();
    httpDelete = http;
    http->OnHttpData = [this, idGuid, index](THttpThreadControl *h) {
        h->deleteLater();
        httpDeleteHttpData(h, idGuid, index);
    };
    http->OnHttpError = [this](THttpThreadControl *h, const QString &) {
        h->deleteLater();
        httpSaveHttpError(h);
    };
    http->Post(ServiceBaseUrl + protocol::ScriptPost, RecordRequests::DeleteBody(idGuid));
    ShowBusy();
}

void TfrmTCLine::httpDeleteHttpData(THttpThreadControl *http, const QString &sentId, int sentIndex)
{
    HideBusy();
    if (!IsReplyOk(http))
        return;
    // The record that was deleted, wherever scrolling has moved it; not whatever this line shows now.
    grid_->RemoveRecord(grid_->RecordOfReply(sentId, sentIndex));
}

void TfrmTCLine::LockRecord()
{
    const TakenRecord taken = TakeRecord();
    const bool confirmed = grid_->OnConfirmLock ? grid_->OnConfirmLock() : grid_->ConfirmLock();
    if (!confirmed)
        return;
    const int index = grid_->FindRecord(taken);
    if (index < 0)
        return; // deleted or replaced while the dialog was open
    if (TfrmTCLine *line = grid_->LineOfRecord(index)) {
        if (!RecordRequests::ReadRecordDate(line->create_time->text(), line->Info)) {
            ShowMessage(QStringLiteral("日期格式错误."));
            return;
        }
        RecordRequests::StoreFieldTexts(line->Info, line->name1->text(), line->money1->text(),
                                        line->in1->currentText(), line->type1->currentText(),
                                        line->create_time->text());
        line->SetStatus(kSaving);
        SendLock(line->Info, index);
        return;
    }
    // Scrolled out of every line meanwhile: the record list holds what the line showed.
    TItemInfo &record = grid_->RecordList[index];
    TItemInfo sent = record;
    if (!RecordRequests::ReadRecordDate(record.create_time, sent)) {
        ShowMessage(QStringLiteral("日期格式错误."));
        return;
    }
    RecordRequests::StoreFieldTexts(sent, record.name1, record.money1, CodeToInOut(record.in1), record.type1,
                                    record.create_time);
    record.StatusText = kSaving;
    SendLock(sent, index);
}

void TfrmTCLine::SendLock(const TItemInfo &sent, int index)
{
    THttpThreadControl *http = NewRequest();
    httpLock = http;
    http->OnHttpData = [this, sent, index](THttpThreadControl *h) {
        h->deleteLater();
        httpLockHttpData(h, sent, index);
    };
    http->OnHttpError = [this](THttpThreadControl *h, const QString &) {
        h->deleteLater();
        httpSaveHttpError(h);
    };
    http->Post(ServiceBaseUrl + protocol::ScriptLock, RecordRequests::LockBody(sent));
    ShowBusy();
}

void TfrmTCLine::httpLockHttpData(THttpThreadControl *http, const TItemInfo &sent, int sentIndex)
{
    HideBusy();
    const bool ok = IsReplyOk(http);
    const int index = grid_->RecordOfReply(sent.id_guid, sentIndex);
    if (index < 0)
        return;
    // The line that shows the locked record now, which after scrolling need not be this one.
    TfrmTCLine *line = grid_->LineOfRecord(index);
    TItemInfo &record = grid_->RecordList[index];
    const bool current = RecordRequests::HoldsSentFields(line ? line->Info : record, sent);
    const QString status =
        !ok ? QStringLiteral("锁定失败") : current ? QStringLiteral("锁定完毕") : kModified;
    if (ok) {
        // The record list counts it as saved too, so closing does not ask about it; its lock button still waits
        // for the next load.
        record.IsNew = false;
        if (current) {
            record.Modified = false;
            record.StatusText = status;
        }
    }
    if (!line) {
        record.StatusText = status;
        return;
    }
    line->SetStatus(status);
    if (!ok)
        return;
    line->Info.IsNew = false;
    line->conNew->hide();
    line->Info.is_lock = QStringLiteral("1");
    if (current)
        line->Info.Modified = false;
}

void TfrmTCLine::PNGButtonEx1Click()
{
    PopupMenu_more->popup(PNGButtonEx1->mapToGlobal(PNGButtonEx1->rect().bottomLeft()));
}

void TfrmTCLine::N_SumMonthClick()
{
    const auto date = TextToDateTime(create_time->text());
    if (!date) {
        ShowMessage(QStringLiteral("日期格式错误."));
        return;
    }
    if (grid_->OnRecountMonth)
        grid_->OnRecountMonth(*date);
}

void TfrmTCLine::N4Click()
{
    // Only the question: locking a month's total is not offered by the service.
    ConfirmYesNo(QStringLiteral("锁定后将不能再操作此月份的数据,确定要进行吗? "));
}

void TfrmTCLine::N1Click()
{
    ShellOpen(ServiceSiteUrl(QStringLiteral("/ms/vdisk/show_bbs.php?id={6C3E1F0A-94B2-4D57-A1E8-3B7C52D90F46}")));
}

void TfrmTCLine::type1DropDown()
{
    // Refilling keeps the typed text; it is no edit of the record.
    BindingGuard guard(Binding);
    FillCategoryBox(type1);
}

void TfrmTCLine::type1_addClick()
{
    if (grid_->OnEditCategories)
        grid_->OnEditCategories();
}

void TfrmTCLine::create_time_POPClick()
{
    // The date lands in the record the line showed when the dialog opened, wherever it is shown by then. A date
    // text that does not convert leaves the field alone and reaches the general error message.
    const TakenRecord taken = TakeRecord();
    RunReported([this, &taken] { SetRecordDate(taken, PickFieldDate(create_time->text())); });
}

void TfrmTCLine::SetRecordDate(const TakenRecord &taken, const QString &date)
{
    const int index = grid_->FindRecord(taken);
    if (index < 0)
        return; // deleted or replaced while the dialog was open
    if (TfrmTCLine *line = grid_->LineOfRecord(index)) {
        line->create_time->setText(date); // its change event stores and commits the date
        return;
    }
    TItemInfo &record = grid_->RecordList[index];
    if (record.create_time == date)
        return;
    record.create_time = date;
    record.Modified = true;
    record.StatusText = kModified;
}

} // namespace lumora
