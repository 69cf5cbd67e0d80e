#include "MoneyReportFrame.h"

#include "DataModule.h"
#include "MoneyEditorForm.h"
#include "MoneyReport.h"
#include "MoneySearchForm.h"
#include "ReportGrid.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

TFrameMoneyReport::TFrameMoneyReport(TShareDM &dm, QWidget *parent)
    : TReportFrame(dm, u"TFrameMoneyReport1"_s, parent)
{
    // Printing comes with the report builder.
    NotYet(btnPrint, u"打印功能将在后续版本中提供"_s);
    const QString money = u"#,##0.00"_s;
    AddReportColumn(u"MoneySerial"_s, u"单据编号"_s, 80, TGridColumn::FooterStatic);
    AddReportColumn(u"MoneyDate"_s, u"单据日期"_s, 70);
    AddReportColumn(u"MoneyBook"_s, u"账簿名称"_s, 80);
    AddReportColumn(u"MoneyUser"_s, u"客户名称"_s, 100);
    AddReportColumn(u"MoneyIn"_s, u"收入"_s, 60, TGridColumn::FooterSum, money);
    AddReportColumn(u"MoneyOut"_s, u"支出"_s, 60, TGridColumn::FooterSum, money);
    AddReportColumn(u"MoneySum2"_s, u"合计"_s, 60, TGridColumn::FooterSum, money);
    AddReportColumn(u"MoneyBalance"_s, u"累计"_s, 60, TGridColumn::FooterNone, money);
    AddReportColumn(u"MoneyClerk"_s, u"业务员"_s, 50);
    AddReportColumn(u"MoneyReason"_s, u"收支种类"_s, 80);
    AddReportColumn(u"MoneyPay"_s, u"支付方式"_s, 70);
    AddReportColumn(u"MoneyRemark"_s, u"备注"_s, 150);
    DBGridEh1->SetQuery(&ADOQueryMoneyReport);
    // Whole rows in blue for income, red for expense.
    DBGridEh1->SetRowColorFunction([](const TRecordSet &rows, int row) {
        return rows.value(row, u"MoneyKind"_s).toString() == u"财务收入"_s ? QColor(0, 0, 255) : QColor(255, 0, 0);
    });

    connect(btnSearch, &QPushButton::clicked, this, &TFrameMoneyReport::btnSearchClick);
    connect(DBGridEh1, &TReportGrid::RowDoubleClicked, this, &TFrameMoneyReport::DBGridEh1DblClick);
}

void TFrameMoneyReport::SetDialogs(TFormMoneyEditor *editor, TFormMoneySearch *search)
{
    m_editor = editor;
    m_search = search;
}

void TFrameMoneyReport::RefreshReport()
{
    ++m_refreshCount;
    const QVariant mark = ADOQueryMoneyReport.bookmark();
    const QString base = FilterList.value(u"MoneyBaseFilter"_s) + m_dm.LoginUser().RestrictMoney();
    OpenMoneyReport(m_dm, ADOQueryMoneyReport, base, FilterList.value(u"MoneyDateFilter"_s));
    ShowRowCount(ADOQueryMoneyReport.recordCount());
    ADOQueryMoneyReport.gotoBookmark(mark);
}

void TFrameMoneyReport::LoadColumnLayout()
{
    LoadLayout(LayoutSection());
}

void TFrameMoneyReport::SaveColumnLayout()
{
    SaveLayout(LayoutSection());
}

void TFrameMoneyReport::btnSearchClick()
{
    if (!m_search || m_search->exec() != QDialog::Accepted)
        return;
    FilterList.setValue(u"MoneyDateFilter"_s, m_search->DateCondition);
    FilterList.setValue(u"MoneyBaseFilter"_s, m_search->BaseCondition);
    RefreshReport();
}

void TFrameMoneyReport::DBGridEh1DblClick()
{
    if (!m_editor || !ADOQueryMoneyReport.isOpen() || ADOQueryMoneyReport.isEmpty())
        return;
    m_editor->OpenMode = 1;
    m_editor->RecordIndex = ADOQueryMoneyReport.fieldValue(u"MoneyIndex"_s).toLongLong();
    if (m_editor->exec() == QDialog::Accepted)
        RefreshReport();
}
