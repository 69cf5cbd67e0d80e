#pragma once

#include "FilterList.h"
#include "RecordSet.h"

#include <QWidget>

class TShareDM;

// The receivable and payable report: each one with the amount settled so far and the amount
// still outstanding.
class TFrameGetPayReport : public QWidget
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

private:
    TShareDM &m_dm;
    int m_refreshCount = 0;
};
