#pragma once

#include "FilterList.h"
#include "RecordSet.h"

#include <QWidget>

class TShareDM;

// Grouped totals over vouchers, receivables and payables.
class TFrameCustomStat : public QWidget
{
    Q_OBJECT
public:
    explicit TFrameCustomStat(TShareDM &dm, QWidget *parent = nullptr);

    TFilterList FilterList;
    TQuery ADOQueryMoneyStat;

    void BuildStatistics();
    int BuildCount() const { return m_buildCount; }

private:
    TShareDM &m_dm;
    int m_buildCount = 0;
};
