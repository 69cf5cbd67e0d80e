#include "BookHouseFrame.h"

#include "AppImages.h"
#include "DataModule.h"
#include "MainForm.h"
#include "ReportGrid.h"
#include "ReportStatements.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TFrameBookHouse::TFrameBookHouse(TShareDM &dm, TFormMain *mainForm, QWidget *parent)
    : QWidget(parent)
    , m_dm(dm)
    , m_main(mainForm)
{
    setObjectName(u"TFrameBookHouse1"_s);
    // The books as a list with their three balances; the tiles of the overview come with the
    // book editor and control panel.
    BookGrid = new TReportGrid(this);
    BookGrid->setObjectName(u"BookGrid"_s);
    const auto column = [this](const QString &field, const QString &title, int width, const QString &format = QString()) {
        TGridColumn c;
        c.FieldName = field;
        c.Title = title;
        c.Width = width;
        c.DisplayFormat = format;
        if (!format.isEmpty())
            c.Footer = TGridColumn::FooterSum;
        BookGrid->AddColumn(c);
    };
    column(u"BookName"_s, u"账簿名称"_s, 120);
    column(u"BookKind"_s, u"账簿类型"_s, 70);
    column(u"BalanceMoney"_s, u"收支余额"_s, 108, u"%.2m"_s);
    column(u"BalanceGet"_s, u"待收余额"_s, 108, u"%.2m"_s);
    column(u"BalancePay"_s, u"待付余额"_s, 108, u"%.2m"_s);
    BookGrid->Column(0).Footer = TGridColumn::FooterStatic;
    BookGrid->UpdateColumns();
    BookGrid->SetQuery(&Books);
    // Negative balances in red, as on the tiles.
    BookGrid->SetRowColorFunction([](const TRecordSet &rows, int row) {
        return rows.value(row, u"BalanceMoney"_s).toDouble() < 0 ? QColor(255, 0, 0) : QColor(0, 0, 255);
    });

    auto *bottom = new QWidget(this);
    bottom->setObjectName(u"SpTBXPanel1"_s);
    bottom->setFixedHeight(48);
    auto *img1 = new QLabel(bottom);
    img1->setPixmap(AppImages::BookIcon(40));
    SpTBXLabel1 = new QLabel(u"账簿筛选"_s, bottom);
    edAccountInfo = new QLineEdit(bottom);
    edAccountInfo->setObjectName(u"edAccountInfo"_s);
    edAccountInfo->setPlaceholderText(u"输入账簿名称的一部分"_s);
    SpTBXButton1 = new QPushButton(u"新增账簿"_s, bottom);
    SpTBXButton1->setObjectName(u"SpTBXButton1"_s);
    SpTBXButton1->setEnabled(false);
    SpTBXButton1->setToolTip(u"账簿的新增和修改将在后续版本中提供"_s);
    auto *filter = new QVBoxLayout;
    filter->setSpacing(2);
    filter->addWidget(SpTBXLabel1);
    filter->addWidget(edAccountInfo);
    auto *row = new QHBoxLayout(bottom);
    row->setContentsMargins(6, 2, 6, 2);
    row->addWidget(img1);
    row->addLayout(filter, 1);
    row->addWidget(SpTBXButton1, 0, Qt::AlignBottom);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(BookGrid, 1);
    layout->addWidget(bottom);
    connect(edAccountInfo, &QLineEdit::textChanged, this, &TFrameBookHouse::LoadBooks);
}

void TFrameBookHouse::LoadBooks()
{
    ++m_loadCount;
    const QString a = u" and "_s;
    const QString d = SqlText::DateText(m_main->SelectedDate());
    QString b = edAccountInfo->text().isEmpty() ? QString() : SqlText::InStrCondition(u"BookName"_s, edAccountInfo->text(), a);
    QString m = SqlText::UpToDateCondition(u"MoneyDate"_s, d, a);
    QString g = SqlText::UpToDateCondition(u"GetPayDate"_s, d, a);
    const TLoginUser &user = m_dm.LoginUser();
    b += user.RestrictBook();
    m += user.RestrictMoney();
    g += user.RestrictGetPay();
    m_dm.OpenQuery(Books, ReportStatements::BookBalances(b, m, g));
    BookGrid->SetFooterText(0, u"共 "_s + QString::number(Books.recordCount()) + u" 个账簿"_s);
}
