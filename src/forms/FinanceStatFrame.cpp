#include "FinanceStatFrame.h"

#include "DataModule.h"
#include "DisplayFormat.h"
#include "GetPayReportFrame.h"
#include "MainForm.h"
#include "MoneyReportFrame.h"
#include "ReportStatements.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>

using namespace Qt::StringLiterals;

namespace {

// "%m": the Chinese (China) currency format, whatever the machine's locale.
QString currencyText(double value)
{
    return FormatDisplayNumber(value, u"%m"_s);
}

} // namespace

TFrameFinanceStat::TFrameFinanceStat(TShareDM &dm, TFormMain *mainForm, QWidget *parent)
    : QWidget(parent)
    , m_dm(dm)
    , m_main(mainForm)
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(2);
    grid->setVerticalSpacing(3);
    const auto row = [&](int r, const QString &name, const QString &caption, QLabel *&cap, QLabel *&value) {
        cap = new QLabel(caption, this);
        cap->setObjectName(u"cap"_s + name);
        value = new QLabel(u"0￥"_s, this);
        value->setObjectName(u"lbl"_s + name);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setCursor(Qt::PointingHandCursor);
        for (QLabel *l : {cap, value}) {
            QPalette p = l->palette();
            p.setColor(QPalette::WindowText, Qt::blue);
            l->setPalette(p);
        }
        value->installEventFilter(this);
        grid->addWidget(cap, r, 0);
        grid->addWidget(value, r, 1);
    };
    row(0, u"MoneyIn"_s, u"当日收入："_s, capMoneyIn, lblMoneyIn);
    row(1, u"MoneyOut"_s, u"当日支出："_s, capMoneyOut, lblMoneyOut);
    row(2, u"MoneyBalance"_s, u"累计收支："_s, capMoneyBalance, lblMoneyBalance);
    row(3, u"GetSum"_s, u"当日待收："_s, capGetSum, lblGetSum);
    row(4, u"GetRealSum"_s, u"当日收款："_s, capGetRealSum, lblGetRealSum);
    row(5, u"GetBalance"_s, u"累待收余："_s, capGetBalance, lblGetBalance);
    row(6, u"PaySum"_s, u"当日记账："_s, capPaySum, lblPaySum);
    row(7, u"PayRealSum"_s, u"当日付款："_s, capPayRealSum, lblPayRealSum);
    row(8, u"PayBalance"_s, u"累待付余："_s, capPayBalance, lblPayBalance);
    grid->setRowStretch(9, 1);
    grid->setColumnStretch(1, 1);
}

void TFrameFinanceStat::SetPeriodKind(int kind)
{
    m_kind = kind;
}

QDate TFrameFinanceStat::QuarterStart(const QDate &date)
{
    return ReportStatements::SummaryPeriod(2, date).start;
}

QDate TFrameFinanceStat::QuarterEnd(const QDate &date)
{
    return ReportStatements::SummaryPeriod(2, date).end;
}

QString TFrameFinanceStat::HintDates(const QLabel *label, int index)
{
    QStringList dates;
    QString acc;
    const QString hint = label->toolTip();
    for (const QChar c : hint) {
        const bool separator = c == u',' || c == u'~';
        if (!c.isDigit() && c != u'-' && !separator)
            continue;
        if (separator && !acc.isEmpty() && SqlText::ParseDate(acc).isValid() && acc.size() == 10) {
            dates << acc;
            acc.clear();
        } else {
            acc += c;
        }
    }
    return dates.value(index);
}

