#include "DemoData.h"

#include "CalendarDate.h"
#include "Money.h"

#include <cstdio>
#include <random>

namespace lumora::service
{

namespace
{

struct Sample {
    const char *name;
    const char *type;
    int minYuan;
    int maxYuan;
};

const Sample kExpenses[] = {
    {"早餐", "餐饮", 5, 20},        {"午饭", "餐饮", 15, 45},         {"晚饭", "餐饮", 20, 120},
    {"水果", "餐饮", 10, 60},       {"地铁", "交通", 3, 8},           {"打车", "交通", 12, 60},
    {"加油", "交通", 200, 400},     {"超市购物", "购物", 50, 300},    {"买衣服", "购物", 100, 600},
    {"纸巾洗衣液", "日用", 20, 80}, {"房租", "住房", 2500, 2500},     {"电费", "水电煤", 80, 200},
    {"水费", "水电煤", 30, 60},     {"手机话费", "通讯", 50, 100},    {"感冒药", "医疗", 20, 90},
    {"电影票", "娱乐", 60, 120},    {"兴趣班学费", "教育", 300, 800}, {"朋友结婚礼金", "人情", 500, 1000},
};

const Sample kIncomes[] = {
    {"工资", "工资", 9000, 12000},
    {"季度奖金", "奖金", 2000, 5000},
    {"基金收益", "理财", 50, 500},
};

const char *const kUsers[] = {"丈夫", "妻子", "192.168.1.8"};

} // namespace

int EnsureDemoAccount(Storage &storage, Accounts &accounts)
{
    const std::int64_t account = accounts.ensure("demo", "demo");
    if (storage.recordCount(account) > 0)
        return 0;

    // A fixed seed keeps the demo the same from run to run, apart from the dates that follow today.
    std::mt19937 random(20150129);
    const CalendarDate today = CalendarDate::Today();
    const CalendarDate first = today.addDays(-91);
    int added = 0;
    auto add = [&](const Sample &sample, bool income, const CalendarDate &day) {
        std::uniform_int_distribution<int> yuan(sample.minYuan, sample.maxYuan);
        std::uniform_int_distribution<int> jiao(0, 9);
        const std::int64_t cents =
            static_cast<std::int64_t>(yuan(random)) * 100 + (sample.maxYuan > 100 ? 0 : jiao(random) * 10);
        char guid[40];
        std::snprintf(guid, sizeof guid, "{DE000000-0000-4000-8000-%012d}", added + 1);
        RecordFields record;
        record.idGuid = guid;
        record.name1 = sample.name;
        record.in1 = income ? "1" : "0";
        record.money1 = FormatCents(cents);
        record.cents = cents;
        record.type1 = sample.type;
        record.createTime = day.iso();
        record.day = day.iso();
        record.inputUser = kUsers[random() % std::size(kUsers)];
        storage.saveRecord(account, record);
        ++added;
    };

    std::uniform_int_distribution<size_t> pickExpense(0, std::size(kExpenses) - 1);
    for (CalendarDate day = first; day <= today; day = day.addDays(1)) {
        if (day.day == 1) {
            add(kExpenses[10], false, day); // rent
            add(kIncomes[0], true, day);
            if (day.month % 3 == 1)
                add(kIncomes[1], true, day);
        }
        if (day.day == 15)
            add(kIncomes[2], true, day);
        const int count = 2 + static_cast<int>(random() % 3);
        for (int i = 0; i < count; ++i) {
            size_t index = pickExpense(random);
            if (index == 10)
                index = 0; // rent only on the first
            add(kExpenses[index], false, day);
        }
    }
    return added;
}

} // namespace lumora::service
