#pragma once

#include "FilterList.h"
#include "RecordSet.h"

#include <QWidget>

class QPushButton;
class TReportGrid;
class TShareDM;

// Grouped totals over vouchers, receivables and payables together: income, expense and their
// difference; receivables raised, received and outstanding; the same for payables.
class TFrameCustomStat : public QWidget
{
    Q_OBJECT
public:
    explicit TFrameCustomStat(TShareDM &dm, QWidget *parent = nullptr);

    TFilterList FilterList;
    TQuery ADOQueryMoneyStat;
    TReportGrid *DBGridEh1 = nullptr;
    QPushButton *btnExport = nullptr, *btnPrint = nullptr, *btnSearch = nullptr;

    void BuildStatistics();
    int BuildCount() const { return m_buildCount; }
    void btnExportClick();

private:
    TShareDM &m_dm;
    int m_buildCount = 0;
};
