#pragma once

#include "FilterList.h"
#include "RecordSet.h"

#include <QWidget>

class QPushButton;
class TFormMoneyEditor;
class TFormMoneySearch;
class TReportGrid;
class TShareDM;

// The income and expense report: vouchers matching the filter list with income, expense, the
// signed amount and the running balance, coloured by kind. Double click opens the voucher.
class TFrameMoneyReport : public QWidget
{
    Q_OBJECT
public:
    explicit TFrameMoneyReport(TShareDM &dm, QWidget *parent = nullptr);

    // The shared dialogs this frame opens (made once by the main window).
    void SetDialogs(TFormMoneyEditor *editor, TFormMoneySearch *search);

    TFilterList FilterList;
    TQuery ADOQueryMoneyReport;
    TReportGrid *DBGridEh1 = nullptr;
    QPushButton *btnExport = nullptr, *btnPrint = nullptr, *btnSearch = nullptr;

    void RefreshReport();
    void LoadColumnLayout();
    void SaveColumnLayout();
    int RefreshCount() const { return m_refreshCount; }

    void btnExportClick();
    void btnPrintClick();
    void btnSearchClick();
    void DBGridEh1DblClick();

    static QString LayoutSection() { return QStringLiteral("MoneyDBGrid"); }

Q_SIGNALS:
    // The print command of the grid (the printing module answers it).
    void PrintRequested(TReportGrid *grid, const QString &title);

private:
    TShareDM &m_dm;
    TFormMoneyEditor *m_editor = nullptr;
    TFormMoneySearch *m_search = nullptr;
    int m_refreshCount = 0;
};
