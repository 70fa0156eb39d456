#pragma once

#include <QDialog>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lumora
{

class TUpDown;

// "选择月份": a year and a month, checked on "确定". The caller keeps one instance for the whole run, so each
// opening shows what the previous one left.
class TfrmMonth : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmMonth(QWidget *parent = nullptr);

    QLineEdit *year1 = nullptr;
    TUpDown *UpDown1 = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *month1 = nullptr;
    QLabel *Label2 = nullptr;
    QFrame *Bevel1 = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;

    // The trimmed texts the caller builds its month query from.
    QString yearText() const;
    QString monthText() const;

    void Button1Click();
};

} // namespace lumora
