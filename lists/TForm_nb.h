#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace lumora
{

class THttpThreadControl;

// "增加新的类型": the user edits the category list, one category per line, and "保存" sends the whole list to
// the service. The editor is refilled from CategoryListText (or nb1.txt) on every showing, and nb1.txt follows the
// editor on every hide, whether the list was saved or not.
class TForm_nb : public QDialog
{
    Q_OBJECT
public:
    explicit TForm_nb(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QFrame *Bevel1 = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    THttpThreadControl *httpType1 = nullptr;

    // The editor's text with CR LF line breaks, ended as the user left it.
    QString editorText() const;
    void setEditorText(const QString &text);

    void FillEditor();
    void Button1Click();
    void httpType1HttpData(THttpThreadControl *component);
    void httpType1HttpError(THttpThreadControl *component, const QString &err);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
};

} // namespace lumora
