#pragma once

#include <QScrollArea>

namespace lumora
{

// A scroll box for content that scrolls its own rows: the content always fills the height, and a horizontal
// scrollbar appears when it is wider than the box. The horizontal wheel scrolls sideways, as does Alt with the
// vertical wheel on platforms that do not turn that into a horizontal step themselves.
class TScrollBox : public QScrollArea
{
    Q_OBJECT
public:
    explicit TScrollBox(QWidget *parent = nullptr);

protected:
    void wheelEvent(QWheelEvent *event) override;
};

} // namespace lumora
