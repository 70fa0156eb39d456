#include "ItemInfo.h"

namespace lumora
{

void ClearRecordId(TItemInfo &info)
{
    info.id_guid.clear();
}

} // namespace lumora
