#include "PersonTotals.h"

#include <QHash>

#include <algorithm>

namespace lumora
{

namespace
{

QString PersonKey(const QString &label)
{
    return label.trimmed().isEmpty() ? QString() : label;
}

} // namespace

QList<PersonTotal> ReadPersonTotals(const QList<QueryRecordRow> &rows)
{
    QList<PersonTotal> totals;
    QHash<QString, qsizetype> index;
    for (const QueryRecordRow &row : rows) {
        const QString key = PersonKey(row.input_user);
        auto found = index.constFind(key);
        if (found == index.constEnd()) {
            found = index.insert(key, totals.size());
            totals.append({key, 0});
        }
        if (row.expense)
            totals[*found].amount += row.amount;
    }
    std::stable_sort(totals.begin(), totals.end(),
                     [](const PersonTotal &a, const PersonTotal &b) { return a.amount > b.amount; });
    return totals;
}

QString PersonLabel(const QString &person)
{
    return person.isEmpty() ? QStringLiteral("(未标识)") : person;
}

QString PersonNodeText(const PersonTotal &total)
{
    return PersonLabel(total.person) + QLatin1Char('(') + AmountText(total.amount) + QLatin1Char(')');
}

QString AllPersonsNodeText(double total)
{
    return QStringLiteral("全部(") + AmountText(total) + QLatin1Char(')');
}

QueryRecords RowsOfPerson(const QueryRecords &records, const QString &person)
{
    QueryRecords mine;
    mine.matching = -1;
    for (const QueryRecordRow &row : records.rows) {
        if (PersonKey(row.input_user) != person)
            continue;
        mine.rows.append(row);
        if (row.expense)
            mine.expenseTotal += row.amount;
    }
    return mine;
}

QString PersonTabCaption(const QueryRecords &records)
{
    return records.IsCut() ? QStringLiteral("按输入者分(前1000条)") : QStringLiteral("按输入者分");
}

} // namespace lumora
