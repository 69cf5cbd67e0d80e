#include "GetPayReportFrame.h"

#include "DataModule.h"
#include "ReportGrid.h"
#include "ReportStatements.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TFrameGetPayReport::TFrameGetPayReport(TShareDM &dm, QWidget *parent)
    : QWidget(parent)
    , m_dm(dm)
{
    setObjectName(u"TFrameGetPayReport1"_s);
    btnExport = new QPushButton(u"导出Excel"_s, this);
    btnExport->setObjectName(u"btnExport"_s);
    btnPrint = new QPushButton(u"打印列表"_s, this);
    btnPrint->setObjectName(u"btnPrint"_s);
    btnSearch = new QPushButton(u"查找单据"_s, this);
    btnSearch->setObjectName(u"btnSearch"_s);
    // Printing and this report's filter dialog are not in this version yet.
    btnPrint->setEnabled(false);
    btnPrint->setToolTip(u"打印功能将在后续版本中提供"_s);
    btnSearch->setEnabled(false);
    btnSearch->setToolTip(u"待收待付单据筛选将在后续版本中提供"_s);
    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(4, 4, 4, 0);
    bar->addStretch();
    bar->addWidget(btnExport);
    bar->addWidget(btnPrint);
    bar->addWidget(btnSearch);

    DBGridEh1 = new TReportGrid(this);
    DBGridEh1->setObjectName(u"DBGridEh1"_s);
    const auto column = [this](const QString &field, const QString &title, int width,
                               TGridColumn::FooterType footer = TGridColumn::FooterNone) {
        TGridColumn c;
        c.FieldName = field;
        c.Title = title;
        c.Width = width;
        c.Footer = footer;
        if (footer == TGridColumn::FooterSum)
            c.DisplayFormat = u"#,##0.00"_s;
        DBGridEh1->AddColumn(c);
    };
    column(u"GetPaySerial"_s, u"单据编号"_s, 80, TGridColumn::FooterStatic);
    column(u"GetPayDate"_s, u"单据日期"_s, 70);
    column(u"GetPayBook"_s, u"账簿名称"_s, 80);
    column(u"GetPayUser"_s, u"客户名称"_s, 100);
    column(u"GetSum"_s, u"待收金额"_s, 60, TGridColumn::FooterSum);
    column(u"PaySum"_s, u"待付金额"_s, 60, TGridColumn::FooterSum);
    column(u"GetPayMoney"_s, u"已收/已付"_s, 60, TGridColumn::FooterSum);
    column(u"GetPayBalance"_s, u"尚欠"_s, 60, TGridColumn::FooterSum);
    column(u"GetPayClerk"_s, u"业务员"_s, 50);
    column(u"GetPayRemark"_s, u"备注"_s, 150);
    DBGridEh1->SetQuery(&ADOQueryGetPayReport);
    DBGridEh1->SetRowColorFunction([](const TRecordSet &rows, int row) {
        return rows.value(row, u"GetPayKind"_s).toString() == u"待收记账"_s ? QColor(0, 0, 255) : QColor(255, 0, 0);
    });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(bar);
    layout->addWidget(DBGridEh1, 1);
    connect(btnExport, &QPushButton::clicked, this, &TFrameGetPayReport::btnExportClick);
}

void TFrameGetPayReport::RefreshReport()
{
    ++m_refreshCount;
    const QVariant mark = ADOQueryGetPayReport.bookmark();
    const TLoginUser &user = m_dm.LoginUser();
    m_dm.OpenQuery(ADOQueryGetPayReport,
                   ReportStatements::GetPayReport(FilterList.value(u"GetPayFilter"_s) + user.RestrictGetPay(),
                                                  FilterList.value(u"MoneyFilter"_s) + user.RestrictMoney()));
    DBGridEh1->SetFooterText(0, u"共 "_s + QString::number(ADOQueryGetPayReport.recordCount()) + u" 条"_s);
    ADOQueryGetPayReport.gotoBookmark(mark);
}

void TFrameGetPayReport::LoadColumnLayout()
{
    DBGridEh1->LoadColumnLayout(m_dm.GetAppPath() + u"DBGrid.ini"_s, LayoutSection(), u"DBGridEh1"_s);
}

void TFrameGetPayReport::SaveColumnLayout()
{
    DBGridEh1->SaveColumnLayout(m_dm.GetAppPath() + u"DBGrid.ini"_s, LayoutSection(), u"DBGridEh1"_s);
}

void TFrameGetPayReport::btnExportClick()
{
    m_dm.ExportGrid(DBGridEh1);
}
