// A window with every skin control in its states side by side, to look at them by eye.
#include "controls/Align.h"
#include "controls/DockSplitter.h"
#include "controls/SkinImages.h"
#include "controls/TColorBorderComboBox.h"
#include "controls/TColorBorderEdit.h"
#include "controls/TColorCheckBox.h"
#include "controls/TFormVSkin.h"
#include "controls/TImagePanel.h"
#include "controls/TPNGButtonEx.h"
#include "controls/TScrollBarEx.h"

#include <QApplication>
#include <QLabel>

using namespace lumora;

namespace
{

QLabel *heading(QWidget *parent, const QString &text, int x, int y)
{
    auto *label = new QLabel(text, parent);
    label->move(x, y);
    label->adjustSize();
    return label;
}

TImagePanel *panel(QWidget *parent, QRect geometry, QColor color)
{
    auto *p = new TImagePanel(parent);
    p->setGeometry(geometry);
    p->setBevelOuter(TImagePanel::bvNone);
    p->setColor(color);
    return p;
}

class TFormGallery : public TFormVSkin
{
public:
    TFormGallery()
    {
        setWindowTitle(QStringLiteral("Lumora 控件一览"));
        resize(1000, 640);
        pnlCaptionCenter->setFillImage(QImage());
        pnlCaptionCenter->setColor(QColor(50, 50, 58));
        pnlCaptionLeft->hide();
        pnlCaptionRight->hide();
        pnlClient->setColor(Qt::white);
        LabelCaption->move(39, 12);
        buildPanels();
        buildButtons();
        buildInputs();
        buildScrollBars();
        buildDocked();
        FormCreate();
    }

private:
    void buildPanels()
    {
        QWidget *c = pnlClient;
        heading(c, QStringLiteral("TImagePanel: 边框 / 填充 / 透明"), 12, 8);
        const QColor grey(204, 204, 204);
        auto *tool = panel(c, {12, 30, 110, 42}, QColor(240, 240, 240));
        tool->setBorderWidth(1);
        tool->setBorderColor(grey);
        tool->setBorderBrawKinds(TImagePanel::bbkLeft | TImagePanel::bbkTop | TImagePanel::bbkBottom);
        tool->setCaption(QStringLiteral("左上下"));
        auto *header = panel(c, {130, 30, 110, 23}, QColor(240, 240, 240));
        header->setBorderWidth(1);
        header->setBorderBrawKinds(TImagePanel::bbkRight);
        header->setCaption(QStringLiteral("名称"));
        auto *line = panel(c, {248, 30, 110, 42}, Qt::white);
        line->setBorderColor(QColor(255, 128, 0));
        line->setBorderBrawKinds(TImagePanel::bbkBottom);
        line->setBorderWidth_v(2);
        line->setCaption(QStringLiteral("活动行"));
        auto *orange = panel(c, {366, 30, 110, 42}, QColor(255, 128, 64));
        orange->setBorderWidth(2);
        orange->setBorderColor(grey);
        orange->setCaption(QStringLiteral("四边 2px"));
        auto *fill = panel(c, {484, 30, 110, 42}, Qt::red);
        fill->setBorderWidth(1);
        fill->setFillImage(SkinImage(QStringLiteral("caption_fill")));
        auto *bevel = new TImagePanel(c);
        bevel->setGeometry(602, 30, 110, 42);
        bevel->setBevelInner(TImagePanel::bvLowered);
        bevel->setBorderWidth(2);
        bevel->setBorderBrawKinds({});
        bevel->setCaption(QStringLiteral("凸起+凹陷"));
        auto *back = panel(c, {720, 30, 110, 42}, QColor(50, 50, 58));
        auto *see = panel(back, {8, 4, 60, 35}, Qt::red);
        see->setTransparent(true);
        see->setBkImage(SkinImage(QStringLiteral("app_icon")));
        see->setCaption(QStringLiteral("看不见"));
    }

