#include "Routes.h"

#include "Base64Text.h"
#include "CalendarDate.h"
#include "FormBody.h"
#include "GbkText.h"
#include "Money.h"

#include <algorithm>
#include <climits>

namespace lumora::service
{

namespace
{

constexpr size_t kMaxIdGuidBytes = 64;

XmlReply Refuse(RouteResult &result, const std::string &why)
{
    result.outcome = why;
    return XmlReply(false);
}

void AddRecordRow(XmlReply &reply, const StoredRecord &record)
{
    const RecordFields &f = record.fields;
    const std::string id = std::to_string(record.id);
    reply.addRow({{"id_guid", f.idGuid},
                  {"id", id},
                  {"name1", f.name1},
                  {"in1", f.in1},
                  {"money1", f.money1},
                  {"type1", f.type1},
                  {"create_time", f.createTime},
                  {"input_user", f.inputUser},
                  {"is_lock", record.locked ? "1" : "0"}});
}

// The record of a save or lock body; nothing when a field is unusable, with the reason in why.
std::optional<RecordFields> ReadRecord(const FormBody &form, std::string &why)
{
    RecordFields record;
    record.idGuid = form.value("id_guid");
    if (record.idGuid.empty() || record.idGuid.size() > kMaxIdGuidBytes) {
        why = "refused: id_guid";
        return std::nullopt;
    }
    record.money1 = form.value("money1");
    const auto cents = ParseCents(record.money1);
    if (!cents) {
        why = "refused: amount";
        return std::nullopt;
    }
    record.cents = *cents;

    // The date fields decide the record's day; create_time is kept as typed but must be a real date too.
    record.createTime = form.value("create_time");
    std::optional<CalendarDate> day;
    const bool hasFields = !form.value("year1").empty() || !form.value("month1").empty() || !form.value("day1").empty();
    if (hasFields) {
        day = CalendarDate::FromFields(form.value("year1"), form.value("month1"), form.value("day1"));
        if (!day) {
            why = "refused: date";
            return std::nullopt;
        }
    }
    if (!record.createTime.empty()) {
        const auto typed = CalendarDate::Parse(record.createTime);
        if (!typed) {
            why = "refused: date";
            return std::nullopt;
        }
        if (!day)
            day = typed;
    }
    if (!day) {
        why = "refused: date";
        return std::nullopt;
    }
    record.day = day->iso();
    record.name1 = form.value("name1");
    record.in1 = form.value("in1");
    record.type1 = form.value("type1");
    record.inputUser = form.value("input_user");
    return record;
}

int OffsetOf(int page, int pageSize)
{
    const long long offset = static_cast<long long>(page) * pageSize;
    return offset > INT_MAX ? INT_MAX : static_cast<int>(offset);
}

struct RecordQuery {
    int page = 0;
    RecordFilter filter;
    bool period = false;
    bool sums = false;