void TFrameFinanceStat::RefreshSummary()
{
    const QDate d = m_main->SelectedDate();
    const ReportStatements::TPeriod period = ReportStatements::SummaryPeriod(m_kind, d);
    const QString ds = SqlText::DateText(d), ss = SqlText::DateText(period.start), es = SqlText::DateText(period.end);

    struct Caption
    {
        QLabel *label;
        QString day, month, quarter;
    };
    const QList<Caption> captions = {
        {capMoneyIn, u"当日收入："_s, u"本月收入："_s, u"本季收入："_s},
        {capMoneyOut, u"当日支出："_s, u"本月支出："_s, u"本季支出："_s},
        {capGetSum, u"当日待收："_s, u"本月待收："_s, u"本季待收："_s},
        {capGetRealSum, u"当日收款："_s, u"本月收款："_s, u"本季收款："_s},
        {capPaySum, u"当日待付："_s, u"本月待付："_s, u"本季待付："_s},
        {capPayRealSum, u"当日付款："_s, u"本月付款："_s, u"本季付款："_s},
    };
    for (const Caption &c : captions)
        c.label->setText(m_kind == 0 ? c.day : (m_kind == 1 ? c.month : c.quarter));

    struct Hint
    {
        QLabel *cap, *value;
        QString day, period;
        bool balance;
    };
    const QList<Hint> hints = {
        {capMoneyIn, lblMoneyIn, u"%1,财务总收入"_s, u"时间段%1,财务总收入"_s, false},
        {capMoneyOut, lblMoneyOut, u"%1,财务总支出"_s, u"时间段%1,财务总支出"_s, false},
        {capMoneyBalance, lblMoneyBalance, u"截止%1,财务收支总余额"_s, u"截止%1,财务收支总余额"_s, true},
        {capGetSum, lblGetSum, u"%1,待收总额"_s, u"时间段%1,待收总额"_s, false},
        {capGetRealSum, lblGetRealSum, u"%1,待收款入账总额"_s, u"时间段%1,待收款入账总额"_s, false},
        {capGetBalance, lblGetBalance, u"截止%1,待收款累计总余额"_s, u"截止%1,待收款累计总余额"_s, true},
        {capPaySum, lblPaySum, u"%1,待付总额"_s, u"时间段%1,待付总额"_s, false},
        {capPayRealSum, lblPayRealSum, u"%1,待付款出账总额"_s, u"时间段%1,待付款出账总额"_s, false},
        {capPayBalance, lblPayBalance, u"截止%1,待付款累计总余额"_s, u"截止%1,待付款累计总余额"_s, true},
    };
    for (const Hint &h : hints) {
        const QString text = m_kind == 0 ? h.day.arg(ds) : h.period.arg(h.balance ? es : ss + u'~' + es);
        TShareDM::SetControlsHint({h.cap, h.value}, text);
    }

    const TLoginUser &user = m_dm.LoginUser();
    const QStringList statements =
        ReportStatements::PeriodSummaryFor(m_kind, d, user.RestrictMoney(), user.RestrictGetPay());
    const QList<QList<QPair<QString, QLabel *>>> targets = {
        {{u"MoneyIn"_s, lblMoneyIn}, {u"MoneyOut"_s, lblMoneyOut}},
        {{u"MoneyBalance"_s, lblMoneyBalance}},
        {{u"GetSum"_s, lblGetSum}, {u"PaySum"_s, lblPaySum}},
        {{u"GetMoney"_s, lblGetRealSum}, {u"PayMoney"_s, lblPayRealSum}},
        {{u"GetBalanceSum"_s, lblGetBalance}, {u"PayBalanceSum"_s, lblPayBalance}},
    };
    for (qsizetype i = 0; i < statements.size(); ++i) {
        m_dm.OpenQuery(m_dm.ADOQueryTemp, statements.at(i));
        if (m_dm.ADOQueryTemp.isEmpty())
            continue; // a failed statement leaves its figures as they were
        for (const auto &[field, label] : targets.at(i))
            label->setText(currencyText(m_dm.ADOQueryTemp.fieldValue(field).toDouble()));
    }
    m_dm.ADOQueryTemp.close();
}

bool TFrameFinanceStat::eventFilter(QObject *watched, QEvent *event)
{
    auto *label = qobject_cast<QLabel *>(watched);
    if (!label)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::Enter || event->type() == QEvent::Leave) {
        QFont f = label->font();
        f.setUnderline(event->type() == QEvent::Enter);
        label->setFont(f);
    } else if (event->type() == QEvent::MouseButtonRelease
               && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (label == lblMoneyIn)
            lblMoneyInClick();
        else if (label == lblMoneyOut)
            lblMoneyOutClick();
        else if (label == lblMoneyBalance)
            lblMoneyBalanceClick();
        else if (label == lblGetSum)
            lblGetSumClick();
        else if (label == lblGetRealSum)
            lblGetRealSumClick();
        else if (label == lblGetBalance)
            lblGetBalanceClick();
        else if (label == lblPaySum)
            lblPaySumClick();
        else if (label == lblPayRealSum)
            lblPayRealSumClick();
        else if (label == lblPayBalance)
            lblPayBalanceClick();
    }
    return QWidget::eventFilter(watched, event);
}

namespace {

QString periodCondition(int kind, const QString &field, const QString &t0, const QString &t1)
{
    return kind == 0 ? SqlText::OnDateCondition(field, t0, u" and "_s)
                     : SqlText::BetweenDatesCondition(field, t0, t1, u" and "_s);
}

} // namespace

