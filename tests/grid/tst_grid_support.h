#pragma once

// Shared by the grid and ledger tests: a stand-in for the main window, reply builders and a reader of the form
// bodies that reach the loopback server.

#include "grid/TfrmTCLine.h"
#include "grid/TfrmVGrid.h"

#include "controls/TColorBorderComboBox.h"
#include "controls/TImagePanel.h"
#include "controls/TPNGButtonEx.h"
#include "controls/TScrollBarEx.h"
#include "core/Base64.h"
#include "core/HttpThreadControl.h"
#include "core/ItemInfo.h"
#include "util/Gbk.h"
#include "util/MessageSeam.h"

#include <QApplication>
#include <QList>
#include <QMap>
#include <QPair>
#include <QTest>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <utility>

namespace lumora::test
{

// The main window's part in these tests: a window with the grid at a height of a given number of lines.
class GridHost
{
public:
    explicit GridHost(int visibleLines = 12)
    {
        window.resize(900, visibleLines * TfrmTCLine::LineHeight);
        grid = new TfrmVGrid(&window);
        grid->setGeometry(0, 0, 900, visibleLines * TfrmTCLine::LineHeight);
        window.show();
        window.activateWindow();
        activated = QTest::qWaitForWindowActive(&window);
    }

    // A page as the page loader leaves it: records, the blank record, cursor in the blank record's name.
    void loadPage(int records)
    {
        grid->RecordList.clear();
        for (int i = 0; i < records; ++i)
            grid->RecordList.append(Record(i));
        grid->AppendBlankRecord();
        grid->ShowFrom(0);
        grid->ScrollTo(0);
        grid->ActiveRecordIndex = grid->RecordCount() - 1;
        grid->ScrollToEnd();
    }

    static TItemInfo Record(int i)
    {
        TItemInfo info;
        info.id = QString::number(1000 + i);
        info.id_guid = QStringLiteral("{00000000-0000-0000-0000-%1}").arg(i, 12, 10, QLatin1Char('0'));
        info.name1 = QStringLiteral("r%1").arg(i);
        info.in1 = QStringLiteral("0");
        info.money1 = QStringLiteral("%1.00").arg(i);
        info.type1 = QStringLiteral("餐饮");
        info.create_time = QStringLiteral("2015-01-13");
        info.input_user = QStringLiteral("10.0.0.2");
        return info;
    }

    QWidget *focused() const { return window.focusWidget(); }
    TfrmTCLine *line(int slot) const { return grid->LinePool()[slot]; }
    int focusedSlot() const
    {
        for (int i = 0; i < grid->LinePool().size(); ++i)
            if (grid->LinePool()[i]->isAncestorOf(focused()))
                return i;
        return -1;
    }

    // Where a key goes on screen: an open drop-down list takes the keyboard, otherwise the focused field.
    QWidget *keyTarget() const
    {
        if (QWidget *popup = QApplication::activePopupWidget())
            return popup->focusWidget() ? popup->focusWidget() : popup;
        return focused();
    }
    // A key as the user presses it: the press and the release each go where the key goes at that moment, so Enter
    // on an open list is taken by the list and its release by the field behind it.
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyPress(keyTarget(), k, modifiers);
        QTest::keyRelease(keyTarget(), k, modifiers);
    }
    // A key held down: the first press, then a repeated release and press per repeat, then the key coming up.
    void holdKey(Qt::Key k, int repeats)
    {
        QTest::simulateEvent(keyTarget(), true, k, Qt::NoModifier, QString(), false);
        for (int i = 0; i < repeats; ++i) {
            QTest::simulateEvent(keyTarget(), false, k, Qt::NoModifier, QString(), true);
            QTest::simulateEvent(keyTarget(), true, k, Qt::NoModifier, QString(), true);
        }
        QTest::simulateEvent(keyTarget(), false, k, Qt::NoModifier, QString(), false);
    }
    void type(const QString &text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::KeyAction::Click, keyTarget(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

    QWidget window;
    TfrmVGrid *grid = nullptr;
    bool activated = false;
};

// Records and answers messages as the capture does; while the next question is open it runs whileAsking once, as a
// reply may arrive while a real box waits for the user.
class CaptureWhileAsking : public ScopedMessageCapture
{
public:
    std::function<void()> whileAsking;
    Answer handle(const MessageRecord &message) override
    {
        if (message.kind == MessageKind::Question && whileAsking)
            std::exchange(whileAsking, {})();
        return ScopedMessageCapture::handle(message);
    }
};

inline QString Attr(const QString &name, const QString &value)
{
    return QStringLiteral(" %1=\"%2\"").arg(name, QString::fromLatin1(Base64EncodeLine(ToGbk(value))));
}

// One row element with Base64 attributes, in the order given.
inline QString Row(const QList<QPair<QString, QString>> &attributes, const QString &element = QStringLiteral("row"))
{
    QString row = QLatin1Char('<') + element;
    for (const auto &a : attributes)
        row += Attr(a.first, a.second);
    return row + QStringLiteral("/>");
}

inline QString RecordRowXml(const TItemInfo &info)
{
    return Row({{QStringLiteral("id_guid"), info.id_guid},
                {QStringLiteral("id"), info.id},
                {QStringLiteral("name1"), info.name1},
                {QStringLiteral("in1"), info.in1},
                {QStringLiteral("money1"), info.money1},
                {QStringLiteral("type1"), info.type1},
                {QStringLiteral("create_time"), info.create_time},
                {QStringLiteral("input_user"), info.input_user},
                {QStringLiteral("is_lock"), info.is_lock}});
}

// A reply document; info is the inner attribute text of "Info" or empty for none.
inline QString ReplyXml(const QStringList &rows, const QString &info = QString(), const QString &result = "1")
{
    QString xml =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"gbk\"?><root><Result Value=\"%1\"/><Data>").arg(result);
    xml += rows.join(QString());
    xml += QStringLiteral("</Data>");
    if (!info.isEmpty())
        xml += QStringLiteral("<Info %1/>").arg(info);
    return xml + QStringLiteral("</root>");
}

inline QString OkReply()
{
    return QStringLiteral("<?xml version=\"1.0\"?><root><Result Value=\"1\"/></root>");
}
inline QString FailReply()
{
    return QStringLiteral("<?xml version=\"1.0\"?><root><Result Value=\"0\"/></root>");
}

// The name=value pairs of a form body as sent, values decoded from GBK, in order.
inline QList<QPair<QString, QString>> FormFields(const QByteArray &body)
{
    QList<QPair<QString, QString>> fields;
    for (const QByteArray &part : body.split('&')) {
        if (part.isEmpty())
            continue;
        const int eq = part.indexOf('=');
        const QByteArray name = eq < 0 ? part : part.left(eq);
        QByteArray value = eq < 0 ? QByteArray() : part.mid(eq + 1);
        value.replace('+', ' ');
        fields.append({QString::fromLatin1(name), FromGbk(QByteArray::fromPercentEncoding(value))});
    }
    return fields;
}

inline QStringList FieldNames(const QByteArray &body)
{
    QStringList names;
    for (const auto &f : FormFields(body))
        names << f.first;
    return names;
}

// The first value of a field, or a null string when it is missing.
inline QString Field(const QByteArray &body, const QString &name)
{
    for (const auto &f : FormFields(body))
        if (f.first == name)
            return f.second;
    return QString();
}

} // namespace lumora::test
