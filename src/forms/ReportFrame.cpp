#include "ReportFrame.h"

#include "DataModule.h"
#include "ReportGrid.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TReportFrame::TReportFrame(TShareDM &dm, const QString &name, QWidget *parent)
    : QWidget(parent)
    , m_dm(dm)
{
    setObjectName(name);
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

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(bar);
    layout->addWidget(DBGridEh1, 1);
    connect(btnExport, &QPushButton::clicked, this, &TReportFrame::btnExportClick);
}

void TReportFrame::btnExportClick()
{
    m_dm.ExportGrid(DBGridEh1);
}

void TReportFrame::AddReportColumn(const QString &field, const QString &title, int width,
                                   TGridColumn::FooterType footer, const QString &format)
{
    TGridColumn c;
    c.FieldName = field;
    c.Title = title;
    c.Width = width;
    c.Footer = footer;
    c.DisplayFormat = format;
    DBGridEh1->AddColumn(c);
}

void TReportFrame::ShowRowCount(int rows)
{
    DBGridEh1->SetFooterText(0, u"共 "_s + QString::number(rows) + u" 条"_s);
}

void TReportFrame::LoadLayout(const QString &section)
{
    DBGridEh1->LoadColumnLayout(m_dm.GetAppPath() + u"DBGrid.ini"_s, section, u"DBGridEh1"_s);
}

void TReportFrame::SaveLayout(const QString &section)
{
    DBGridEh1->SaveColumnLayout(m_dm.GetAppPath() + u"DBGrid.ini"_s, section, u"DBGridEh1"_s);
}

void TReportFrame::NotYet(QPushButton *button, const QString &hint)
{
    button->setEnabled(false);
    button->setToolTip(hint);
}
