#pragma once

#include <QWidget>

class QLabel;

namespace lumora {

// The one busy window of the program: only its text "读取数据中..." shows, on top, without taking focus.
class TfrmNetSta : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmNetSta(QWidget *parent = nullptr);
    QLabel *Label1 = nullptr;

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
};

// Creates the busy window on first use, then shows it without activating it.
void ShowBusy();
// Hides it if it exists.
void HideBusy();
// For tests and handlers.
bool BusyVisible();

} // namespace lumora