void TFrameFinanceStat::lblMoneyInClick()
{
    TFilterList &list = m_main->TFrameMoneyReport1->FilterList;
    list.setValue(u"MoneyBaseFilter"_s, u" and MoneyKind='财务收入'"_s);
    list.setValue(u"MoneyDateFilter"_s,
                  periodCondition(m_kind, u"MoneyDate"_s, HintDates(lblMoneyIn, 0), HintDates(lblMoneyIn, 1)));
    m_main->ShowTab(u"收支单据报表"_s);
}

void TFrameFinanceStat::lblMoneyOutClick()
{
    TFilterList &list = m_main->TFrameMoneyReport1->FilterList;
    list.setValue(u"MoneyBaseFilter"_s, u" and MoneyKind='财务支出'"_s);
    list.setValue(u"MoneyDateFilter"_s,
                  periodCondition(m_kind, u"MoneyDate"_s, HintDates(lblMoneyOut, 0), HintDates(lblMoneyOut, 1)));
    m_main->ShowTab(u"收支单据报表"_s);
}

void TFrameFinanceStat::lblMoneyBalanceClick()
{
    TFilterList &list = m_main->TFrameMoneyReport1->FilterList;
    list.setValue(u"MoneyBaseFilter"_s, QString());
    list.setValue(u"MoneyDateFilter"_s,
                  SqlText::UpToDateCondition(u"MoneyDate"_s, HintDates(lblMoneyBalance, 0), u" and "_s));
    m_main->ShowTab(u"收支单据报表"_s);
}

void TFrameFinanceStat::getPayClick(const QLabel *label, const QString &kind, bool balance)
{
    const QString t0 = HintDates(label, 0);
    const QString t1 = HintDates(label, 1);
    TFilterList &list = m_main->TFrameGetPayReport1->FilterList;
    const QString kindCondition = u" and GetPayKind="_s + SqlText::QuotedStr(kind);
    if (balance) {
        list.setValue(u"GetPayFilter"_s, kindCondition + SqlText::UpToDateCondition(u"GetPayDate"_s, t0, u" and "_s));
        list.setValue(u"MoneyFilter"_s, SqlText::UpToDateCondition(u"MoneyDate"_s, t0, u" and "_s));
    } else {
        list.setValue(u"GetPayFilter"_s, kindCondition + periodCondition(m_kind, u"GetPayDate"_s, t0, t1));
        list.setValue(u"MoneyFilter"_s,
                      SqlText::UpToDateCondition(u"MoneyDate"_s, m_kind == 0 ? t0 : t1, u" and "_s));
    }
    m_main->ShowTab(u"待收待付单据报表"_s);
}

void TFrameFinanceStat::lblGetSumClick()
{
    getPayClick(lblGetSum, u"待收记账"_s, false);
}

void TFrameFinanceStat::lblPaySumClick()
{
    getPayClick(lblPaySum, u"待付记账"_s, false);
}

void TFrameFinanceStat::lblGetBalanceClick()
{
    getPayClick(lblGetBalance, u"待收记账"_s, true);
}

void TFrameFinanceStat::lblPayBalanceClick()
{
    getPayClick(lblPayBalance, u"待付记账"_s, true);
}

void TFrameFinanceStat::settledClick(const QLabel *label, bool receivable)
{
    const QString p = periodCondition(m_kind, u"MoneyDate"_s, HintDates(label, 0), HintDates(label, 1));
    m_dm.OpenQuery(m_dm.ADOQueryTemp,
                   u"select MoneyIndex from GetPayRecord,MoneyRecord where GetPayIndex=MoneyGetPay and GetPayKind="_s
                       + SqlText::QuotedStr(receivable ? u"待收记账"_s : u"待付记账"_s) + p);
    QString keys;
    const TRecordSet &rows = m_dm.ADOQueryTemp.records();
    for (int r = 0; r < m_dm.ADOQueryTemp.recordCount(); ++r)
        keys += rows.value(r, 0).toString() + u',';
    m_dm.ADOQueryTemp.close();
    const QString l = keys.isEmpty() ? u" and MoneyIndex=0"_s : u" and MoneyIndex in ("_s + keys.chopped(1) + u')';
    TFilterList &list = m_main->TFrameMoneyReport1->FilterList;
    list.setValue(u"MoneyBaseFilter"_s, l + (receivable ? u" and MoneyKind='财务收入'"_s : u" and MoneyKind='财务支出'"_s));
    list.setValue(u"MoneyDateFilter"_s, p);
    m_main->ShowTab(u"收支单据报表"_s);
}

void TFrameFinanceStat::lblGetRealSumClick()
{
    settledClick(lblGetRealSum, true);
}

void TFrameFinanceStat::lblPayRealSumClick()
{
    settledClick(lblPayRealSum, false);
}
