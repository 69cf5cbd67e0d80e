#include "MoneyEditorForm.h"

#include "AppImages.h"
#include "DataModule.h"
#include "InputText.h"
#include "SpTBXIECombobox.h"
#include "SpTBXNumberEdit.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

QString twoLines(const QString &first, const QString &second)
{
    return first + u"\r\n"_s + second;
}

// Selects `text` in a pick-only list, or nothing when it is not there.
void selectText(QComboBox *combo, const QString &text)
{
    combo->setCurrentIndex(text.isEmpty() ? -1 : combo->findText(text));
}

} // namespace

TFormMoneyEditor::TFormMoneyEditor(TShareDM &dm, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_dm(dm)
{
    setObjectName(u"FormMoneyEditor"_s);
    setModal(true);

    img1 = new QLabel(this);
    img1->setObjectName(u"img1"_s);
    img1->setFixedSize(497, 73);

    auto *group = new QGroupBox(this);
    auto *grid = new QGridLayout(group);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(3);
    const auto add = [&](const QString &caption, QWidget *input, int row, int column, int span = 1) {
        auto *label = new QLabel(caption, group);
        label->setBuddy(input);
        grid->addWidget(label, row * 2, column, 1, span);
        grid->addWidget(input, row * 2 + 1, column, 1, span);
    };
    edMoneySerial = new QLineEdit(group);
    edMoneySerial->setObjectName(u"edMoneySerial"_s);
    dtMoneyDate = new QDateEdit(group);
    dtMoneyDate->setObjectName(u"dtMoneyDate"_s);
    dtMoneyDate->setCalendarPopup(true);
    dtMoneyDate->setDisplayFormat(u"yyyy-MM-dd"_s);
    cbxMoneyBook = new QComboBox(group);
    cbxMoneyBook->setObjectName(u"cbxMoneyBook"_s);
    cbxMoneyUser = new TSpTBXIECombobox(group);
    cbxMoneyUser->setObjectName(u"cbxMoneyUser"_s);
    cbxMoneyUser->setPyEnable(true);
    cbxMoneyUser->setDropDownCount(12);
    edMoneySum = new TSpTBXNumberEdit(group);
    edMoneySum->setObjectName(u"edMoneySum"_s);
    edMoneySum->setDisplayFormat(u",#.##"_s);
    cbxMoneyReason = new QComboBox(group);
    cbxMoneyReason->setObjectName(u"cbxMoneyReason"_s);
    cbxMoneyClerk = new QComboBox(group);
    cbxMoneyClerk->setObjectName(u"cbxMoneyClerk"_s);
    cbxMoneyPay = new QComboBox(group);
    cbxMoneyPay->setObjectName(u"cbxMoneyPay"_s);
    edMoneyRemark = new QLineEdit(group);
    edMoneyRemark->setObjectName(u"edMoneyRemark"_s);
    add(u"单据编号"_s, edMoneySerial, 0, 0);
    add(u"单据日期"_s, dtMoneyDate, 0, 1);
    add(u"账簿名称"_s, cbxMoneyBook, 0, 2);
    add(u"客户名称"_s, cbxMoneyUser, 1, 0, 2);
    add(u"金额"_s, edMoneySum, 1, 2);
    add(u"收支种类"_s, cbxMoneyReason, 2, 0);
    add(u"业务员"_s, cbxMoneyClerk, 2, 1);
    add(u"支付方式"_s, cbxMoneyPay, 2, 2);
    add(u"备注"_s, edMoneyRemark, 3, 0, 3);
    for (int c = 0; c < 3; ++c)
        grid->setColumnStretch(c, 1);
    setTabOrder(edMoneySerial, dtMoneyDate);
    setTabOrder(dtMoneyDate, cbxMoneyBook);
    setTabOrder(cbxMoneyBook, cbxMoneyUser);
    setTabOrder(cbxMoneyUser, edMoneySum);
    setTabOrder(edMoneySum, cbxMoneyReason);
    setTabOrder(cbxMoneyReason, cbxMoneyClerk);
    setTabOrder(cbxMoneyClerk, cbxMoneyPay);
    setTabOrder(cbxMoneyPay, edMoneyRemark);

    const auto action = [this](const char *name, const QString &caption, const QList<QKeySequence> &keys) {
        auto *a = new QAction(caption, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
        return a;
    };
    ActionNewMoney = action("ActionNewMoney", u"下一单"_s, {QKeySequence(Qt::CTRL | Qt::Key_N)});
    ActionSaveMoney = action("ActionSaveMoney", u"保存"_s,
                             {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    ActionDeleteMoney = action("ActionDeleteMoney", u"删除"_s, {QKeySequence(Qt::CTRL | Qt::Key_Delete)});
    ActionCancel = action("ActionCancel", u"取消"_s, {QKeySequence(Qt::Key_Escape)});
    connect(ActionNewMoney, &QAction::triggered, this, &TFormMoneyEditor::ActionNewMoneyExecute);
    connect(ActionSaveMoney, &QAction::triggered, this, &TFormMoneyEditor::ActionSaveMoneyExecute);
    connect(ActionDeleteMoney, &QAction::triggered, this, &TFormMoneyEditor::ActionDeleteMoneyExecute);
    connect(ActionCancel, &QAction::triggered, this, &TFormMoneyEditor::ActionCancelExecute);

    const auto button = [this](const char *name, QAction *a) {
        auto *b = new QPushButton(a->text(), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false); // Enter in an input saves nothing by accident
        connect(b, &QPushButton::clicked, a, &QAction::trigger);
        return b;
    };
    btnNewNext = button("btnNewNext", ActionNewMoney);
    btnSave = button("btnSave", ActionSaveMoney);
    btnDelete = button("btnDelete", ActionDeleteMoney);
    btnCancel = button("btnCancel", ActionCancel);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnDelete);
    buttons->addStretch();
    buttons->addWidget(btnNewNext);
    buttons->addWidget(btnSave);
    buttons->addWidget(btnCancel);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(13, 8, 13, 10);
    layout->addWidget(img1, 0, Qt::AlignHCenter);
    layout->addWidget(group);
    layout->addLayout(buttons);
    setFixedSize(524, 384);

    connect(dtMoneyDate, &QDateEdit::dateChanged, this, &TFormMoneyEditor::dtMoneyDateChange);
    // Only what the user types is picked up: a remark loaded with a voucher must not
    // overwrite the amount stored with it.
    connect(edMoneyRemark, &QLineEdit::textEdited, this, &TFormMoneyEditor::edMoneyRemarkChange);
}

void TFormMoneyEditor::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFormMoneyEditor::FormShow()
{
    ActionNewMoney->setToolTip(twoLines(u"添加下一单同类型的财务单据"_s, u"快捷键：Ctrl+N"_s));
    ActionSaveMoney->setToolTip(twoLines(u"保存当前财务单据，并关闭当前录入窗口"_s, u"快捷键：Ctrl+Enter(回车键)"_s));
    ActionCancel->setToolTip(twoLines(u"不保存单据直接关闭窗口"_s, u"快捷键：Esc"_s));
    ActionDeleteMoney->setToolTip(twoLines(u"删除当前财务单据"_s, u"快捷键：Ctrl+Del"_s));
    for (auto [b, a] : {std::pair{btnNewNext, ActionNewMoney}, std::pair{btnSave, ActionSaveMoney},
                        std::pair{btnDelete, ActionDeleteMoney}, std::pair{btnCancel, ActionCancel}})
        b->setToolTip(a->toolTip());

    const QSignalBlocker block(dtMoneyDate);
    m_dm.ClearInputs(this);

    m_dm.FillDistinctList(cbxMoneyBook, u"Book"_s, u"BookName"_s, QString(), QString(), true);
    selectText(cbxMoneyBook, PresetBook);
    cbxMoneyBook->setEnabled(cbxMoneyBook->currentIndex() < 0);
    if (cbxMoneyBook->isEnabled())
        selectText(cbxMoneyBook, m_dm.ReadStringSetting(u"LastMoneyBook"_s, QString()));

    QStringList customers;
    m_dm.LoadDistinctValues(customers, u"select distinct MoneyUser from MoneyRecord Order by MoneyUser"_s, true,
                            QString(), u"MoneyUser"_s);
    cbxMoneyUser->setItems(customers);
    cbxMoneyUser->setEnabled(PresetCustomer.isEmpty());
    cbxMoneyUser->setText(!PresetCustomer.isEmpty() ? PresetCustomer
                                                    : m_dm.ReadStringSetting(u"LastMoneyUser"_s, QString()));

    m_dm.FillParameterList(cbxMoneyReason, u"收支种类"_s, QString());
    selectText(cbxMoneyReason, PresetReason);
    if (cbxMoneyReason->currentIndex() < 0)
        selectText(cbxMoneyReason, m_dm.ReadStringSetting(u"LastMoneyReason"_s, QString()));
    m_dm.FillParameterList(cbxMoneyClerk, u"业务员"_s, QString());
    selectText(cbxMoneyClerk, PresetClerk);
    if (cbxMoneyClerk->currentIndex() < 0)
        selectText(cbxMoneyClerk, m_dm.ReadStringSetting(u"LastMoneyClerk"_s, QString()));
    m_dm.FillParameterList(cbxMoneyPay, u"支付方式"_s, QString());
    selectText(cbxMoneyPay, m_dm.ReadStringSetting(u"LastMoneyPay"_s, QString()));

    dtMoneyDateChange();

    ActionDeleteMoney->setVisible(OpenMode == 1);
    ActionDeleteMoney->setEnabled(OpenMode == 1);
    btnDelete->setVisible(OpenMode == 1);
    ActionNewMoney->setVisible(OpenMode == 0);
    ActionNewMoney->setEnabled(OpenMode == 0);
    btnNewNext->setVisible(OpenMode == 0);

    if (OpenMode == 1) {
        m_dm.OpenQuery(m_dm.ADOQueryTemp, u"select * from MoneyRecord where MoneyIndex="_s + QString::number(RecordIndex));
        const TQuery &q = m_dm.ADOQueryTemp;
        edMoneySerial->setText(q.fieldText(u"MoneySerial"_s));
        dtMoneyDate->setDate(SqlText::ParseDate(q.fieldText(u"MoneyDate"_s)));
        selectText(cbxMoneyBook, q.fieldText(u"MoneyBook"_s));
        cbxMoneyUser->setText(q.fieldText(u"MoneyUser"_s));
        if (!q.eof())
            edMoneySum->SetValue(q.fieldValue(u"MoneySum"_s).toDouble());
        selectText(cbxMoneyReason, q.fieldText(u"MoneyReason"_s));
        selectText(cbxMoneyClerk, q.fieldText(u"MoneyClerk"_s));
        selectText(cbxMoneyPay, q.fieldText(u"MoneyPay"_s));
        edMoneyRemark->setText(q.fieldText(u"MoneyRemark"_s));
        if (!q.eof())
            VoucherKind = q.fieldText(u"MoneyKind"_s);
        m_dm.ADOQueryTemp.close();
    }
    edMoneySum->setFocus(Qt::OtherFocusReason);
    setWindowTitle(VoucherKind);
    const bool income = VoucherKind == u"财务收入"_s;
    const QString picture = m_dm.GetAppPath() + (income ? u"images/TitleIn.bmp"_s : u"images/TitleOut.bmp"_s);
    QPixmap title(picture);
    // A missing picture file must not leave the dialog without its header.
    img1->setPixmap(title.isNull() ? AppImages::TitlePicture(VoucherKind) : title);
}

void TFormMoneyEditor::dtMoneyDateChange()
{
    if (OpenMode == 1)
        return;
    edMoneySerial->setText(
        m_dm.NextSerial(u"MoneyRecord"_s, u"MoneySerial"_s, dtMoneyDate->date(), u"SZ-"_s, 3));
}

void TFormMoneyEditor::edMoneyRemarkChange()
{
    const InputText::RemarkAmountResult r = InputText::RemarkAmount(edMoneyRemark->text());
    if (r.action == InputText::RemarkAmountResult::Action::Set)
        edMoneySum->SetValue(r.value);
    else if (r.action == InputText::RemarkAmountResult::Action::Clear)
        edMoneySum->clear();
}

bool TFormMoneyEditor::SaveMoney()
{
    if (OpenMode == 1 && !m_dm.CheckModifyRight())
        return false;
    if (!m_dm.RequireText(edMoneySerial, u"请输入单据编号"_s))
        return false;
    if (!m_dm.CheckUnique(edMoneySerial, u"MoneyRecord"_s, u"MoneySerial"_s, u"该单据编号已经被占用，请输入其它的单据编号！"_s,
                          OpenMode != 0 ? RecordIndex : 0))
        return false;
    if (!m_dm.RequireText(cbxMoneyBook, u"请选择账簿名称，以标记该单据所属的账簿！"_s))
        return false;
    if (!m_dm.RequireText(cbxMoneyReason, u"请输入单据的收支种类！"_s))
        return false;
    if (!m_dm.RequireText(cbxMoneyPay, u"请选择单据的支付方式"_s))
        return false;
    if (!m_dm.RequireText(edMoneySum, u"请输入单据金额"_s))
        return false;

    // Amounts are kept to the cent, as they are shown.
    const double sum = std::round(edMoneySum->Value() * 100.0) / 100.0;
    QList<TFieldValue> values = {
        {u"MoneySerial"_s, edMoneySerial->text()},   {u"MoneyDate"_s, dtMoneyDate->date()},
        {u"MoneyBook"_s, cbxMoneyBook->currentText()}, {u"MoneyUser"_s, cbxMoneyUser->text()},
        {u"MoneySum"_s, sum},                        {u"MoneyReason"_s, cbxMoneyReason->currentText()},
        {u"MoneyClerk"_s, cbxMoneyClerk->currentText()}, {u"MoneyPay"_s, cbxMoneyPay->currentText()},
        {u"MoneyRemark"_s, edMoneyRemark->text()},
    };
    qint64 key = OpenMode == 1 ? RecordIndex : 0;
    if (OpenMode != 1) {
        values.prepend({u"MoneyGetPay"_s, GetPayLink.isNull() ? QVariant(QMetaType(QMetaType::LongLong)) : GetPayLink});
        values.prepend({u"MoneyAdmin"_s, m_dm.LoginUser().UserName});
        values.prepend({u"MoneyKind"_s, VoucherKind});
    }
    QString error;
    if (m_dm.PostRow(u"MoneyRecord"_s, u"MoneyIndex"_s, key, values, &error) < 0) {
        m_dm.ShowMessageBox(u"单据没有保存：\n"_s + error, mtError, mbOK);
        return false;
    }
    m_dm.WriteStringSetting(u"LastMoneyBook"_s, cbxMoneyBook->currentText());
    m_dm.WriteStringSetting(u"LastMoneyUser"_s, cbxMoneyUser->text());
    m_dm.WriteStringSetting(u"LastMoneyReason"_s, cbxMoneyReason->currentText());
    m_dm.WriteStringSetting(u"LastMoneyClerk"_s, cbxMoneyClerk->currentText());
    m_dm.WriteStringSetting(u"LastMoneyPay"_s, cbxMoneyPay->currentText());
    DataChanged = true;
    return true;
}

void TFormMoneyEditor::ActionSaveMoneyExecute()
{
    if (SaveMoney())
        done(Accepted);
}

void TFormMoneyEditor::ActionNewMoneyExecute()
{
    if (OpenMode != 0)
        return;
    if (SaveMoney())
        FormShow();
}

void TFormMoneyEditor::ActionDeleteMoneyExecute()
{
    if (OpenMode != 1)
        return;
    if (!m_dm.CheckDeleteRight())
        return;
    if (m_dm.ShowMessageBox(u"确定要删除该单据，删除单据的同时会影响单据相关的账簿的收支余额！"_s, mtInformation,
                            mbYes | mbCancel)
        != mrYes)
        return;
    m_dm.ExecSQL(u"delete from MoneyRecord where MoneyIndex="_s + QString::number(RecordIndex));
    DataChanged = true;
    done(Accepted);
}

void TFormMoneyEditor::ActionCancelExecute()
{
    done(Rejected);
}

void TFormMoneyEditor::done(int result)
{
    GetPayLink = QVariant();
    PresetBook.clear();
    PresetCustomer.clear();
    PresetReason.clear();
    PresetClerk.clear();
    if (DataChanged) {
        // A voucher saved with "下一单" counts even when the dialog is then cancelled.
        DataChanged = false;
        result = Accepted;
        Q_EMIT RefreshStatRequested();
    }
    QDialog::done(result);
}
