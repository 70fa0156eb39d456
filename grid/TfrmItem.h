#pragma once

#include <QWidget>

class QLabel;

namespace lumora
{

class TfrmTCLine;
class TfrmVGrid;

// One slot of the grid: its line editor, or a blank white strip when the slot has no record.
class TfrmItem : public QWidget
{
    Q_OBJECT
public:
    TfrmItem(TfrmVGrid *grid, int index, QWidget *parent);

    QWidget *pnlShowData = nullptr;
    QWidget *pnlHideData = nullptr;
    QLabel *lblIndex = nullptr; // hidden, holds the slot number
    TfrmTCLine *line = nullptr;

    // Shows the editor or the blank strip; does nothing when already so.
    void setBlank(bool blank);
    bool isBlank() const { return blank_; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    bool blank_ = false;
};

} // namespace lumora
