#pragma once

#include <QDate>
#include <QWidget>

class QLabel;
class TFormMain;
class TShareDM;

// Nine money figures of one period around the picked date (day, calendar month or calendar
// quarter): income, expense, balance; receivables raised, settled and outstanding; the same for
// payables. Each figure opens the report behind it.
class TFrameFinanceStat : public QWidget
{
    Q_OBJECT
public:
    TFrameFinanceStat(TShareDM &dm, TFormMain *mainForm, QWidget *parent = nullptr);

    void SetPeriodKind(int kind);
    int PeriodKind() const { return m_kind; }
    void RefreshSummary();

    static QDate QuarterStart(const QDate &date);
    static QDate QuarterEnd(const QDate &date);
    // The Index-th date written in a label's hint ("2009-01-01~2009-01-31" and the like).
    static QString HintDates(const QLabel *label, int index);

    // Value labels in row order, and their captions.
    QLabel *lblMoneyIn, *lblMoneyOut, *lblMoneyBalance, *lblGetSum, *lblGetRealSum, *lblGetBalance, *lblPaySum,
        *lblPayRealSum, *lblPayBalance;
    QLabel *capMoneyIn, *capMoneyOut, *capMoneyBalance, *capGetSum, *capGetRealSum, *capGetBalance, *capPaySum,
        *capPayRealSum, *capPayBalance;

    // The click handlers of the nine figures.
    void lblMoneyInClick();
    void lblMoneyOutClick();
    void lblMoneyBalanceClick();
    void lblGetSumClick();
    void lblGetRealSumClick();
    void lblGetBalanceClick();
    void lblPaySumClick();
    void lblPayRealSumClick();
    void lblPayBalanceClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void settledClick(const QLabel *label, bool receivable);
    void getPayClick(const QLabel *label, const QString &kind, bool balance);

    TShareDM &m_dm;
    TFormMain *m_main;
    int m_kind = 0;
};
