#include "BalloonUtil.h"
#include "DataModule.h"
#include "MoneyEditorForm.h"
#include "SpTBXIECombobox.h"
#include "SpTBXNumberEdit.h"
#include "TestSupport.h"
#include "TestSupportGui.h"
#include "xUtils.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestMoneyEditor : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void newVoucher();
    void serialFollowsTheDate();
    void saveChecks_data();
    void saveChecks();
    void saveNewVoucher();
    void nextVoucherKeepsTheDialogOpen();
    void presets();
    void settlementLink();
    void editExisting();
    void rights();
    void deleteVoucher();
    void remarkPickUp();

private:
    void login(const QString &user);
    int vouchers();
    QVariantMap row(qint64 index);
    void fillValid(bool withBook = true);
    TXpTooltip *balloon() const { return static_cast<TXpTooltip *>(m_dm->Balloon()); }

    std::unique_ptr<TestSupport::TProgramFolder> m_folder;
    std::unique_ptr<TShareDM> m_dm;
    std::unique_ptr<TFormMoneyEditor> m_form;
};

void TestMoneyEditor::init()
{
    TestSupport::ResetSettings();
    m_folder = std::make_unique<TestSupport::TProgramFolder>();
    QString error;
    m_dm = TestSupport::OpenFixture(*m_folder, false, &error);
    QVERIFY2(m_dm, qPrintable(error));
    login(u"管理员"_s);
    m_form = std::make_unique<TFormMoneyEditor>(*m_dm);
}

void TestMoneyEditor::cleanup()
{
    m_form.reset();
    m_dm.reset();
}

void TestMoneyEditor::login(const QString &user)
{
    QVERIFY(TestSupport::LogIn(*m_dm, user));
}

int TestMoneyEditor::vouchers()
{
    TRecordSet rows;
    QString error;
    m_dm->RunQuery(u"select count(*) from MoneyRecord"_s, &rows, &error);
    return rows.value(0, 0).toInt();
}

QVariantMap TestMoneyEditor::row(qint64 index)
{
    TRecordSet rows;
    QString error;
    m_dm->RunQuery(u"select * from MoneyRecord where MoneyIndex="_s + QString::number(index), &rows, &error);
    QVariantMap map;
    for (int c = 0; c < rows.fieldCount(); ++c)
        map.insert(rows.field(c).name, rows.value(0, c));
    return map;
}

void TestMoneyEditor::fillValid(bool withBook)
{
    if (withBook)
        m_form->cbxMoneyBook->setCurrentIndex(m_form->cbxMoneyBook->findText(u"工商银行"_s));
    m_form->cbxMoneyUser->setText(u"O'Brien"_s);
    m_form->edMoneySum->setText(u"88.5"_s);
    m_form->cbxMoneyReason->setCurrentIndex(m_form->cbxMoneyReason->findText(u"房租"_s));
    m_form->cbxMoneyClerk->setCurrentIndex(0);
    m_form->cbxMoneyPay->setCurrentIndex(m_form->cbxMoneyPay->findText(u"微信支付"_s));
    m_form->edMoneyRemark->setText(u"三月房租"_s);
}

