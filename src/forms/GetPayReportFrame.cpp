#include "GetPayReportFrame.h"

#include "DataModule.h"
#include "ReportStatements.h"

#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TFrameGetPayReport::TFrameGetPayReport(TShareDM &dm, QWidget *parent)
    : QWidget(parent)
    , m_dm(dm)
{
    setObjectName(u"TFrameGetPayReport1"_s);
    new QVBoxLayout(this);
}

void TFrameGetPayReport::RefreshReport()
{
    ++m_refreshCount;
    const QVariant mark = ADOQueryGetPayReport.bookmark();
    const TLoginUser &user = m_dm.LoginUser();
    m_dm.OpenQuery(ADOQueryGetPayReport,
                   ReportStatements::GetPayReport(FilterList.value(u"GetPayFilter"_s) + user.RestrictGetPay(),
                                                  FilterList.value(u"MoneyFilter"_s) + user.RestrictMoney()));
    ADOQueryGetPayReport.gotoBookmark(mark);
}

void TFrameGetPayReport::LoadColumnLayout()
{
}

void TFrameGetPayReport::SaveColumnLayout()
{
}
