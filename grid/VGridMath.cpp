#include "VGridMath.h"

#include <cmath>

namespace lumora
{

int VGridMath::ClampTop(int top, int recordCount)
{
    if (top >= recordCount)
        top = recordCount - 1;
    if (top < 1)
        top = 0;
    return top;
}

int VGridMath::TopForDrag(int recordCount, double position, int max)
{
    if (max == 0)
        return 0;
    return static_cast<int>(std::trunc(recordCount * position / max));
}

double VGridMath::ThumbAfterArrow(int top, int recordCount, int max)
{
    if (recordCount == 0)
        return 0;
    return std::trunc(static_cast<double>(max) * top / recordCount);
}

double VGridMath::ThumbAfterScrollTo(int top, int recordCount, int max)
{
    if (recordCount <= 1)
        return 0;
    return std::trunc(static_cast<double>(max) * top / (recordCount - 1));
}

int VGridMath::LastVisibleSlot(int visibleLineCount)
{
    int slot = visibleLineCount - 1;
    if (slot > PoolSize - 1)
        slot = PoolSize - 1;
    if (slot < 0)
        slot = 0;
    return slot;
}

int VGridMath::VisibleLineCount(int gridHeight, int slotHeight)
{
    if (slotHeight <= 0)
        return 0;
    return gridHeight / slotHeight;
}

} // namespace lumora