void TestMoneyEditor::newVoucher()
{
    m_form->VoucherKind = u"财务支出"_s;
    m_form->OpenMode = 0;
    QVERIFY(TestSupport::ShowActive(m_form.get()));
    QCOMPARE(m_form->windowTitle(), u"财务支出"_s);
    QCOMPARE(m_form->dtMoneyDate->date(), QDate::currentDate());
    QCOMPARE(m_form->edMoneySerial->text(), u"SZ-"_s + QDate::currentDate().toString(u"yyyyMMdd"_s) + u"001"_s);
    QStringList books;
    for (int i = 0; i < m_form->cbxMoneyBook->count(); ++i)
        books << m_form->cbxMoneyBook->itemText(i);
    QCOMPARE(books, (QStringList{u"工商银行"_s, u"日常账簿"_s, u"现金"_s, u"现金2"_s}));
    QCOMPARE(m_form->cbxMoneyBook->currentIndex(), -1); // nothing remembered yet
    QVERIFY(m_form->cbxMoneyBook->isEnabled());
    QVERIFY(m_form->cbxMoneyUser->items().contains(u"老王's店"_s));
    QVERIFY(!m_form->btnDelete->isVisibleTo(m_form.get()));
    QVERIFY(m_form->btnNewNext->isVisibleTo(m_form.get()));
    QVERIFY(!m_form->ActionDeleteMoney->isEnabled());
    QVERIFY(!m_form->img1->pixmap().isNull()); // the drawn title stands in for a missing file
    QCOMPARE(m_form->btnSave->toolTip(), u"保存当前财务单据，并关闭当前录入窗口\r\n快捷键：Ctrl+Enter(回车键)"_s);
    QCOMPARE(m_form->btnNewNext->toolTip(), u"添加下一单同类型的财务单据\r\n快捷键：Ctrl+N"_s);
}

void TestMoneyEditor::serialFollowsTheDate()
{
    QVERIFY(TestSupport::ShowActive(m_form.get()));
    m_form->dtMoneyDate->setDate(QDate(2009, 1, 5));
    QCOMPARE(m_form->edMoneySerial->text(), u"SZ-20090105003"_s);
    m_form->dtMoneyDate->setDate(QDate(2009, 1, 7));
    QCOMPARE(m_form->edMoneySerial->text(), u"SZ-20090107001"_s);
}

void TestMoneyEditor::saveChecks_data()
{
    QTest::addColumn<QString>("spoil");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("message");
    QTest::newRow("no serial") << u"serial"_s << u"edMoneySerial"_s << u"请输入单据编号"_s;
    QTest::newRow("serial taken") << u"taken"_s << u"edMoneySerial"_s << u"该单据编号已经被占用，请输入其它的单据编号！"_s;
    QTest::newRow("no book") << u"book"_s << u"cbxMoneyBook"_s << u"请选择账簿名称，以标记该单据所属的账簿！"_s;
    QTest::newRow("no kind") << u"reason"_s << u"cbxMoneyReason"_s << u"请输入单据的收支种类！"_s;
    QTest::newRow("no payment") << u"pay"_s << u"cbxMoneyPay"_s << u"请选择单据的支付方式"_s;
    QTest::newRow("no amount") << u"sum"_s << u"edMoneySum"_s << u"请输入单据金额"_s;
}

