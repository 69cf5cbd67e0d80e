#include "ReportStatements.h"

#include "SqlText.h"

using namespace Qt::StringLiterals;

namespace ReportStatements {

QString MoneyReport(const QString &base, const QString &date)
{
    return u"select * from (select *,iif(MoneyKind='财务收入',MoneySum,0) as MoneyIn,"
           "iif(MoneyKind='财务支出',MoneySum,0) as MoneyOut,"
           "iif(MoneyKind='财务收入',MoneySum,-MoneySum) as MoneySum2,"
           "Round(Sum(iif(MoneyKind='财务收入',MoneySum,-MoneySum)) over (order by MoneyDate,MoneyIndex"
           " rows between unbounded preceding and current row),2) as MoneyBalance"
           " from MoneyRecord as t1 where 0=0 "_s
           + base + u") as t3 where 0=0 "_s + date + u" Order by MoneyDate,MoneyIndex"_s;
}

QString MoneyReportRange(const QString &base, const QString &date)
{
    return u"select min(MoneyDate) as FirstDate,max(MoneyDate) as LastDate from MoneyRecord where 0=0 "_s + base + date;
}

QString MoneyReportOpening(const QString &base, const QString &firstDate)
{
    return u"select Sum(iif(MoneyKind='财务收入',MoneySum,-MoneySum)) as Opening from MoneyRecord where 0=0 "_s + base
           + SqlText::BeforeDateCondition(u"MoneyDate"_s, firstDate, u" and "_s);
}

QString MoneyReportRows(const QString &base, const QString &date, const QString &firstDate, const QString &lastDate)
{
    return u"select *,iif(MoneyKind='财务收入',MoneySum,0) as MoneyIn,iif(MoneyKind='财务支出',MoneySum,0) as MoneyOut,"
           "iif(MoneyKind='财务收入',MoneySum,-MoneySum) as MoneySum2,iif(0=0 "_s
           + date + u",1,0) as MoneyShown from MoneyRecord where 0=0 "_s + base
           + SqlText::BetweenDatesCondition(u"MoneyDate"_s, firstDate, lastDate, u" and "_s)
           + u" Order by MoneyDate,MoneyIndex"_s;
}

QStringList MoneyReportFields()
{
    return {u"MoneySerial"_s, u"MoneyDate"_s,    u"MoneyBook"_s,  u"MoneyUser"_s,   u"MoneyIn"_s,     u"MoneyOut"_s,
            u"MoneySum2"_s,   u"MoneyBalance"_s, u"MoneyClerk"_s, u"MoneyReason"_s, u"MoneyPay"_s,    u"MoneyRemark"_s};
}

QString GetPayReport(const QString &getPay, const QString &money)
{
    return u"select *,iif(GetPayKind='待收记账',GetPaySum,0) as GetSum,iif(GetPayKind='待付记账',-GetPaySum,0) as PaySum,"
           "iif(IsNull(s1),0,s1) as GetPayMoney,+(iif(GetPayKind='待收记账',GetPaySum,-GetPaySum)- GetPayMoney) as GetPayBalance"
           " from (select * from GetPayRecord where 0=0 "_s
           + getPay
           + u") as t1 left join (select MoneyGetPay,Sum(iif(MoneyKind='财务收入',MoneySum,-MoneySum)) as s1"
             " from GetPayRecord,MoneyRecord where GetPayIndex=MoneyGetPay "_s
           + getPay + money + u" group by MoneyGetPay) as t2 on t1.GetPayIndex=t2.MoneyGetPay"_s;
}

QString BookBalances(const QString &book, const QString &money, const QString &getPay)
{
    return u"select *,iif(IsNull(MoneyBalance),0,MoneyBalance) as BalanceMoney,iif(IsNull(GetBalance),0,GetBalance) as BalanceGet,"
           "iif(IsNull(PayBalance),0,PayBalance) as BalancePay from (select * from (select * from Book where 0=0 "_s
           + book
           + u") as t1 left join (select MoneyBook,Sum(iif(MoneyKind='财务收入',MoneySum,-MoneySum)) as MoneyBalance"
             " from Book,MoneyRecord where BookName=MoneyBook "_s
           + book + money
           + u" group by MoneyBook ) as t2 on t1.BookName=t2.MoneyBook) as t3 left join (select GetPayBook,"
             "Sum(iif(GetPayKind='待收记账',GetPayBalance,0)) as GetBalance,Sum(iif(GetPayKind='待付记账',GetPayBalance,0))"
             "  as PayBalance from (select *,(GetPaySum-iif(IsNull(RealGetPay),0,RealGetPay)) as GetPayBalance from"
             " (select * from Book,GetPayRecord where BookName=GetPayBook "_s
           + book + getPay
           + u") as t5 left join (select MoneyGetPay,Sum(MoneySum) as RealGetPay from GetPayRecord,MoneyRecord"
             " where GetPayIndex=MoneyGetPay "_s
           + money + getPay
           + u" group by MoneyGetPay) as t6 on t5.GetPayIndex=t6.MoneyGetPay ) as t7 group by GetPayBook) as t4"
             " on t3.BookName=t4.GetPayBook"_s;
}

QString Settlements(qint64 getPayIndex, const QString &restriction)
{
    // The running total counts every settlement of the row, whoever entered it.
    const QString n = QString::number(getPayIndex);
    return u"select *,(GetPaySum-TotalSum) as BalanceSum from (select * from (select *,"
           "Sum(MoneySum) over (order by MoneyDate,MoneyIndex rows between unbounded preceding and current row)"
           " as TotalSum from MoneyRecord as t1,GetPayRecord where t1.MoneyGetPay=GetPayIndex and t1.MoneyGetPay="_s
           + n + u") as t2 where 0=0 "_s + restriction + u") as t3 Order by MoneyDate,MoneyIndex"_s;
}

TStatGrouping StatGrouping(int statType, const QString &userStatField)
{
    TStatGrouping g;
    switch (statType) {
    case 0:
        g.StatGroup = userStatField.isEmpty() ? QString() : u" group by "_s;
        break;
    case 1:
        g.StatField = u",year(MoneyDate) as year1,month(MoneyDate) as Month1,day(MoneyDate) as Date1"_s;
        g.StatGroup = u" group by year(MoneyDate),month(MoneyDate),day(MoneyDate)"_s;
        g.StatFieldAs = u",(ltrim(year1)+'年'+ltrim(month1)+'月'+ltrim(date1)+'日') as DateStr"_s;
        break;
    case 2:
        g.StatField = u",year(MoneyDate) as year1,datepart('ww',MoneyDate) as week1"_s;
        g.StatGroup = u" group by year(MoneyDate),datepart('ww',MoneyDate)"_s;
        g.StatFieldAs = u",(ltrim(year1)+'年'+ltrim(week1)+'周') as weekStr"_s;
        break;
    case 3:
        g.StatField = u",year(MoneyDate) as year1,month(MoneyDate) as month1"_s;
        g.StatGroup = u" group by year(MoneyDate),month(MoneyDate)"_s;
        g.StatFieldAs = u",(ltrim(year1)+'年'+ltrim(month1)+'月') as monthStr"_s;
        break;
    case 4:
        g.StatField = u",year(MoneyDate) as year1,datepart('q',MoneyDate) as quarter1"_s;
        g.StatGroup = u" group by year(MoneyDate),datepart('q',MoneyDate)"_s;
        g.StatFieldAs = u",(ltrim(year1)+'年'+'第'+ltrim(quarter1)+'季') as quarterStr"_s;
        break;
    default:
        break;
    }
    g.StatField += userStatField;
    g.StatGroup = DropGroupComma(g.StatGroup + userStatField);
    return g;
}

QString DropGroupComma(const QString &text)
{
    const qsizetype at = text.indexOf(u"group"_s);
    if (at < 0)
        return text;
    qsizetype i = at + 8; // past "group by"
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    QString out = text;
    if (i < out.size() && out.at(i) == u',')
        out.remove(i, 1);
    return out;
}

QString CustomStatistics(const QString &money, const QString &getPay, const TStatGrouping &grouping)
{
    return u"select *,(SumShouldGet-SumRealGet) as SumGetBalance,(SumShouldPay-SumRealPay) as SumPayBalance,"
           "(SumMoneyIn-SumMoneyOut) as MoneyBalance "_s
           + grouping.StatFieldAs
           + u" from (select Sum(iif(MoneyKind='财务收入',MoneySum,0)) as SumMoneyIn, Sum(iif(MoneyKind='财务支出',MoneySum,0))"
             " as SumMoneyOut, Sum(iif(MoneyKind='待收记账',MoneySum,0)) as SumShouldGet,Sum(iif(MoneyKind='财务收入' and"
             " MoneyGetPay>0,MoneySum,0)) as SumRealGet, Sum(iif(MoneyKind='待付记账',MoneySum,0)) as SumShouldPay,"
             "Sum(iif(MoneyKind='财务支出' and MoneyGetPay>0,MoneySum,0)) as SumRealPay "_s
           + grouping.StatField
           + u" from (select MoneyKind,MoneyDate,MoneyBook,MoneyUser,MoneyClerk,MoneyReason,MoneySum,MoneyGetPay from"
             " MoneyRecord where 0=0 "_s
           + money
           + u" union all  select GetPayKind as MoneyKind,GetPayDate as MoneyDate,GetPayBook as MoneyBook,GetPayUser as"
             " MoneyUser,GetPayClerk as MoneyClerk,GetPayReason as MoneyReason, GetPaySum as MoneySum,0 as MoneyGetPay"
             " from GetPayRecord where 0=0 "_s
           + getPay + u") as t "_s + grouping.StatGroup + u") as tt"_s;
}

QStringList PeriodSummary(const QString &c1, const QString &c2, const QString &c3, const QString &c4)
{
    return {
        u"select Sum(iif(MoneyKind='财务收入',MoneySum,0)) as MoneyIn,Sum(iif(MoneyKind='财务支出',MoneySum,0)) as MoneyOut"
        " from MoneyRecord where 0=0 "_s + c1,
        u"select Sum(iif(MoneyKind='财务收入',MoneySum, -MoneySum)) as MoneyBalance from MoneyRecord where 0=0 "_s + c2,
        u"select Sum(iif(GetPayKind='待收记账',GetPaySum,0)) as GetSum,Sum(iif(GetPayKind='待付记账',GetPaySum,0)) as PaySum"
        " from GetPayRecord where 0=0 "_s + c3,
        u"select Sum(iif(GetPayKind='待收记账',MoneySum,0)) as GetMoney,Sum(iif(GetPayKind='待付记账',MoneySum,0)) as PayMoney"
        " from GetPayRecord,MoneyRecord where MoneyGetPay=GetPayIndex "_s + c1,
        u"select Sum(GetBalance) as GetBalanceSum,Sum(PayBalance) as PayBalanceSum from (select *,"
        "iif(GetPayKind='待收记账',GetPaySum-iif(IsNull(GetPayMoney),0,GetPayMoney),0) as GetBalance,"
        "iif(GetPayKind='待付记账',GetPaySum-iif(IsNull(GetPayMoney),0,GetPayMoney),0) as PayBalance from"
        " (select * from GetPayRecord where 0=0 "_s + c4
            + u") as t1 left join (select MoneyGetPay,Sum(MoneySum) as GetPayMoney from MoneyRecord,GetPayRecord"
              " where MoneyGetPay=GetPayIndex "_s + c4 + c2 + u"  group by MoneyGetPay) as t2 on t1.GetPayIndex=t2.MoneyGetPay ) as t3"_s,
    };
}

TPeriod SummaryPeriod(int kind, const QDate &date)
{
    if (kind == 1) {
        const QDate first(date.year(), date.month(), 1);
        return {first, first.addDays(first.daysInMonth() - 1)};
    }
    if (kind == 2) {
        const QDate first(date.year(), 3 * ((date.month() + 2) / 3) - 2, 1);
        return {first, first.addMonths(3).addDays(-1)};
    }
    return {date, date};
}

QStringList PeriodSummaryFor(int kind, const QDate &date, const QString &moneyRestriction,
                             const QString &getPayRestriction)
{
    const TPeriod p = SummaryPeriod(kind, date);
    const QString a = u" and "_s;
    const QString ss = SqlText::DateText(p.start), es = SqlText::DateText(p.end);
    // A day compares with "=", a month or quarter with "between".
    const auto inPeriod = [&](const QString &field) {
        return kind == 0 ? SqlText::OnDateCondition(field, es, a) : SqlText::BetweenDatesCondition(field, ss, es, a);
    };
    return PeriodSummary(inPeriod(u"MoneyDate"_s) + moneyRestriction,
                         SqlText::UpToDateCondition(u"MoneyDate"_s, es, a) + moneyRestriction,
                         inPeriod(u"GetPayDate"_s) + getPayRestriction,
                         SqlText::UpToDateCondition(u"GetPayDate"_s, es, a) + getPayRestriction);
}

} // namespace ReportStatements
