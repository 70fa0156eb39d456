#pragma once

#include <QDialog>
#include <QPoint>

class QLabel;

namespace lumora
{

class TImagePanel;
class TPNGButtonEx;

// The frameless base window of the skinned windows: caption bar from image panels, minimise (the whole
// application), maximise/restore (to the screen's available area), close, caption dragging and four one-pixel
// sizing strips.
//
// It derives from QDialog so that one base serves both kinds of window: a dialog runs it with exec(), the main
// window simply calls show(). Unlike a plain QDialog, Escape does not close it (setCloseOnEscape turns that on).
//
// A descendant builds its controls into pnlClient (which the base already docks to fill the window under the
// caption bar), sets its caption and then, like the main window and the quick-add dialog, calls FormCreate() from
// its constructor: the caption goes into LabelCaption and the top strip into pnlCaptionCenter. A dialog that skips
// FormCreate() copies its caption into LabelCaption itself and its top strip stays in pnlClient.
// Position memory: a TQRXPosition child is saved from this destructor, while the controls still stand.
class TFormVSkin : public QDialog
{
    Q_OBJECT
public:
    explicit TFormVSkin(QWidget *parent = nullptr);
    ~TFormVSkin() override;

    void setCloseOnEscape(bool on) { closeOnEscape_ = on; }

    // The frame's controls; descendants use them by these names.
    TImagePanel *ImagePanel1 = nullptr;
    TImagePanel *pnlCaptionLeft = nullptr;
    TImagePanel *pnlCaptionRight = nullptr;
    TImagePanel *pnlCaptionCenter = nullptr;
    QLabel *LabelCaption = nullptr;
    TImagePanel *pnlClient = nullptr;
    TImagePanel *Panel_SizeTop = nullptr;
    TImagePanel *Panel_SizeRight = nullptr;
    TImagePanel *Panel_SizeLeft = nullptr;
    TImagePanel *Panel_SizeBottom = nullptr;
    QLabel *imgTitle = nullptr;
    TPNGButtonEx *btnMin = nullptr;
    TPNGButtonEx *btnNormal = nullptr;
    TPNGButtonEx *btnClose = nullptr;

    // Minimises every visible top-level window; true when all of them are minimised.
    static void MinimizeApplication();
    static bool ApplicationMinimized();
    static void RestoreApplication();

    bool isPressed() const { return pressed_; }

protected:
    // Creation step: caption into LabelCaption, top strip into the caption body.
    void FormCreate();
    // The look the product's windows give the frame: no end caps, a plain dark slate caption body and, for a
    // dialog without maximise, minimise moved into the hidden maximise button's place beside close.
    void UsePlainCaption(bool withMaximise);
    void FormResize();

    void pnlCaptionCenterMouseDown(QMouseEvent *event);
    void pnlCaptionCenterMouseMove(QMouseEvent *event);
    void pnlCaptionCenterMouseUp(QMouseEvent *event);
    void btnMinClick();
    void btnNormalClick();
    void btnCloseClick();
    void Panel_SizeLeftMouseDown(QMouseEvent *event);
    void Panel_SizeLeftMouseUp(QMouseEvent *event);
    void Panel_SizeLeftMouseMove(QMouseEvent *event);
    void Panel_SizeRightMouseMove(QMouseEvent *event);
    void Panel_SizeTopMouseMove(QMouseEvent *event);
    void Panel_SizeBottomMouseMove(QMouseEvent *event);

    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool closeOnEscape_ = false;
    bool pressed_ = false;
    int lastX_ = 0;
    int lastY_ = 0;
};

} // namespace lumora