void TestMoneyEditor::saveChecks()
{
    QFETCH(QString, spoil);
    QFETCH(QString, control);
    QFETCH(QString, message);
    QVERIFY(TestSupport::ShowActive(m_form.get()));
    fillValid();
    if (spoil == u"serial"_s)
        m_form->edMoneySerial->clear();
    else if (spoil == u"taken"_s)
        m_form->edMoneySerial->setText(u"sz-20090104001"_s); // the database compares without case
    else if (spoil == u"book"_s)
        m_form->cbxMoneyBook->setCurrentIndex(-1);
    else if (spoil == u"reason"_s)
        m_form->cbxMoneyReason->setCurrentIndex(-1);
    else if (spoil == u"pay"_s)
        m_form->cbxMoneyPay->setCurrentIndex(-1);
    else if (spoil == u"sum"_s)
        m_form->edMoneySum->clear();
    const int before = vouchers();
    QTest::keyClick(m_form->edMoneyRemark, Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(m_form->isVisible());
    QCOMPARE(vouchers(), before);
    QCOMPARE(balloon()->CurrentControl()->objectName(), control);
    QCOMPARE(balloon()->Text(), message);
    QCOMPARE(balloon()->Title(), u"青柚流水帐"_s);
    QVERIFY(m_dm->MessageLog().isEmpty());
}

void TestMoneyEditor::saveNewVoucher()
{
    QSignalSpy refresh(m_form.get(), &TFormMoneyEditor::RefreshStatRequested);
    m_form->VoucherKind = u"财务支出"_s;
    QVERIFY(TestSupport::ShowActive(m_form.get()));
    m_form->dtMoneyDate->setDate(QDate(2009, 1, 6));
    fillValid();
    m_form->edMoneySum->setText(u"88.346"_s); // kept to the cent
    const QString serial = m_form->edMoneySerial->text();
    QTest::keyClick(m_form->edMoneyRemark, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    QVERIFY(!m_form->isVisible());
    QCOMPARE(refresh.count(), 1);
    QCOMPARE(vouchers(), 7);
    const QVariantMap v = row(7);
    QCOMPARE(v.value(u"MoneySerial"_s).toString(), serial);
    QCOMPARE(serial, u"SZ-20090106003"_s);
    QCOMPARE(v.value(u"MoneyKind"_s).toString(), u"财务支出"_s);
    QCOMPARE(v.value(u"MoneyDate"_s).toString(), u"2009-01-06"_s);
    QCOMPARE(v.value(u"MoneyBook"_s).toString(), u"工商银行"_s);
    QCOMPARE(v.value(u"MoneyUser"_s).toString(), u"O'Brien"_s);
    QCOMPARE(v.value(u"MoneySum"_s).toDouble(), 88.35);
    QCOMPARE(v.value(u"MoneyReason"_s).toString(), u"房租"_s);
    QCOMPARE(v.value(u"MoneyPay"_s).toString(), u"微信支付"_s);
    QCOMPARE(v.value(u"MoneyRemark"_s).toString(), u"三月房租"_s);
    QCOMPARE(v.value(u"MoneyAdmin"_s).toString(), u"管理员"_s);
    QVERIFY(v.value(u"MoneyGetPay"_s).isNull());
    QCOMPARE(m_dm->ReadStringSetting(u"LastMoneyBook"_s, QString()), u"工商银行"_s);
    QCOMPARE(m_dm->ReadStringSetting(u"LastMoneyUser"_s, QString()), u"O'Brien"_s);
    QCOMPARE(m_dm->ReadStringSetting(u"LastMoneyPay"_s, QString()), u"微信支付"_s);

    // The next voucher offers what was remembered.
    QVERIFY(TestSupport::ShowActive(m_form.get()));
    QCOMPARE(m_form->cbxMoneyBook->currentText(), u"工商银行"_s);
    QCOMPARE(m_form->cbxMoneyUser->text(), u"O'Brien"_s);
    QCOMPARE(m_form->cbxMoneyReason->currentText(), u"房租"_s);
    QCOMPARE(m_form->cbxMoneyPay->currentText(), u"微信支付"_s);
    QVERIFY(m_form->edMoneySum->text().isEmpty());
}

void TestMoneyEditor::nextVoucherKeepsTheDialogOpen()
{
    QSignalSpy refresh(m_form.get(), &TFormMoneyEditor::RefreshStatRequested);
    QVERIFY(TestSupport::ShowActive(m_form.get()));
    fillValid();
    const QString first = m_form->edMoneySerial->text();
    QTest::keyClick(m_form->edMoneyRemark, Qt::Key_N, Qt::ControlModifier);
    QVERIFY(m_form->isVisible());
    QCOMPARE(vouchers(), 7);
    QCOMPARE(m_form->edMoneySerial->text(), IncrementSerial(first));
    QVERIFY(m_form->edMoneySum->text().isEmpty());
    QCOMPARE(m_form->cbxMoneyBook->currentText(), u"工商银行"_s);
    QCOMPARE(refresh.count(), 0);
    // Cancelled afterwards: the caller still hears that something was saved.
    QTest::keyClick(m_form->edMoneyRemark, Qt::Key_Escape);
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    QCOMPARE(refresh.count(), 1);
    // Nothing saved this time: Cancel.
    QVERIFY(TestSupport::ShowActive(m_form.get()));
    m_form->ActionCancel->trigger();
    QCOMPARE(m_form->result(), int(QDialog::Rejected));
    QCOMPARE(refresh.count(), 1);
}

void TestMoneyEditor::presets()
{
    m_dm->WriteStringSetting(u"LastMoneyBook"_s, u"工商银行"_s);
    m_form->PresetBook = u"现金"_s;
    m_form->PresetCustomer = u"张三"_s;
    m_form->PresetReason = u"房租"_s;
    QVERIFY(TestSupport::ShowActive(m_form.get()));
    QCOMPARE(m_form->cbxMoneyBook->currentText(), u"现金"_s);
    QVERIFY(!m_form->cbxMoneyBook->isEnabled());
    QCOMPARE(m_form->cbxMoneyUser->text(), u"张三"_s);
    QVERIFY(!m_form->cbxMoneyUser->isEnabled());
    QCOMPARE(m_form->cbxMoneyReason->currentText(), u"房租"_s);
    m_form->ActionCancel->trigger();
    QVERIFY(m_form->PresetBook.isEmpty() && m_form->PresetCustomer.isEmpty() && m_form->PresetReason.isEmpty());

    // A preset book that no longer exists leaves the list open on the remembered one.
    m_form->PresetBook = u"已删除的账簿"_s;
    QVERIFY(TestSupport::ShowActive(m_form.get()));
    QVERIFY(m_form->cbxMoneyBook->isEnabled());
    QCOMPARE(m_form->cbxMoneyBook->currentText(), u"工商银行"_s);
    QVERIFY(m_form->cbxMoneyUser->isEnabled());
}

void TestMoneyEditor::settlementLink()
{
    m_form->GetPayLink = qint64(1);
    m_form->PresetBook = u"现金"_s;
    QVERIFY(TestSupport::ShowActive(m_form.get()));
    fillValid(false);
    QTest::keyClick(m_form->edMoneyRemark, Qt::Key_N, Qt::ControlModifier); // 下一单 keeps the link
    QCOMPARE(m_form->cbxMoneyBook->currentText(), u"现金"_s);                // and the preset
    fillValid(false);
    QTest::keyClick(m_form->edMoneyRemark, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(row(7).value(u"MoneyGetPay"_s).toLongLong(), 1);
    QCOMPARE(row(8).value(u"MoneyGetPay"_s).toLongLong(), 1);
    QCOMPARE(row(8).value(u"MoneyBook"_s).toString(), u"现金"_s);
    QVERIFY(m_form->GetPayLink.isNull());
}

void TestMoneyEditor::editExisting()
{
    m_form->OpenMode = 1;
    m_form->RecordIndex = 2;
    m_form->VoucherKind = u"财务收入"_s; // replaced by the voucher's own kind
    QVERIFY(TestSupport::ShowActive(m_form.get()));
    QCOMPARE(m_form->windowTitle(), u"财务支出"_s);
    QCOMPARE(m_form->edMoneySerial->text(), u"SZ-20090105001"_s);
    QCOMPARE(m_form->dtMoneyDate->date(), QDate(2009, 1, 5));
    QCOMPARE(m_form->cbxMoneyBook->currentText(), u"现金2"_s);
    QCOMPARE(m_form->cbxMoneyUser->text(), u"O'Brien"_s);
    QCOMPARE(m_form->edMoneySum->Value(), 30.5);
    QCOMPARE(m_form->cbxMoneyReason->currentText(), u"房租"_s);
    QVERIFY(m_form->btnDelete->isVisibleTo(m_form.get()));
    QVERIFY(!m_form->btnNewNext->isVisibleTo(m_form.get()));
    // A new date keeps the serial of an existing voucher.
    m_form->dtMoneyDate->setDate(QDate(2009, 1, 9));
    QCOMPARE(m_form->edMoneySerial->text(), u"SZ-20090105001"_s);
    m_form->edMoneySum->setText(u"31"_s);
    m_form->ActionSaveMoney->trigger(); // unchanged serial passes the uniqueness check
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    const QVariantMap v = row(2);
    QCOMPARE(v.value(u"MoneySum"_s).toDouble(), 31.0);
    QCOMPARE(v.value(u"MoneyDate"_s).toString(), u"2009-01-09"_s);
    QCOMPARE(v.value(u"MoneyAdmin"_s).toString(), u"出纳"_s); // the creator stays
    QCOMPARE(v.value(u"MoneyKind"_s).toString(), u"财务支出"_s);

    // Another voucher's serial is refused.
    QVERIFY(TestSupport::ShowActive(m_form.get()));
    m_form->edMoneySerial->setText(u"SZ-20090104001"_s);
    m_form->ActionSaveMoney->trigger();
    QVERIFY(m_form->isVisible());
    QCOMPARE(balloon()->Text(), u"该单据编号已经被占用，请输入其它的单据编号！"_s);
}

void TestMoneyEditor::rights()
{
    m_dm->LoginUser().UserModify = false;
    m_form->OpenMode = 1;
    m_form->RecordIndex = 1;
    QVERIFY(TestSupport::ShowActive(m_form.get()));
    m_form->edMoneySum->setText(u"999"_s);
    m_dm->SetNextMessageBoxAnswer(mrOk);
    m_form->ActionSaveMoney->trigger();
    QCOMPARE(m_dm->MessageLog(), QStringList{u"你不具有没有【单据修改】权限"_s});
    QCOMPARE(row(1).value(u"MoneySum"_s).toDouble(), 100.0);
    QVERIFY(m_form->isVisible());

    m_dm->LoginUser().UserDelete = false;
    m_dm->SetNextMessageBoxAnswer(mrOk);
    QTest::keyClick(m_form->edMoneySum, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(m_dm->MessageLog().last(), u"你不具有没有【单据删除】权限"_s);
    QCOMPARE(vouchers(), 6);
}

void TestMoneyEditor::deleteVoucher()
{
    m_form->OpenMode = 1;
    m_form->RecordIndex = 4;
    QVERIFY(TestSupport::ShowActive(m_form.get()));
    m_dm->SetNextMessageBoxAnswer(mrCancel);
    m_form->ActionDeleteMoney->trigger();
    QCOMPARE(vouchers(), 6);
    QCOMPARE(m_dm->MessageLog().last(), u"确定要删除该单据，删除单据的同时会影响单据相关的账簿的收支余额！"_s);
    m_dm->SetNextMessageBoxAnswer(mrYes);
    m_form->ActionDeleteMoney->trigger();
    QCOMPARE(vouchers(), 5);
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    // A new voucher cannot be deleted (the command is not there).
    m_form->OpenMode = 0;
    QVERIFY(TestSupport::ShowActive(m_form.get()));
    QVERIFY(!m_form->ActionDeleteMoney->isEnabled());
    m_form->ActionDeleteMoney->trigger();
    QCOMPARE(vouchers(), 5);
}

void TestMoneyEditor::remarkPickUp()
{
    QVERIFY(TestSupport::ShowActive(m_form.get()));
    TestSupport::TypeText(m_form->edMoneyRemark, u"饭10 车5.5$"_s);
    QCOMPARE(m_form->edMoneySum->Value(), 15.5);
    QTest::keyClick(m_form->edMoneyRemark, Qt::Key_Backspace); // no longer ends with $: unchanged
    QCOMPARE(m_form->edMoneySum->Value(), 15.5);
    m_form->ActionCancel->trigger();

    // A voucher whose remark ends with "$" keeps the amount stored with it.
    QCOMPARE(m_dm->ExecSQL(u"update MoneyRecord set MoneyRemark='饭10$', MoneySum=12 where MoneyIndex=1"_s), 1);
    m_form->OpenMode = 1;
    m_form->RecordIndex = 1;
    QVERIFY(TestSupport::ShowActive(m_form.get()));
    QCOMPARE(m_form->edMoneyRemark->text(), u"饭10$"_s);
    QCOMPARE(m_form->edMoneySum->Value(), 12.0);
}

QTEST_MAIN(TestMoneyEditor)
#include "tst_moneyeditor.moc"
