#include "GetPayReportFrame.h"

#include "DataModule.h"
#include "ReportGrid.h"
#include "ReportStatements.h"


using namespace Qt::StringLiterals;

TFrameGetPayReport::TFrameGetPayReport(TShareDM &dm, QWidget *parent)
    : TReportFrame(dm, u"TFrameGetPayReport1"_s, parent)
{
    // Printing and this report's filter dialog are not in this version yet.
    NotYet(btnPrint, u"打印功能将在后续版本中提供"_s);
    NotYet(btnSearch, u"待收待付单据筛选将在后续版本中提供"_s);
    const QString money = u"#,##0.00"_s;
    AddReportColumn(u"GetPaySerial"_s, u"单据编号"_s, 80, TGridColumn::FooterStatic);
    AddReportColumn(u"GetPayDate"_s, u"单据日期"_s, 70);
    AddReportColumn(u"GetPayBook"_s, u"账簿名称"_s, 80);
    AddReportColumn(u"GetPayUser"_s, u"客户名称"_s, 100);
    AddReportColumn(u"GetSum"_s, u"待收金额"_s, 60, TGridColumn::FooterSum, money);
    AddReportColumn(u"PaySum"_s, u"待付金额"_s, 60, TGridColumn::FooterSum, money);
    AddReportColumn(u"GetPayMoney"_s, u"已收/已付"_s, 60, TGridColumn::FooterSum, money);
    AddReportColumn(u"GetPayBalance"_s, u"尚欠"_s, 60, TGridColumn::FooterSum, money);
    AddReportColumn(u"GetPayClerk"_s, u"业务员"_s, 50);
    AddReportColumn(u"GetPayRemark"_s, u"备注"_s, 150);
    DBGridEh1->SetQuery(&ADOQueryGetPayReport);
    DBGridEh1->SetRowColorFunction([](const TRecordSet &rows, int row) {
        return rows.value(row, u"GetPayKind"_s).toString() == u"待收记账"_s ? QColor(0, 0, 255) : QColor(255, 0, 0);
    });
}

void TFrameGetPayReport::RefreshReport()
{
    ++m_refreshCount;
    const QVariant mark = ADOQueryGetPayReport.bookmark();
    const TLoginUser &user = m_dm.LoginUser();
    m_dm.OpenQuery(ADOQueryGetPayReport,
                   ReportStatements::GetPayReport(FilterList.value(u"GetPayFilter"_s) + user.RestrictGetPay(),
                                                  FilterList.value(u"MoneyFilter"_s) + user.RestrictMoney()));
    ShowRowCount(ADOQueryGetPayReport.recordCount());
    ADOQueryGetPayReport.gotoBookmark(mark);
}

void TFrameGetPayReport::LoadColumnLayout()
{
    LoadLayout(LayoutSection());
}

void TFrameGetPayReport::SaveColumnLayout()
{
    SaveLayout(LayoutSection());
}
