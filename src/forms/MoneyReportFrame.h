#pragma once

#include "FilterList.h"
#include "RecordSet.h"

#include <QWidget>

class TShareDM;

// The income and expense report: vouchers matching the filter list with income, expense, the
// signed amount and the running balance.
class TFrameMoneyReport : public QWidget
{
    Q_OBJECT
public:
    explicit TFrameMoneyReport(TShareDM &dm, QWidget *parent = nullptr);

    TFilterList FilterList;
    TQuery ADOQueryMoneyReport;

    void RefreshReport();
    void LoadColumnLayout();
    void SaveColumnLayout();
    int RefreshCount() const { return m_refreshCount; }

private:
    TShareDM &m_dm;
    int m_refreshCount = 0;
};
