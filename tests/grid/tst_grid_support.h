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

#include <QApplication>
#include <QList>
#include <QMap>
#include <QPair>
#include <QTest>
#include <QUrl>
#include <QWidget>

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
    TfrmTCLine *line(int slot) const { return grid->LinePool[slot]; }
    int focusedSlot() const
    {
        for (int i = 0; i < grid->LinePool.size(); ++i)
            if (grid->LinePool[i]->isAncestorOf(focused()))
                return i;
        return -1;
    }

    // A key as the user presses it, to whatever has the focus; a list left open by Enter is closed first.
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        QTest::keyClick(focused(), k, modifiers);
    }
    void type(const QString &text)
    {
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::KeyAction::Click, focused(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

    QWidget window;
    TfrmVGrid *grid = nullptr;
    bool activated = false;
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
