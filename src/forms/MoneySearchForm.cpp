#include "MoneySearchForm.h"

#include "DataModule.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString kAll = u"全部"_s;

QComboBox *editableCombo(QWidget *parent, const char *name)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    return c;
}

} // namespace

TFormMoneySearch::TFormMoneySearch(TShareDM &dm, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_dm(dm)
{
    setObjectName(u"FormMoneySearch"_s);
    setWindowTitle(u"单据筛选"_s);
    setModal(true);

    auto *header = new QWidget(this);
    header->setAutoFillBackground(true);
    QPalette hp = header->palette();
    hp.setColor(QPalette::Window, Qt::white);
    header->setPalette(hp);
    auto *headerLayout = new QVBoxLayout(header);
    auto *title = new QLabel(u"财务单据筛选"_s, header);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    headerLayout->addWidget(title);
    headerLayout->addWidget(new QLabel(u"通过各条件的组合，筛选相应的财务记录"_s, header));

    auto *body = new QWidget(this);
    auto *grid = new QGridLayout(body);
    cbDateCheck = new QCheckBox(u"单据日期"_s, body);
    cbDateCheck->setObjectName(u"cbDateCheck"_s);
    dtMoneyDateStart = new QDateEdit(body);
    dtMoneyDateStart->setObjectName(u"dtMoneyDateStart"_s);
    dtMoneyDateEnd = new QDateEdit(body);
    dtMoneyDateEnd->setObjectName(u"dtMoneyDateEnd"_s);
    for (QDateEdit *d : {dtMoneyDateStart, dtMoneyDateEnd}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(u"yyyy-MM-dd"_s);
    }
    auto *range = new QHBoxLayout;
    range->addWidget(dtMoneyDateStart);
    range->addWidget(new QLabel(u"至"_s, body));
    range->addWidget(dtMoneyDateEnd);
    grid->addWidget(cbDateCheck, 0, 0, 1, 3);
    grid->addLayout(range, 1, 0, 1, 3);

    cbxMoneyKind = editableCombo(body, "cbxMoneyKind");
    cbxMoneyBook = editableCombo(body, "cbxMoneyBook");
    cbxMoneyCustomer = editableCombo(body, "cbxMoneyCustomer");
    cbxMoneyReason = editableCombo(body, "cbxMoneyReason");
    cbxMoneyClerk = editableCombo(body, "cbxMoneyClerk");
    cbxMoneyPay = editableCombo(body, "cbxMoneyPay");
    edMoneySerial = new QLineEdit(body);
    edMoneySerial->setObjectName(u"edMoneySerial"_s);
    edMoneyRemark = new QLineEdit(body);
    edMoneyRemark->setObjectName(u"edMoneyRemark"_s);
    const auto add = [&](const QString &caption, QWidget *w, int row, int column) {
        auto *label = new QLabel(caption, body);
        label->setBuddy(w);
        grid->addWidget(label, row, column);
        grid->addWidget(w, row + 1, column);
    };
    add(u"单据类型"_s, cbxMoneyKind, 2, 0);
    add(u"账簿名称"_s, cbxMoneyBook, 2, 1);
    add(u"客户名称"_s, cbxMoneyCustomer, 4, 0);
    add(u"收支种类"_s, cbxMoneyReason, 4, 1);
    add(u"业务员"_s, cbxMoneyClerk, 4, 2);
    add(u"支付方式"_s, cbxMoneyPay, 6, 0);
    add(u"单据编号"_s, edMoneySerial, 6, 1);
    add(u"备注"_s, edMoneyRemark, 6, 2);

    btnOK = new QPushButton(u"确定"_s, this);
    btnOK->setObjectName(u"btnOK"_s);
    btnOK->setDefault(true);
    btnCancel = new QPushButton(u"取消"_s, this);
    btnCancel->setObjectName(u"btnCancel"_s);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 10);
    layout->addWidget(header);
    auto *inner = new QVBoxLayout;
    inner->setContentsMargins(10, 0, 10, 0);
    inner->addWidget(body);
    inner->addLayout(buttons);
    layout->addLayout(inner);

    connect(cbDateCheck, &QCheckBox::clicked, this, &TFormMoneySearch::cbDateCheckClick);
    connect(btnOK, &QPushButton::clicked, this, &TFormMoneySearch::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TFormMoneySearch::btnCancelClick);
}

void TFormMoneySearch::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFormMoneySearch::FormShow()
{
    cbDateCheck->setChecked(false);
    const QDate work = m_dm.WorkDate();
    const QDate first(work.year(), work.month(), 1);
    dtMoneyDateStart->setDate(first);
    dtMoneyDateEnd->setDate(first.addDays(first.daysInMonth() - 1));
    cbDateCheckClick();
    m_dm.FillDistinctList(cbxMoneyBook, u"Book"_s, u"BookName"_s, QString(), kAll, true);
    m_dm.FillDistinctList(cbxMoneyCustomer, u"MoneyRecord"_s, u"MoneyUser"_s, QString(), kAll, true);
    m_dm.FillDistinctList(cbxMoneyKind, u"MoneyRecord"_s, u"MoneyKind"_s, QString(), kAll, true);
    m_dm.FillParameterList(cbxMoneyReason, u"收支种类"_s, kAll);
    m_dm.FillParameterList(cbxMoneyClerk, u"业务员"_s, kAll);
    m_dm.FillParameterList(cbxMoneyPay, u"支付方式"_s, kAll);
    edMoneySerial->clear();
    edMoneyRemark->clear();
}

void TFormMoneySearch::cbDateCheckClick()
{
    dtMoneyDateStart->setEnabled(cbDateCheck->isChecked());
    dtMoneyDateEnd->setEnabled(cbDateCheck->isChecked());
}

void TFormMoneySearch::btnOKClick()
{
    const QString a = u" and "_s;
    DateCondition.clear();
    BaseCondition.clear();
    if (cbDateCheck->isChecked())
        DateCondition = SqlText::BetweenDatesCondition(u"MoneyDate"_s, SqlText::DateText(dtMoneyDateStart->date()),
                                                       SqlText::DateText(dtMoneyDateEnd->date()), a);
    const QList<QPair<QComboBox *, QString>> boxes = {{cbxMoneyBook, u"MoneyBook"_s},
                                                      {cbxMoneyCustomer, u"MoneyUser"_s},
                                                      {cbxMoneyReason, u"MoneyReason"_s},
                                                      {cbxMoneyClerk, u"MoneyClerk"_s},
                                                      {cbxMoneyPay, u"MoneyPay"_s}};
    for (const auto &[box, field] : boxes) {
        if (box->currentText() != kAll)
            BaseCondition += SqlText::InStrCondition(field, box->currentText(), a);
    }
    if (!edMoneySerial->text().isEmpty())
        BaseCondition += SqlText::InStrCondition(u"MoneySerial"_s, edMoneySerial->text(), a);
    if (!edMoneyRemark->text().isEmpty())
        BaseCondition += SqlText::InStrCondition(u"MoneyRemark"_s, edMoneyRemark->text(), a);
    if (cbxMoneyKind->currentText() != kAll)
        BaseCondition += SqlText::EqualsCondition(u"MoneyKind"_s, cbxMoneyKind->currentText(), a);
    accept();
}

void TFormMoneySearch::btnCancelClick()
{
    reject();
}
