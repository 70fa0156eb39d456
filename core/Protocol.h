#pragma once

#include <QString>

namespace lumora::protocol {

// Scripts under ServiceBaseUrl.
inline const QString ScriptLogin = QStringLiteral("kessum_login.php");
inline const QString ScriptVersion = QStringLiteral("new_ver.php");
inline const QString ScriptType = QStringLiteral("kessum_sqlite_type.php");
inline const QString ScriptPost = QStringLiteral("kessum_sqlite_post.php");
inline const QString ScriptLock = QStringLiteral("kessum_sqlite_lock.php");
inline const QString PageNewUser = QStringLiteral("new_user.php?vtype=app");

// Action lines.
inline const QString ActionLogin = QStringLiteral("action=login");
inline const QString ActionData = QStringLiteral("action=data");
inline const QString ActionAdd = QStringLiteral("action=add");
inline const QString ActionDel = QStringLiteral("action=del");
inline const QString ActionAddSum = QStringLiteral("action=add_sum");
inline const QString ActionLock = QStringLiteral("action=lock");

} // namespace lumora::protocol
