#pragma once

#include <QList>
#include <QString>

namespace lumora
{

struct Reply;

// One record row as the grid shows it.
struct QueryRecordRow {
    QString name1;
    QString money1; // two decimals
    QString inOut;  // "收入" or "支出"
    QString type1;
    QString create_time;
    QString input_user;  // as sent; not shown in the grid
    double amount = 0;   // money1 as a number
    bool expense = true; // in1 is not "1"
};

struct QueryRecords {
    QList<QueryRecordRow> rows;
    double expenseTotal = 0; // over the rows whose in1 is not "1"
    int matching = -1;       // records the service found ("Info" RecCount); -1 when the reply does not say

    // The service returns at most its first 1000 matches; true when it says it found more than it sent.
    bool IsCut() const { return matching > rows.size(); }
};

// Rows of "Data" in document order, and the match count of "Info".
QueryRecords ReadQueryRecords(const Reply &reply);

struct CategoryTotal {
    QString category;
    QString amount; // two decimals
};
QList<CategoryTotal> ReadCategoryTotals(const Reply &reply);

// An amount text, trimmed and read with "." as the decimal point; anything that is not a finite number counts 0.
double AmountValue(const QString &text);
// "%.2f" of the value.
QString AmountText(double value);

// The tree node of a category total: category + "(" + amount + ")".
QString CategoryNodeText(const CategoryTotal &total);
// The category of a node: the text before the "(" that opens the appended amount, so a category whose own name
// holds "(" keeps it. A text without "(" is the category itself.
QString CategoryOfNodeText(const QString &nodeText);

} // namespace lumora
