#include "TFormVSkin.h"

#include "Align.h"
#include "SkinImages.h"
#include "TImagePanel.h"
#include "TPNGButtonEx.h"
#include "TQRXPosition.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

namespace lumora
{

namespace
{
const QColor kStripColor(49, 49, 49);   // 3223857
const QColor kCaptionColor(50, 50, 58); // 3813938

QFont songTi12()
{
    QFont f;
    f.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei")});
    f.setPixelSize(12);
    return f;
}

TImagePanel *plainPanel(QWidget *parent, const char *name)
{
    auto *panel = new TImagePanel(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setBevelOuter(TImagePanel::bvNone);
    return panel;
}

TPNGButtonEx *captionButton(QWidget *parent, const char *name, const QString &image, int x)
{
    auto *button = new TPNGButtonEx(parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(x, 7, 22, 22);
    button->setButtonLayout(TPNGButtonEx::pbsImageAbove);
    button->setImageNormal(SkinImage(QStringLiteral("caption_%1_normal").arg(image)));
    button->setImageDown(SkinImage(QStringLiteral("caption_%1_down").arg(image)));
    button->setImageOver(SkinImage(QStringLiteral("caption_%1_over").arg(image)));
    setAnchors(button, Qt::TopEdge | Qt::RightEdge);
    return button;
}

// The application's windows on the desktop (a minimised window still counts as visible).
QList<QWidget *> visibleTopLevels()
{
    QList<QWidget *> out;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = w->windowType();
        if (w->isVisible() && (type == Qt::Window || type == Qt::Dialog))
            out.append(w);
    }
    return out;
}
} // namespace

TFormVSkin::TFormVSkin(QWidget *parent) : QDialog(parent, (parent ? Qt::Dialog : Qt::Window) | Qt::FramelessWindowHint)
{
    setFont(songTi12());
    resize(791, 453);

    ImagePanel1 = plainPanel(this, "ImagePanel1");
    ImagePanel1->setColor(Qt::red);
    ImagePanel1->resize(791, 35);
    setAlign(ImagePanel1, Align::Top);

    pnlCaptionLeft = plainPanel(ImagePanel1, "pnlCaptionLeft");
    pnlCaptionLeft->resize(14, 35);
    pnlCaptionLeft->setTransparent(true);
    pnlCaptionLeft->setBkImage(SkinImage(QStringLiteral("caption_left")));
    setAlign(pnlCaptionLeft, Align::Left);

    pnlCaptionRight = plainPanel(ImagePanel1, "pnlCaptionRight");
    pnlCaptionRight->resize(14, 35);
    pnlCaptionRight->setTransparent(true);
    pnlCaptionRight->setBkImage(SkinImage(QStringLiteral("caption_right")));
    setAlign(pnlCaptionRight, Align::Right);

    pnlCaptionCenter = plainPanel(ImagePanel1, "pnlCaptionCenter");
    pnlCaptionCenter->setFillImage(SkinImage(QStringLiteral("caption_fill")));
    pnlCaptionCenter->setGeometry(14, 0, 763, 35);
    setAlign(pnlCaptionCenter, Align::Client);

    LabelCaption = new QLabel(pnlCaptionCenter);
    LabelCaption->setObjectName(QStringLiteral("LabelCaption"));
    LabelCaption->setFont(songTi12());
    LabelCaption->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    LabelCaption->move(27, 15);
    LabelCaption->setAttribute(Qt::WA_TransparentForMouseEvents);

    imgTitle = new QLabel(pnlCaptionCenter);
    imgTitle->setObjectName(QStringLiteral("imgTitle"));
    imgTitle->setGeometry(0, 8, 27, 25);
    imgTitle->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    imgTitle->setPixmap(QPixmap::fromImage(SkinImage(QStringLiteral("app_icon"))));
    imgTitle->setAttribute(Qt::WA_TransparentForMouseEvents);

    btnMin = captionButton(pnlCaptionCenter, "btnMin", QStringLiteral("min"), 693);
    btnNormal = captionButton(pnlCaptionCenter, "btnNormal", QStringLiteral("max"), 715);
    btnClose = captionButton(pnlCaptionCenter, "btnClose", QStringLiteral("close"), 736);

    pnlClient = plainPanel(this, "pnlClient");
    pnlClient->setGeometry(0, 35, 791, 418);
    // Every skinned window lets the client panel fill the window under the caption bar.
    setAlign(pnlClient, Align::Client);

    Panel_SizeTop = plainPanel(pnlClient, "Panel_SizeTop");
    Panel_SizeTop->setColor(kStripColor);
    Panel_SizeTop->resize(791, 1);
    Panel_SizeTop->setCursor(Qt::SizeVerCursor);
    setAlign(Panel_SizeTop, Align::Top);

    Panel_SizeRight = plainPanel(pnlClient, "Panel_SizeRight");
    Panel_SizeRight->setColor(kStripColor);
    Panel_SizeRight->resize(1, 418);
    Panel_SizeRight->setCursor(Qt::SizeHorCursor);
    setAlign(Panel_SizeRight, Align::Right);

    Panel_SizeLeft = plainPanel(pnlClient, "Panel_SizeLeft");
    Panel_SizeLeft->setColor(kStripColor);
    Panel_SizeLeft->resize(1, 418);
    Panel_SizeLeft->setCursor(Qt::SizeHorCursor);
    setAlign(Panel_SizeLeft, Align::Left);

    Panel_SizeBottom = plainPanel(pnlClient, "Panel_SizeBottom");
    Panel_SizeBottom->setColor(kStripColor);
    Panel_SizeBottom->resize(791, 1);
    Panel_SizeBottom->setCursor(Qt::SizeVerCursor);
    setAlign(Panel_SizeBottom, Align::Bottom);

    for (QWidget *w : {static_cast<QWidget *>(pnlCaptionCenter), static_cast<QWidget *>(Panel_SizeTop),
                       static_cast<QWidget *>(Panel_SizeRight), static_cast<QWidget *>(Panel_SizeLeft),
                       static_cast<QWidget *>(Panel_SizeBottom)})
        w->installEventFilter(this);

    connect(btnMin, &TPNGButtonEx::OnClick, this, &TFormVSkin::btnMinClick);
    connect(btnNormal, &TPNGButtonEx::OnClick, this, &TFormVSkin::btnNormalClick);
    connect(btnClose, &TPNGButtonEx::OnClick, this, &TFormVSkin::btnCloseClick);
}

TFormVSkin::~TFormVSkin()
{
    // Saved while the window and its controls still stand; a descendant may have saved earlier.
    for (TQRXPosition *position : findChildren<TQRXPosition *>(Qt::FindDirectChildrenOnly))
        position->Save();
}

void TFormVSkin::FormCreate()
{
    LabelCaption->setText(windowTitle());
    LabelCaption->adjustSize();
    Panel_SizeTop->setParent(pnlCaptionCenter);
    setAlign(Panel_SizeTop, Align::Top);
    Panel_SizeTop->setTransparent(true);
    Panel_SizeTop->show();
    Panel_SizeTop->raise();
}

void TFormVSkin::UsePlainCaption(bool withMaximise)
{
    pnlCaptionLeft->setVisible(false);
    pnlCaptionRight->setVisible(false);
    pnlCaptionCenter->setFillImage(QImage());
    pnlCaptionCenter->setBevelOuter(TImagePanel::bvNone);
    pnlCaptionCenter->setColor(kCaptionColor);
    if (!withMaximise && !btnNormal->isHidden()) {
        btnNormal->setVisible(false);
        btnMin->move(btnNormal->pos());
    }
}

void TFormVSkin::FormResize()
{
    if (isMaximized()) {
        if (ApplicationMinimized())
            RestoreApplication();
        // A frameless window maximised by the desktop could cover the task bar. The platform window is moved
        // directly: QWidget::setGeometry would drop the maximised state.
        QScreen *s = screen();
        if (s && windowHandle() && geometry() != s->availableGeometry())
            windowHandle()->setGeometry(s->availableGeometry());
    }
    update();
}

void TFormVSkin::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

void TFormVSkin::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMaximized())
        FormResize();
}

