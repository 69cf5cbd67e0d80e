#pragma once

#include "FilterList.h"
#include "RecordSet.h"

#include <QWidget>

class QPushButton;
class TReportGrid;
class TShareDM;

// The receivable and payable report: each one with the amount settled so far and the amount
// still outstanding; receivables positive, payables negative.
class TFrameGetPayReport : public QWidget
{
    Q_OBJECT
public:
    explicit TFrameGetPayReport(TShareDM &dm, QWidget *parent = nullptr);

    TFilterList FilterList;
    TQuery ADOQueryGetPayReport;
    TReportGrid *DBGridEh1 = nullptr;
    QPushButton *btnExport = nullptr, *btnPrint = nullptr, *btnSearch = nullptr;

    void RefreshReport();
    void LoadColumnLayout();
    void SaveColumnLayout();
    int RefreshCount() const { return m_refreshCount; }
    void btnExportClick();

    static QString LayoutSection() { return QStringLiteral("GetPayDBGrid"); }

private:
    TShareDM &m_dm;
    int m_refreshCount = 0;
};
