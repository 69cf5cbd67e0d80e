#pragma once

#include "ReportGrid.h"

#include <QWidget>

class QPushButton;
class TShareDM;

// What the report tabs share: the bar with "导出Excel", "打印列表" and "查找单据" over a
// report grid, the row-count footer and the grid's column layout in DBGrid.ini.
class TReportFrame : public QWidget
{
    Q_OBJECT
public:
    TReportGrid *DBGridEh1 = nullptr;
    QPushButton *btnExport = nullptr, *btnPrint = nullptr, *btnSearch = nullptr;

    void btnExportClick();

protected:
    TReportFrame(TShareDM &dm, const QString &name, QWidget *parent);
    // A column of the grid bound to a field of its query.
    void AddReportColumn(const QString &field, const QString &title, int width,
                         TGridColumn::FooterType footer = TGridColumn::FooterNone, const QString &format = QString());
    // "共 n 条" in the first column's footer.
    void ShowRowCount(int rows);
    void LoadLayout(const QString &section);
    void SaveLayout(const QString &section);
    // A command that is not in this version: off, and saying so.
    static void NotYet(QPushButton *button, const QString &hint);

    TShareDM &m_dm;
};
