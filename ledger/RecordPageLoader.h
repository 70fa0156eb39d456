#pragma once

#include "core/Reply.h"

#include <QObject>
#include <QString>

#include <functional>

namespace lumora
{

class THttpThreadControl;
class TfrmVGrid;

// Sends the main window's record queries and turns each reply into the grid's page: the records, one blank record
// for the next entry, the expense total of the page and the page line. The main window owns one and shows what
// the hooks hand it.
class RecordPageLoader : public QObject
{
    Q_OBJECT
public:
    explicit RecordPageLoader(TfrmVGrid *grid, QObject *parent = nullptr);

    THttpThreadControl *httpAllData = nullptr;
    PageInfo Page; // CurPage, RecCount, RecCountInPage of the main window
    double PageTotal = 0;

    // Asked when a reply arrives, before it replaces the page; false drops the reply and keeps the page.
    std::function<bool()> MayLoadPage;
    // Text for txtPageInfo and for hj_day_label1, handed over when a page has been loaded.
    std::function<void(const QString &)> OnPageInfoText;
    std::function<void(const QString &)> OnPageTotalText;

    // Posts SessionBlock followed by lines; returns at once.
    void SendDataQuery(int page, const QString &lines);

    void httpAllDataHttpData(THttpThreadControl *http);
    void httpAllDataHttpError(THttpThreadControl *http, const QString &err);

    // The reply handler's work on a reply text; throws LumoraError on a reply that is not XML or a bad "Info".
    void LoadRecordPage(const QString &replyText);

    QString PageInfoText() const;
    static QString TwoDecimals(double value);
    // The amount text as a number: trimmed, 0 when it is not a finite decimal number.
    static double AmountValue(const QString &text);

private:
    TfrmVGrid *grid_;
};

} // namespace lumora
