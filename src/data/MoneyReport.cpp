#include "MoneyReport.h"

#include "DataModule.h"
#include "ReportStatements.h"

#include <cmath>
#include <vector>

using namespace Qt::StringLiterals;

bool RunMoneyReport(TShareDM &dm, const QString &base, const QString &date, TRecordSet *rows, QString *error)
{
    TRecordSet range;
    if (!dm.RunQuery(ReportStatements::MoneyReportRange(base, date), &range, error))
        return false;
    const QString first = range.value(0, 0).toString();
    const QString last = range.value(0, 1).toString();
    double balance = 0.0;
    if (first.isEmpty()) {
        // Nothing to show: an empty result that still has the report's fields.
        if (!dm.RunQuery(ReportStatements::MoneyReportRows(base + u" and 0=1"_s, date, u"1900-01-01"_s, u"1900-01-01"_s),
                         rows, error))
            return false;
    } else {
        TRecordSet opening;
        if (!dm.RunQuery(ReportStatements::MoneyReportOpening(base, first), &opening, error))
            return false;
        balance = opening.value(0, 0).toDouble();
        if (!dm.RunQuery(ReportStatements::MoneyReportRows(base, date, first, last), rows, error))
            return false;
    }
    const int signedColumn = rows->fieldIndex(u"MoneySum2"_s);
    const int shownColumn = rows->fieldIndex(u"MoneyShown"_s);
    const std::size_t count = std::size_t(rows->recordCount());
    std::vector<double> balances(count);
    std::vector<bool> shown(count);
    bool hidden = false;
    for (std::size_t r = 0; r < count; ++r) {
        balance += rows->number(int(r), signedColumn);
        balances[r] = std::round(balance * 100.0) / 100.0;
        shown[r] = rows->number(int(r), shownColumn) != 0.0;
        hidden = hidden || !shown[r];
    }
    rows->addRealField(u"MoneyBalance"_s, balances);
    rows->removeField(shownColumn);
    // Rows of the range that the date filter leaves out count in the balance only.
    if (hidden)
        rows->keepRows(shown);
    return true;
}

void OpenMoneyReport(TShareDM &dm, TQuery &query, const QString &base, const QString &date)
{
    query.close();
    const QString sql = ReportStatements::MoneyReport(base, date);
    TRecordSet rows;
    QString error;
    if (RunMoneyReport(dm, base, date, &rows, &error)) {
        query.setResult(sql, std::move(rows));
        return;
    }
    query.setStatement(sql);
    dm.NoteFailedStatement(error, sql);
}