    void buildButtons()
    {
        QWidget *c = pnlClient;
        heading(c, QStringLiteral("TPNGButtonEx: 正常 / 悬停 / 按下 / 禁用 / 布局"), 12, 84);
        const QString states[] = {QStringLiteral("normal"), QStringLiteral("over"), QStringLiteral("down")};
        auto *bar = panel(c, {12, 106, 330, 35}, QColor(50, 50, 58));
        int x = 8;
        for (const QString &kind : {QStringLiteral("min"), QStringLiteral("max"), QStringLiteral("close")}) {
            for (const QString &state : states) {
                auto *b = new TPNGButtonEx(bar);
                b->setGeometry(x, 7, 22, 22);
                b->setImageNormal(SkinImage(QStringLiteral("caption_%1_%2").arg(kind, state)));
                x += 24;
            }
            auto *disabled = new TPNGButtonEx(bar);
            disabled->setGeometry(x, 7, 22, 22);
            disabled->setImageNormal(SkinImage(QStringLiteral("caption_%1_normal").arg(kind)));
            disabled->setEnabled(false);
            x += 34;
        }
        x = 12;
        for (const QString &state : states) {
            auto *b = new TPNGButtonEx(c);
            b->setGeometry(360 + x, 110, 74, 27);
            b->setButtonLayout(TPNGButtonEx::pbsImageBackground);
            b->setImageNormal(SkinImage(QStringLiteral("text_button_") + state));
            b->setCaption(QStringLiteral("意见反馈"));
            QPalette pal = b->palette();
            pal.setColor(QPalette::ButtonText, Qt::white);
            b->setPalette(pal);
            x += 80;
        }
        auto *off = new TPNGButtonEx(c);
        off->setGeometry(360 + x, 110, 74, 27);
        off->setButtonLayout(TPNGButtonEx::pbsImageBackground);
        off->setImageNormal(SkinImage(QStringLiteral("text_button_normal")));
        off->setCaption(QStringLiteral("禁用"));
        off->setEnabled(false);

        const struct {
            TPNGButtonEx::TPNGButtonLayout layout;
            const char *caption;
        } layouts[] = {{TPNGButtonEx::pbsImageAbove, "删除"},
                       {TPNGButtonEx::pbsImageBellow, "新增"},
                       {TPNGButtonEx::pbsImageBackground, "背景"},
                       {TPNGButtonEx::pbsImageBackground_VS, "竖排文字"}};
        x = 12;
        for (const auto &l : layouts) {
            auto *b = new TPNGButtonEx(c);
            const bool column = l.layout == TPNGButtonEx::pbsImageBackground_VS;
            b->setGeometry(x, 150, column ? 30 : 56, column ? 64 : 48);
            b->setButtonLayout(l.layout);
            b->setImageNormal(SkinImage(l.layout == TPNGButtonEx::pbsImageBellow ? QStringLiteral("icon_add")
                                                                                 : QStringLiteral("icon_delete")));
            b->setCaption(QString::fromUtf8(l.caption));
            if (column) {
                b->setTextLeft(4);
                b->setTextTop(3);
            }
            x += 70;
        }
    }

