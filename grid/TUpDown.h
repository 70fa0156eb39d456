#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace lumora
{

// Up/down arrows attached to an edit: each step reads the edit's number, moves it by one within the range and
// writes it back without a thousands separator. The edit's Up and Down keys step as well.
class TUpDown : public QWidget
{
    Q_OBJECT
public:
    explicit TUpDown(QWidget *parent = nullptr);

    void setAssociate(QLineEdit *edit);
    QLineEdit *associate() const { return edit_; }

    void setRange(int min, int max);
    int min() const { return min_; }
    int max() const { return max_; }

    // The last position; a step from an edit text that is no number starts here.
    int position() const { return position_; }
    void setPosition(int position);

    void stepBy(int steps);

    QToolButton *upButton() const { return up_; }
    QToolButton *downButton() const { return down_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *edit_ = nullptr;
    QToolButton *up_ = nullptr;
    QToolButton *down_ = nullptr;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
};

} // namespace lumora
