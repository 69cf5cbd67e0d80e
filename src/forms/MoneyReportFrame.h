#pragma once

#include "FilterList.h"
#include "RecordSet.h"
#include "ReportFrame.h"

class TFormMoneyEditor;
class TFormMoneySearch;

// The income and expense report: vouchers matching the filter list with income, expense, the
// signed amount and the running balance, coloured by kind. Double click opens the voucher.
class TFrameMoneyReport : public TReportFrame
{
    Q_OBJECT
public:
    explicit TFrameMoneyReport(TShareDM &dm, QWidget *parent = nullptr);

    // The shared dialogs this frame opens (made once by the main window).
    void SetDialogs(TFormMoneyEditor *editor, TFormMoneySearch *search);

    TFilterList FilterList;
    TQuery ADOQueryMoneyReport;

    void RefreshReport();
    void LoadColumnLayout();
    void SaveColumnLayout();
    int RefreshCount() const { return m_refreshCount; }

    void btnSearchClick();
    void DBGridEh1DblClick();

    static QString LayoutSection() { return QStringLiteral("MoneyDBGrid"); }

private:
    TFormMoneyEditor *m_editor = nullptr;
    TFormMoneySearch *m_search = nullptr;
    int m_refreshCount = 0;
};