    void buildInputs()
    {
        QWidget *c = pnlClient;
        heading(c, QStringLiteral("TColorCheckBox / TColorBorderEdit / TColorBorderComboBox"), 12, 226);
        const struct {
            bool checked;
            int height;
            const char *caption;
        } boxes[] = {
            {false, 17, "记住密码"}, {true, 17, "记住密码"}, {false, 30, "高 30"}, {true, 30, "高 30"}, {true, 17, ""}};
        int x = 12;
        for (const auto &b : boxes) {
            auto *box = new TColorCheckBox(QString::fromUtf8(b.caption), c);
            box->setGeometry(x, 250, b.caption[0] ? 89 : 18, b.height);
            box->setColor(Qt::white);
            box->setChecked(b.checked);
            x += b.caption[0] ? 96 : 30;
        }
        const struct {
            QColor border;
            const char *text;
        } edits[] = {{Qt::black, "黑色边框"}, {QColor(255, 128, 0), "橙色边框"}, {QColor(204, 204, 204), "浅灰边框"}};
        x = 12;
        for (const auto &e : edits) {
            auto *edit = new TColorBorderEdit(c);
            edit->setGeometry(x, 292, 130, 22);
            edit->setBorderColor(e.border);
            edit->setText(QString::fromUtf8(e.text));
            x += 140;
        }
        auto *pass = new TColorBorderEdit(c);
        pass->setGeometry(x, 292, 130, 22);
        pass->setBorderColor(QColor(204, 204, 204));
        pass->setEchoMode(QLineEdit::Password);
        pass->setText(QStringLiteral("secret"));
        x = 12;
        for (const QColor &border : {QColor(255, 128, 0), QColor(Qt::black)}) {
            auto *combo = new TColorBorderComboBox(c);
            combo->setGeometry(x, 326, 130, 22);
            combo->setBorderColor(border);
            combo->addItems({QStringLiteral("支出"), QStringLiteral("收入")});
            x += 140;
        }
        auto *editable = new TColorBorderComboBox(c);
        editable->setGeometry(x, 326, 130, 22);
        editable->setEditable(true);
        editable->addItems({QStringLiteral("餐饮"), QStringLiteral("交通"), QStringLiteral("购物")});
    }

    void buildScrollBars()
    {
        QWidget *c = pnlClient;
        heading(c, QStringLiteral("TScrollBarEx"), 620, 84);
        for (int i = 0; i < 3; ++i) {
            auto *bar = new TScrollBarEx(c);
            bar->setGeometry(630 + i * 40, 106, 19, 240);
            bar->setColor(QColor(39, 39, 39));
            bar->setArrowTopImage(SkinImage(QStringLiteral("scroll_up")));
            bar->setArrowBottomImage(SkinImage(QStringLiteral("scroll_down")));
            bar->setDragVImage(SkinImage(QStringLiteral("scroll_thumb")));
            bar->setPosition(i * 500);
            auto *label = new QLabel(QString::number(i * 500), c);
            label->move(628 + i * 40, 350);
        }
    }

    void buildDocked()
    {
        // Docking with a splitter, as the main window's record area uses it.
        QWidget *c = pnlClient;
        heading(c, QStringLiteral("Align + DockSplitter"), 12, 364);
        auto *area = panel(c, {12, 386, 560, 200}, QColor(240, 240, 240));
        area->setBorderWidth(1);
        area->setBorderColor(QColor(204, 204, 204));
        auto *top = panel(area, {0, 0, 0, 23}, QColor(240, 240, 240));
        top->setCaption(QStringLiteral("Top"));
        top->setBorderWidth_v(1);
        top->setBorderBrawKinds(TImagePanel::bbkBottom);
        setAlign(top, Align::Top);
        auto *right = panel(area, {0, 0, 160, 0}, Qt::white);
        right->setObjectName(QStringLiteral("gridHj1"));
        right->setCaption(QStringLiteral("Right (可拖动)"));
        setAlign(right, Align::Right);
        auto *splitter = new DockSplitter(area);
        splitter->resize(4, 0);
        setAlign(splitter, Align::Right);
        auto *client = panel(area, {}, Qt::white);
        client->setCaption(QStringLiteral("Client"));
        setAlign(client, Align::Client);
        auto *bottom = panel(area, {0, 0, 0, 30}, QColor(50, 50, 58));
        bottom->setCaption(QStringLiteral("Bottom"));
        QPalette light = bottom->palette();
        light.setColor(QPalette::WindowText, Qt::white);
        bottom->setPalette(light);
        setAlign(bottom, Align::Bottom);
    }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TFormGallery gallery;
    gallery.move(40, 40);
    gallery.show();
    return app.exec();
}
