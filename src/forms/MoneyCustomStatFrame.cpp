#include "MoneyCustomStatFrame.h"

#include "DataModule.h"
#include "ReportGrid.h"
#include "ReportStatements.h"


using namespace Qt::StringLiterals;

TFrameCustomStat::TFrameCustomStat(TShareDM &dm, QWidget *parent)
    : TReportFrame(dm, u"TFrameCustomStat1"_s, parent)
{
    // Printing and the grouping dialog are not in this version yet.
    NotYet(btnPrint, u"打印功能将在后续版本中提供"_s);
    NotYet(btnSearch, u"分组统计的条件设置将在后续版本中提供"_s);
    DBGridEh1->SetQuery(&ADOQueryMoneyStat);
}

void TFrameCustomStat::BuildStatistics()
{
    ++m_buildCount;
    const QVariant mark = ADOQueryMoneyStat.bookmark();
    QString m = FilterList.value(u"MoneyBaseFilter"_s);
    QString g = FilterList.value(u"GetPayRecordFilter"_s);
    const TLoginUser &user = m_dm.LoginUser();
    m += user.RestrictMoney();
    g += user.RestrictGetPay();
    bool ok = false;
    const int statType = FilterList.value(u"StatType"_s).toInt(&ok);
    const QString userStatField = FilterList.value(u"UserStatField"_s);
    const ReportStatements::TStatGrouping grouping = ReportStatements::StatGrouping(ok ? statType : 0, userStatField);
    FilterList.setValue(u"StatField"_s, grouping.StatField);
    FilterList.setValue(u"StatGroup"_s, grouping.StatGroup);
    FilterList.setValue(u"StatFieldAs"_s, grouping.StatFieldAs);
    m_dm.OpenQuery(ADOQueryMoneyStat,
                   ReportStatements::CustomStatistics(m + FilterList.value(u"MoneyDateFilter"_s), g, grouping));

    // The columns follow the grouping: a column whose field the result lacks is left out.
    DBGridEh1->ClearColumns();
    struct Column
    {
        QString field, caption;
        int width;
        bool sum;
    };
    const QList<Column> columns = {
        {u"DateStr"_s, u"日期"_s, 80, false},          {u"weekStr"_s, u"周"_s, 80, false},
        {u"monthStr"_s, u"月份"_s, 80, false},         {u"quarterStr"_s, u"季度"_s, 80, false},
        {u"MoneyBook"_s, u"账簿名称"_s, 100, false},   {u"MoneyUser"_s, u"客户名称"_s, 100, false},
        {u"MoneyClerk"_s, u"业务员"_s, 60, false},     {u"MoneyReason"_s, u"收支种类"_s, 80, false},
        {u"SumMoneyIn"_s, u"财务收支|收入"_s, 60, true}, {u"SumMoneyOut"_s, u"财务收支|支出"_s, 60, true},
        {u"MoneyBalance"_s, u"财务收支|差额"_s, 60, true}, {u"SumShouldGet"_s, u"待收记账|待收款"_s, 60, true},
        {u"SumRealGet"_s, u"待收记账|实收款"_s, 60, true}, {u"SumGetBalance"_s, u"待收记账|待收余"_s, 60, true},
        {u"SumShouldPay"_s, u"待付记账|待付款"_s, 60, true}, {u"SumRealPay"_s, u"待付记账|实付款"_s, 60, true},
        {u"SumPayBalance"_s, u"待付记账|待付余"_s, 60, true},
    };
    TGridColumn number;
    number.FieldName = u"AutoCalc"_s;
    number.Title = u"序号"_s;
    number.Width = 50;
    number.RowNumber = true;
    number.Footer = TGridColumn::FooterStatic;
    DBGridEh1->AddColumn(number);
    for (const Column &c : columns)
        m_dm.AddGridColumn(DBGridEh1, c.field, c.caption, c.width, true,
                           c.sum ? TGridColumn::FooterSum : TGridColumn::FooterNone, c.sum ? u"0.##"_s : QString());
    ShowRowCount(ADOQueryMoneyStat.recordCount());
    ADOQueryMoneyStat.gotoBookmark(mark);
}