void TFormVSkin::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && !closeOnEscape_) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TFormVSkin::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease)
        return QDialog::eventFilter(watched, event);
    auto *mouse = static_cast<QMouseEvent *>(event);
    const bool down = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    if (watched == pnlCaptionCenter) {
        if (down)
            pnlCaptionCenterMouseDown(mouse);
        else if (type == QEvent::MouseMove)
            pnlCaptionCenterMouseMove(mouse);
        else
            pnlCaptionCenterMouseUp(mouse);
        return true;
    }
    if (watched == Panel_SizeLeft || watched == Panel_SizeRight || watched == Panel_SizeTop ||
        watched == Panel_SizeBottom) {
        if (down)
            Panel_SizeLeftMouseDown(mouse);
        else if (type == QEvent::MouseButtonRelease)
            Panel_SizeLeftMouseUp(mouse);
        else if (watched == Panel_SizeLeft)
            Panel_SizeLeftMouseMove(mouse);
        else if (watched == Panel_SizeRight)
            Panel_SizeRightMouseMove(mouse);
        else if (watched == Panel_SizeTop)
            Panel_SizeTopMouseMove(mouse);
        else
            Panel_SizeBottomMouseMove(mouse);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFormVSkin::pnlCaptionCenterMouseDown(QMouseEvent *event)
{
    const QPoint g = event->globalPosition().toPoint();
    lastX_ = g.x();
    lastY_ = g.y();
    pressed_ = true;
}

void TFormVSkin::pnlCaptionCenterMouseMove(QMouseEvent *event)
{
    const QPoint g = event->globalPosition().toPoint();
    if (isMaximized() || !pressed_)
        return;
    move(x() + (g.x() - lastX_), y() + (g.y() - lastY_));
    lastX_ = g.x();
    lastY_ = g.y();
}

void TFormVSkin::pnlCaptionCenterMouseUp(QMouseEvent *)
{
    pressed_ = false;
}

void TFormVSkin::btnMinClick()
{
    MinimizeApplication();
}

void TFormVSkin::btnNormalClick()
{
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void TFormVSkin::btnCloseClick()
{
    close();
}

void TFormVSkin::Panel_SizeLeftMouseDown(QMouseEvent *event)
{
    const QPoint g = event->globalPosition().toPoint();
    lastX_ = g.x();
    lastY_ = g.y();
    pressed_ = true;
}

void TFormVSkin::Panel_SizeLeftMouseUp(QMouseEvent *)
{
    pressed_ = false;
}

void TFormVSkin::Panel_SizeLeftMouseMove(QMouseEvent *event)
{
    const QPoint g = event->globalPosition().toPoint();
    if (isMaximized() || !pressed_)
        return;
    const int dx = g.x() - lastX_;
    QRect r = geometry();
    const int left = r.left() + dx;
    const int width = qMax(10, r.width() - dx);
    setGeometry(left, r.top(), width, r.height());
    lastX_ = g.x();
    lastY_ = g.y();
}

void TFormVSkin::Panel_SizeRightMouseMove(QMouseEvent *event)
{
    const QPoint g = event->globalPosition().toPoint();
    if (isMaximized() || !pressed_)
        return;
    resize(qMax(10, width() + g.x() - lastX_), height());
    lastX_ = g.x();
    lastY_ = g.y();
}

void TFormVSkin::Panel_SizeTopMouseMove(QMouseEvent *event)
{
    const QPoint g = event->globalPosition().toPoint();
    if (isMaximized() || !pressed_)
        return;
    const int dy = g.y() - lastY_;
    QRect r = geometry();
    setGeometry(r.left(), r.top() + dy, r.width(), qMax(10, r.height() - dy));
    lastX_ = g.x();
    lastY_ = g.y();
}

void TFormVSkin::Panel_SizeBottomMouseMove(QMouseEvent *event)
{
    const QPoint g = event->globalPosition().toPoint();
    if (isMaximized() || !pressed_)
        return;
    resize(width(), qMax(10, height() + g.y() - lastY_));
    lastX_ = g.x();
    lastY_ = g.y();
}

void TFormVSkin::MinimizeApplication()
{
    for (QWidget *w : visibleTopLevels())
        w->showMinimized();
}

bool TFormVSkin::ApplicationMinimized()
{
    const QList<QWidget *> windows = visibleTopLevels();
    if (windows.isEmpty())
        return false;
    for (QWidget *w : windows)
        if (!w->isMinimized())
            return false;
    return true;
}

void TFormVSkin::RestoreApplication()
{
    for (QWidget *w : visibleTopLevels())
        if (w->isMinimized())
            w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
}

} // namespace lumora
