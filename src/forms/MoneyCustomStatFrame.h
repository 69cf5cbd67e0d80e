#pragma once

#include "FilterList.h"
#include "RecordSet.h"
#include "ReportFrame.h"

// Grouped totals over vouchers, receivables and payables together: income, expense and their
// difference; receivables raised, received and outstanding; the same for payables.
class TFrameCustomStat : public TReportFrame
{
    Q_OBJECT
public:
    explicit TFrameCustomStat(TShareDM &dm, QWidget *parent = nullptr);

    TFilterList FilterList;
    TQuery ADOQueryMoneyStat;

    void BuildStatistics();
    int BuildCount() const { return m_buildCount; }

private:
    int m_buildCount = 0;
};
