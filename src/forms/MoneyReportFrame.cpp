#include "MoneyReportFrame.h"

#include "DataModule.h"
#include "ReportStatements.h"

#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TFrameMoneyReport::TFrameMoneyReport(TShareDM &dm, QWidget *parent)
    : QWidget(parent)
    , m_dm(dm)
{
    setObjectName(u"TFrameMoneyReport1"_s);
    new QVBoxLayout(this);
}

void TFrameMoneyReport::RefreshReport()
{
    ++m_refreshCount;
    const QVariant mark = ADOQueryMoneyReport.bookmark();
    const QString base = FilterList.value(u"MoneyBaseFilter"_s) + m_dm.LoginUser().RestrictMoney();
    m_dm.OpenQuery(ADOQueryMoneyReport,
                   ReportStatements::MoneyReport(base, FilterList.value(u"MoneyDateFilter"_s)));
    ADOQueryMoneyReport.gotoBookmark(mark);
}

void TFrameMoneyReport::LoadColumnLayout()
{
}

void TFrameMoneyReport::SaveColumnLayout()
{
}
