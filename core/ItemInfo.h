#pragma once

#include <QString>

namespace lumora {

// One ledger entry in memory.
struct TItemInfo {
    bool IsNew = false;    // made on this client and not yet saved successfully
    bool Modified = false; // edited since its last successful save
    QString id;
    QString StatusText;
    QString id_guid;
    QString name1;
    QString in1;
    QString money1;
    QString type1;
    QString create_time;
    QString input_user;
    QString is_lock;
    QString year1;
    QString month1;
    QString day1;
};

// Empties id_guid and changes nothing else.
void ClearRecordId(TItemInfo &info);

} // namespace lumora
