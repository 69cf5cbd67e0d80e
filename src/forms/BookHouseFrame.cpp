#include "BookHouseFrame.h"

#include "DataModule.h"
#include "MainForm.h"
#include "ReportStatements.h"

#include <QLineEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TFrameBookHouse::TFrameBookHouse(TShareDM &dm, TFormMain *mainForm, QWidget *parent)
    : QWidget(parent)
    , m_dm(dm)
    , m_main(mainForm)
{
    setObjectName(u"TFrameBookHouse1"_s);
    auto *layout = new QVBoxLayout(this);
    edAccountInfo = new QLineEdit(this);
    edAccountInfo->setObjectName(u"edAccountInfo"_s);
    layout->addStretch();
    layout->addWidget(edAccountInfo);
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
}
