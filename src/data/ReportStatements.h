#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// The statements behind the reports and panels, in the program's SQL dialect. The frames, the
// admin tool and the benchmark build them here so there is one text for each.
namespace ReportStatements {

// Income and expense report. `base` (filters on any column, the user restriction included)
// applies to the rows shown and to the running balance "MoneyBalance"; `date` selects the rows
// shown only, so the first row of a day carries everything before it. Rows in running order.
// The balance is a window sum over (MoneyDate, MoneyIndex): the same figures as a correlated
// running sum, at n log n.
QString MoneyReport(const QString &base, const QString &date);
// The money report as the program runs it (same rows, same figures, less work): the date range
// of the rows shown, the balance brought forward to its first day, and the rows of that range
// in running order, flagged "MoneyShown" when they pass the date filter. See RunMoneyReport.
QString MoneyReportRange(const QString &base, const QString &date);
QString MoneyReportOpening(const QString &base, const QString &firstDate);
QString MoneyReportRows(const QString &base, const QString &date, const QString &firstDate, const QString &lastDate);

// The field names of the money report in the grid's initial order (after MoneyIndex).
QStringList MoneyReportFields();

// Receivable and payable report: `getPay` filters GetPayRecord (date included) and applies to
// the settlements' parent; `money` filters the settling vouchers.
QString GetPayReport(const QString &getPay, const QString &money);

// Per-book balances up to a date: B filters Book, M the vouchers, G the receivables/payables.
QString BookBalances(const QString &book, const QString &money, const QString &getPay);

// The settlements of one receivable/payable with their running total and outstanding balance.
QString Settlements(qint64 getPayIndex, const QString &restriction);

// The five aggregates of a period summary panel (see the panel): c1 vouchers of the period,
// c2 vouchers up to its end, c3 receivables/payables of the period, c4 those up to its end.
QStringList PeriodSummary(const QString &c1, const QString &c2, const QString &c3, const QString &c4);

// The period of a summary panel around a date: kind 0 the day, 1 its calendar month, 2 its
// calendar quarter.
struct TPeriod
{
    QDate start, end;
};
TPeriod SummaryPeriod(int kind, const QDate &date);
// The five statements of a panel of that kind for `date`, restricted to a user's own rows by
// the given fragments (empty for a user who sees everything).
QStringList PeriodSummaryFor(int kind, const QDate &date, const QString &moneyRestriction,
                             const QString &getPayRestriction);

// Custom statistics: totals of vouchers, receivables and payables together, grouped by period
// and/or columns. `money` filters MoneyRecord (dates included), `getPay` GetPayRecord.
struct TStatGrouping
{
    QString StatField;   // extra select columns of the inner statement
    QString StatGroup;   // the group-by clause
    QString StatFieldAs; // the display column of the period
};
// The grouping for a period kind (0 none, 1 day, 2 week, 3 month, 4 quarter) and grouping
// columns such as ",MoneyBook,MoneyUser".
TStatGrouping StatGrouping(int statType, const QString &userStatField);
// Removes the comma that follows "group by" when the period adds no column of its own.
QString DropGroupComma(const QString &text);
QString CustomStatistics(const QString &money, const QString &getPay, const TStatGrouping &grouping);

} // namespace ReportStatements
