#pragma once

#include "QueryReply.h"

#include <QList>
#include <QString>

namespace lumora
{

// The expense total of one entering user over the rows of a records reply.
struct PersonTotal {
    QString person; // the label as sent; empty for records that carry none
    double amount = 0;
};

// One entry per entering user of the rows, the largest expense total first; equal totals keep the order in which
// their users first appear. A label of blanks only counts as no label.
QList<PersonTotal> ReadPersonTotals(const QList<QueryRecordRow> &rows);

// The label shown for a user: "(未标识)" for records without one.
QString PersonLabel(const QString &person);
// Tree nodes: label + "(" + total + ")", and "全部(" + total + ")" for everybody.
QString PersonNodeText(const PersonTotal &total);
QString AllPersonsNodeText(double total);

// The rows of one user (empty for the unlabelled ones) in their order, with their expense total.
QueryRecords RowsOfPerson(const QueryRecords &records, const QString &person);

// "按输入者分", marked "(前1000条)" when the service found more records than it sent, so a partial total is never
// taken for the whole.
QString PersonTabCaption(const QueryRecords &records);

} // namespace lumora
