#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

namespace lumora {

class THttpThreadControl;

// Hides the busy window, then reads the "Value" of the reply's first "Result". An unparsable reply or a value that
// is neither a boolean nor a number shows "错误: " with the reply (cut to a few hundred characters) and gives false.
bool IsReplyOk(THttpThreadControl *component);
bool IsReplyOk(const QString &replyText);

// A new GUID in registry form, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case; empty if none can be made.
QString NewRecordId();

// Full-width digits, "。" and "：" to ASCII, then trimmed of control characters and blanks.
QString ToHalfWidth(const QString &text);

// "支出" gives "0"; anything else gives "1".
QString InOutToCode(const QString &text);
// "0" or "false" (any case) gives "支出"; anything else "收入".
QString CodeToInOut(const QString &code);

// The machine's address for the entering-user label, dotted: the first IPv4 address of the local host name that is
// not a loopback one, else the first of the interfaces'; a loopback address only when there is no other; empty
// when there is no IPv4 address at all.
QString LocalIpAddress();
// The choice LocalIpAddress makes among addresses in the order found.
QString PickLocalIpv4(const QList<QHostAddress> &addresses);

} // namespace lumora