    // No period and no filter but the minimum amount: the newest records.
    bool newest() const { return !sums && !period && !filter.type1 && !filter.income; }
};

// The fields of a record query; nothing when one is unusable, with the reason in why.
std::optional<RecordQuery> ReadQuery(const FormBody &form, std::string &why)
{
    auto refuse = [&why](const char *reason) -> std::optional<RecordQuery> {
        why = reason;
        return std::nullopt;
    };
    RecordQuery asked;
    if (!form.value("page").empty()) {
        const auto parsed = ParseSmallInt(form.value("page"));
        if (!parsed)
            return refuse("refused: page");
        asked.page = *parsed;
    }
    RecordFilter &filter = asked.filter;
    if (!form.value("mini_money").empty()) {
        filter.minCentsExclusive = ParseCents(form.value("mini_money"));
        if (!filter.minCentsExclusive)
            return refuse("refused: mini_money");
    }

    // Which period: an explicit range, else a month, else a day; none at all means the newest records.
    asked.period = true;
    const std::string &bdate = form.value("bdate1");
    const std::string &edate = form.value("edate1");
    if (!bdate.empty() || !edate.empty()) {
        if (!bdate.empty()) {
            const auto from = CalendarDate::Parse(bdate);
            if (!from)
                return refuse("refused: bdate1");
            filter.fromDay = from->iso();
        }
        if (!edate.empty()) {
            const auto until = CalendarDate::Parse(edate);
            if (!until)
                return refuse("refused: edate1");
            filter.untilDay = until->iso();
        }
    } else if (!form.value("month1").empty()) {
        const auto month = CalendarDate::Parse(form.value("month1"));
        if (!month)
            return refuse("refused: month1");
        filter.fromDay = month->firstOfMonth().iso();
        filter.untilDay = month->addMonths(1).iso();
    } else if (!form.value("day1").empty()) {
        const auto day = CalendarDate::Parse(form.value("day1"));
        if (!day)
            return refuse("refused: day1");
        filter.fromDay = day->iso();
        filter.untilDay = day->addDays(1).iso();
    } else {
        asked.period = false;
    }
    if (!form.value("type1").empty())
        filter.type1 = form.value("type1");
    if (form.value("in1") == "1")
        filter.income = true;
    else if (form.value("in1") == "0")
        filter.income = false;
    asked.sums = form.value("sum1") == "sum1";
    return asked;
}

XmlReply NewestPageReply(RecordPage found, int page)
{
    XmlReply reply(true);
    // The page runs oldest to newest, so the newest record stands last, just above the blank entry line.
    std::reverse(found.records.begin(), found.records.end());
    for (const auto &record : found.records)
        AddRecordRow(reply, record);
    reply.setInfo(found.total, Routes::kNewestPageSize, page);
    return reply;
}

} // namespace

Routes::Routes(Storage &storage, Accounts &accounts, ServiceOptions options)
    : storage_(storage), accounts_(accounts), options_(std::move(options))
{
}

bool Routes::IsKnownScript(const std::string &script)
{
    return script == "new_ver.php" || script == "kessum_login.php" || script == "kessum_sqlite_type.php" ||
           script == "kessum_sqlite_post.php" || script == "kessum_sqlite_lock.php";
}

RouteResult Routes::post(const std::string &script, const std::string &body, const std::string &address)
{
    RouteResult result;
    auto reply = [&]() -> XmlReply {
        auto form = FormBody::Parse(body);
        if (!form)
            return Refuse(result, "refused: malformed body");
        if (!form->convertFromGbk())
            return Refuse(result, "refused: not GBK");
        result.action = form->value("action");
        result.account = form->value("user_name");
        if (!IsKnownScript(script))
            return Refuse(result, "refused: unknown script");

        if (script == "new_ver.php") {
            XmlReply version(true);
            version.addResultText("ver", options_.version);
            version.addResultText("info", options_.versionInfo);
            return version;
        }

        if (script == "kessum_sqlite_post.php" && storage_.confirmsHashWithPage()) {
            if (auto page = rememberedNewestPage(*form))
                return std::move(*page);
        }
        const auto checked = accounts_.check(form->value("user_name"), form->value("user_pass"), address);
        if (checked.check != Accounts::Check::Verified) {
            result.denied = true;
            result.quiet = checked.check == Accounts::Check::Throttled || checked.check == Accounts::Check::Busy;
            return Refuse(result, checked.check == Accounts::Check::Busy        ? "denied: busy"
                                  : checked.check == Accounts::Check::Throttled ? "denied: throttled"
                                                                                : "denied");
        }
        const std::int64_t account = checked.account;
        if (script == "kessum_login.php")
            return login(*form, account, result);
        if (script == "kessum_sqlite_type.php")
            return categories(*form, account, result);
        if (script == "kessum_sqlite_post.php")
            return records(*form, account, result);
        return lock(*form, account, result);
    }();
    result.body = reply.text();
    return result;
}

XmlReply Routes::login(const FormBody &form, std::int64_t, RouteResult &result)
{
    if (form.value("action") != "login")
        return Refuse(result, "refused: unknown action");
    return XmlReply(true);
}

XmlReply Routes::categories(const FormBody &form, std::int64_t account, RouteResult &result)
{
    const std::string &action = form.value("action");
    if (action == "data") {
        // The list goes out Base64-encoded twice: once here, once as every row attribute is.
        const auto gbk = Utf8ToGbk(storage_.categories(account));
        XmlReply reply(true);
        reply.addRow({{"type1", Base64Encode(gbk ? *gbk : std::string())}});
        return reply;
    }
    if (action == "add") {
        if (!form.has("type1"))
            return Refuse(result, "refused: no type1");
        const auto gbk = Base64DecodeStrict(form.value("type1"));
        if (!gbk)
            return Refuse(result, "refused: type1 not Base64");
        const auto list = GbkToUtf8(*gbk);
        if (!list)
            return Refuse(result, "refused: type1 not GBK");
        storage_.setCategories(account, *list);
        return XmlReply(true);
    }
    return Refuse(result, "refused: unknown action");
}

XmlReply Routes::records(const FormBody &form, std::int64_t account, RouteResult &result)
{
    const std::string &action = form.value("action");
    if (action == "data")
        return query(form, account, result);
    if (action == "add")
        return save(form, account, result);
    if (action == "del")
        return remove(form, account, result);
    if (action == "add_sum")
        return recount(form, account, result);
    return Refuse(result, "refused: unknown action");
}

XmlReply Routes::lock(const FormBody &form, std::int64_t account, RouteResult &result)
{
    if (form.value("action") != "lock")
        return Refuse(result, "refused: unknown action");
    const std::string &idGuid = form.value("id_guid");
    if (idGuid.empty())
        return Refuse(result, "refused: id_guid");
    // The client sends the line's fields with a lock, and marks the line saved when the lock succeeds, so
    // they are stored too; a bare id_guid only locks.
    std::optional<RecordFields> fields;
    const bool hasFields = form.has("name1") || form.has("money1") || form.has("create_time") || form.has("year1");
    if (hasFields) {
        std::string why;
        fields = ReadRecord(form, why);
        if (!fields)
            return Refuse(result, why);
    }
    switch (storage_.lockRecord(account, idGuid, fields)) {
    case WriteOutcome::Stored:
        return XmlReply(true);
    case WriteOutcome::NotFound:
        return Refuse(result, "refused: no such record");
    case WriteOutcome::Locked:
        break;
    }
    return Refuse(result, "refused: locked");
}

XmlReply Routes::query(const FormBody &form, std::int64_t account, RouteResult &result)
{
    std::string why;
    const auto asked = ReadQuery(form, why);
    if (!asked)
        return Refuse(result, why);
    const RecordFilter &filter = asked->filter;
    const int page = asked->page;
    XmlReply reply(true);
    if (asked->sums) {
        const auto totals = storage_.categoryTotals(account, filter);
        for (const auto &total : totals)
            reply.addRow({{"type1", total.type1}, {"money1", FormatCents(total.cents)}});
        reply.setInfo(static_cast<long long>(totals.size()), static_cast<long long>(totals.size()), 0);
        return reply;
    }
    if (asked->newest())
        return NewestPageReply(storage_.newestRecords(account, filter.minCentsExclusive,
                                                      OffsetOf(page, kNewestPageSize), kNewestPageSize),
                               page);
    const RecordPage found = storage_.findRecords(account, filter, OffsetOf(page, kPeriodPageSize), kPeriodPageSize);
    for (const auto &record : found.records)
        AddRecordRow(reply, record);
    reply.setInfo(found.total, kPeriodPageSize, page);
    return reply;
}

std::optional<XmlReply> Routes::rememberedNewestPage(const FormBody &form)
{
    if (form.value("action") != "data")
        return std::nullopt;
    std::string why;
    const auto asked = ReadQuery(form, why);
    if (!asked || !asked->newest())
        return std::nullopt;
    const auto known = accounts_.recall(form.value("user_name"), form.value("user_pass"));
    if (!known)
        return std::nullopt;
    auto found = storage_.newestRecordsWhileHash(known->account, known->storedHash, asked->filter.minCentsExclusive,
                                                 OffsetOf(asked->page, kNewestPageSize), kNewestPageSize);
    if (!found)
        return std::nullopt;
    return NewestPageReply(std::move(*found), asked->page);
}

XmlReply Routes::save(const FormBody &form, std::int64_t account, RouteResult &result)
{
    std::string why;
    const auto record = ReadRecord(form, why);
    if (!record)
        return Refuse(result, why);
    if (storage_.saveRecord(account, *record) == WriteOutcome::Locked)
        return Refuse(result, "refused: locked");
    return XmlReply(true);
}

XmlReply Routes::remove(const FormBody &form, std::int64_t account, RouteResult &result)
{
    const std::string &idGuid = form.value("id_guid");
    if (idGuid.empty())
        return Refuse(result, "refused: id_guid");
    switch (storage_.deleteRecord(account, idGuid)) {
    case WriteOutcome::Stored:
        return XmlReply(true);
    case WriteOutcome::Locked:
        return Refuse(result, "refused: locked");
    case WriteOutcome::NotFound:
        break;
    }
    return Refuse(result, "refused: no such record");
}

XmlReply Routes::recount(const FormBody &form, std::int64_t account, RouteResult &result)
{
    const std::string &day = form.value("day1");
    const auto date = CalendarDate::FromFields(form.value("year1"), form.value("month1"), day.empty() ? "1" : day);
    if (!date)
        return Refuse(result, "refused: date");
    storage_.recountMonth(account, date->year, date->month);
    XmlReply reply(true);
    for (const auto &total : storage_.monthTotals(account, date->year, date->month, kMonthTotalRows)) {
        const std::string expense = FormatCents(total.expenseCents);
        const std::string income = FormatCents(total.incomeCents);
        const std::string balance = FormatCents(total.incomeCents - total.expenseCents);
        const std::string year = std::to_string(total.year);
        const std::string month = std::to_string(total.month);
        reply.addRow(
            {{"money1", expense}, {"money_in1", income}, {"money_ye1", balance}, {"year1", year}, {"month1", month}});
    }
    return reply;
}

} // namespace lumora::service
