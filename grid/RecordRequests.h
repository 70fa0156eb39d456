#pragma once

#include "core/ItemInfo.h"

#include <QString>

namespace lumora
{

// Bodies of the three record requests a line sends: save and delete to the post script, lock to the lock script.
// Lines are raw name=value text ended by CR LF; Post does the form encoding.
namespace RecordRequests
{

// Reads the record date from the date field (full-width digits allowed) into year1, month1 and day1 of info,
// without leading zeros. False, with info unchanged, when the text is not a date.
bool ReadRecordDate(const QString &createTimeField, TItemInfo &info);

// The field texts as a save or lock stores them: amount and date through ToHalfWidth, the in/out word as its code.
void StoreFieldTexts(TItemInfo &info, const QString &name1, const QString &money1, const QString &in1,
                     const QString &type1, const QString &createTime);

// True when record still holds the field texts that a save or lock sent as sent, so its reply speaks for them; an
// edit made while the request was on its way is newer than the reply.
bool HoldsSentFields(const TItemInfo &record, const TItemInfo &sent);

// name1= ... id_guid= (the record part shared by save and lock).
QString RecordLines(const TItemInfo &info);

QString SaveBody(const TItemInfo &info);
QString LockBody(const TItemInfo &info);
QString DeleteBody(const QString &idGuid);

} // namespace RecordRequests
} // namespace lumora
