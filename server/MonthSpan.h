#pragma once

#include "Storage.h"

#include <cstdio>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace lumora::service
{

// Month arithmetic of the storage engines: days are kept as "yyyy-mm-dd", so a month is a range of them.
inline std::string MonthStart(int year, int month)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-01", year, month);
    return buffer;
}

inline std::pair<int, int> ShiftMonth(int year, int month, int delta)
{
    const int index = year * 12 + (month - 1) + delta;
    return {index / 12, index % 12 + 1};
}

// The count months from (year, month) back, newest first, from the sums found per "yyyy-mm" (a month without
// records has none).
inline std::vector<MonthTotal> MonthsBack(int year, int month, int count,
                                          const std::unordered_map<std::string, MonthTotal> &counted)
{
    std::vector<MonthTotal> totals;
    for (int k = 0; k < count; ++k) {
        const auto [y, m] = ShiftMonth(year, month, -k);
        MonthTotal total{y, m, 0, 0};
        const auto it = counted.find(MonthStart(y, m).substr(0, 7));
        if (it != counted.end()) {
            total.expenseCents = it->second.expenseCents;
            total.incomeCents = it->second.incomeCents;
        }
        totals.push_back(total);
    }
    return totals;
}

} // namespace lumora::service
