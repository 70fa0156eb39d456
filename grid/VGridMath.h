#pragma once

namespace lumora
{

// The record grid's index and thumb arithmetic, kept apart from the widgets so it can be checked without a screen.
struct VGridMath {
    static constexpr int PoolSize = 31;

    // Clamps a wished top index: past the end gives the last record, below 1 gives 0 (also for an empty list).
    static int ClampTop(int top, int recordCount);

    // Top index for a drag: Trunc(recordCount * position / max).
    static int TopForDrag(int recordCount, double position, int max);

    // Thumb after an arrow step: Trunc(max * top / recordCount); 0 for an empty list.
    static double ThumbAfterArrow(int top, int recordCount, int max);

    // Thumb after ScrollTo: Trunc(max * top / (recordCount - 1)); 0 with at most one record.
    static double ThumbAfterScrollTo(int top, int recordCount, int max);

    // Slot of the last visible line: visibleLineCount - 1 kept within the pool.
    static int LastVisibleSlot(int visibleLineCount);

    // Lines that fit: height / slotHeight, 0 when the slot has no height.
    static int VisibleLineCount(int gridHeight, int slotHeight);
};

} // namespace lumora
