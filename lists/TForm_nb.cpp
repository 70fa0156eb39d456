#include "TForm_nb.h"

#include "CategoryList.h"

#include "core/Base64.h"
#include "core/Conversions.h"
#include "core/HttpThreadControl.h"
#include "core/NetSta.h"
#include "core/Protocol.h"
#include "core/Session.h"
#include "util/DialogParts.h"
#include "util/Gbk.h"
#include "util/MessageSeam.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace lumora
{

TForm_nb::TForm_nb(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("增加新的类型"));
    setFont(SimSunFont(12));

    Label1 = new QLabel(QStringLiteral("每行对应一个类别,完成后点击保存按钮即可"), this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setFixedSize(255, 230);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(true);
    Bevel1 = NewBevel(this);
    Button1 = new QPushButton(QStringLiteral("保存"), this);
    Button2 = new QPushButton(QStringLiteral("取消"), this);
    // Enter belongs to the editor: it starts a new category line.
    Button1->setAutoDefault(false);
    Button2->setAutoDefault(false);

    QHBoxLayout *buttons = ButtonRow({Button1, Button2});
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 8, 12, 10);
    layout->addWidget(Label1);
    layout->addWidget(Memo1);
    layout->addWidget(Bevel1);
    layout->addLayout(buttons);
    setFixedSize(279, 326);
    CentreOnScreen(this);
    Memo1->setFocus();

    httpType1 = new THttpThreadControl(this);
    httpType1->ReadTimeout = 20000;
    httpType1->OnHttpData = [this](THttpThreadControl *c) { httpType1HttpData(c); };
    httpType1->OnHttpError = [this](THttpThreadControl *c, const QString &err) { httpType1HttpError(c, err); };

    connect(Button1, &QPushButton::clicked, this, &TForm_nb::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    FillEditor();
}

QString TForm_nb::editorText() const
{
    QString text = Memo1->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void TForm_nb::setEditorText(const QString &text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    Memo1->setPlainText(plain);
}

void TForm_nb::FillEditor()
{
    if (!CategoryListText.isEmpty()) {
        setEditorText(CategoryListText);
        return;
    }
    QString fromFile;
    if (!ReadCategoryFile(CategoryFilePath(), fromFile)) {
        // No list anywhere yet: the user starts from an empty editor, without a word.
        Memo1->clear();
        return;
    }
    setEditorText(fromFile);
    CategoryListText = fromFile;
}

void TForm_nb::Button1Click()
{
    ShowMessage(QString::fromLatin1(Base64EncodeLine(ToGbk(CategoryListText))));
    const QString head = CategoryUploadHead();
    CategoryListText = editorText();
    httpType1->Post(ServiceBaseUrl + protocol::ScriptType, head + CategoryUploadTypeLine(CategoryListText));
    ShowBusy();
}

void TForm_nb::httpType1HttpData(THttpThreadControl *component)
{
    if (IsReplyOk(component)) {
        ShowMessage(QStringLiteral("保存类型列表完毕."));
        close();
    } else {
        ShowMessage(QStringLiteral("未能保存类型列表."));
    }
}

void TForm_nb::httpType1HttpError(THttpThreadControl *, const QString &)
{
    HideBusy();
    ShowMessage(QStringLiteral("未能保存类型列表,请择时再行保存."));
}

void TForm_nb::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FillEditor();
    QDialog::showEvent(event);
}

void TForm_nb::hideEvent(QHideEvent *event)
{
    // A file that cannot be written is no reason to bother the user: the list also lives on the service.
    if (!event->spontaneous())
        WriteCategoryFile(CategoryFilePath(), SplitCategoryLines(editorText()));
    QDialog::hideEvent(event);
}

} // namespace lumora
