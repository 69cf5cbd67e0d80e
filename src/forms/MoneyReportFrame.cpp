#include "MoneyReportFrame.h"

#include "DataModule.h"
#include "MoneyEditorForm.h"
#include "MoneyReport.h"
#include "MoneySearchForm.h"
#include "ReportGrid.h"
#include "ReportStatements.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TFrameMoneyReport::TFrameMoneyReport(TShareDM &dm, QWidget *parent)
    : QWidget(parent)
    , m_dm(dm)
{
    setObjectName(u"TFrameMoneyReport1"_s);
    btnExport = new QPushButton(u"导出Excel"_s, this);
    btnExport->setObjectName(u"btnExport"_s);
    btnPrint = new QPushButton(u"打印列表"_s, this);
    btnPrint->setObjectName(u"btnPrint"_s);
    btnSearch = new QPushButton(u"查找单据"_s, this);
    btnSearch->setObjectName(u"btnSearch"_s);
    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(4, 4, 4, 0);
    bar->addStretch();
    bar->addWidget(btnExport);
    bar->addWidget(btnPrint);
    bar->addWidget(btnSearch);

    DBGridEh1 = new TReportGrid(this);
    DBGridEh1->setObjectName(u"DBGridEh1"_s);
    const auto column = [this](const QString &field, const QString &title, int width,
                               TGridColumn::FooterType footer = TGridColumn::FooterNone,
                               const QString &format = QString()) {
        TGridColumn c;
        c.FieldName = field;
        c.Title = title;
        c.Width = width;
        c.Footer = footer;
        c.DisplayFormat = format;
        DBGridEh1->AddColumn(c);
    };
    const QString money = u"#,##0.00"_s;
    column(u"MoneySerial"_s, u"单据编号"_s, 80, TGridColumn::FooterStatic);
    column(u"MoneyDate"_s, u"单据日期"_s, 70);
    column(u"MoneyBook"_s, u"账簿名称"_s, 80);
    column(u"MoneyUser"_s, u"客户名称"_s, 100);
    column(u"MoneyIn"_s, u"收入"_s, 60, TGridColumn::FooterSum, money);
    column(u"MoneyOut"_s, u"支出"_s, 60, TGridColumn::FooterSum, money);
    column(u"MoneySum2"_s, u"合计"_s, 60, TGridColumn::FooterSum, money);
    column(u"MoneyBalance"_s, u"累计"_s, 60, TGridColumn::FooterNone, money);
    column(u"MoneyClerk"_s, u"业务员"_s, 50);
    column(u"MoneyReason"_s, u"收支种类"_s, 80);
    column(u"MoneyPay"_s, u"支付方式"_s, 70);
    column(u"MoneyRemark"_s, u"备注"_s, 150);
    DBGridEh1->SetQuery(&ADOQueryMoneyReport);
    // Whole rows in blue for income, red for expense.
    DBGridEh1->SetRowColorFunction([](const TRecordSet &rows, int row) {
        return rows.value(row, u"MoneyKind"_s).toString() == u"财务收入"_s ? QColor(0, 0, 255) : QColor(255, 0, 0);
    });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(bar);
    layout->addWidget(DBGridEh1, 1);

    connect(btnExport, &QPushButton::clicked, this, &TFrameMoneyReport::btnExportClick);
    connect(btnPrint, &QPushButton::clicked, this, &TFrameMoneyReport::btnPrintClick);
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
    DBGridEh1->SetFooterText(0, u"共 "_s + QString::number(ADOQueryMoneyReport.recordCount()) + u" 条"_s);
    ADOQueryMoneyReport.gotoBookmark(mark);
}

void TFrameMoneyReport::LoadColumnLayout()
{
    DBGridEh1->LoadColumnLayout(m_dm.GetAppPath() + u"DBGrid.ini"_s, LayoutSection(), u"DBGridEh1"_s);
}

void TFrameMoneyReport::SaveColumnLayout()
{
    DBGridEh1->SaveColumnLayout(m_dm.GetAppPath() + u"DBGrid.ini"_s, LayoutSection(), u"DBGridEh1"_s);
}

void TFrameMoneyReport::btnExportClick()
{
    m_dm.ExportGrid(DBGridEh1);
}

void TFrameMoneyReport::btnPrintClick()
{
    Q_EMIT PrintRequested(DBGridEh1, u"收支单据报表"_s);
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
