#pragma once

#include "FilterList.h"
#include "RecordSet.h"
#include "ReportFrame.h"

// The receivable and payable report: each one with the amount settled so far and the amount
// still outstanding; receivables positive, payables negative.
class TFrameGetPayReport : public TReportFrame
{
    Q_OBJECT
public:
    explicit TFrameGetPayReport(TShareDM &dm, QWidget *parent = nullptr);

    TFilterList FilterList;
    TQuery ADOQueryGetPayReport;

    void RefreshReport();
    void LoadColumnLayout();
    void SaveColumnLayout();
    int RefreshCount() const { return m_refreshCount; }

    static QString LayoutSection() { return QStringLiteral("GetPayDBGrid"); }

private:
    int m_refreshCount = 0;
};
