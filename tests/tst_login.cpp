#include "BalloonUtil.h"
#include "DataModule.h"
#include "LoginForm.h"
#include "TestSupport.h"
#include "TestSupportGui.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

class TestLogin : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void preselection_data();
    void preselection();
    void attempts_data();
    void attempts();
    void brokenKey();
    void successfulLogin();

private:
    TXpTooltip *balloon() const { return static_cast<TXpTooltip *>(m_dm->Balloon()); }
    std::unique_ptr<TestSupport::TProgramFolder> m_folder;
    std::unique_ptr<TShareDM> m_dm;
    std::unique_ptr<TFormLogin> m_form;
};

void TestLogin::init()
{
    TestSupport::ResetSettings();
    m_folder = std::make_unique<TestSupport::TProgramFolder>();
    QString error;
    QVERIFY2(m_folder->createDataFile(&error), qPrintable(error));
    m_dm = std::make_unique<TShareDM>(m_folder->path());
    QVERIFY2(m_dm->OpenDataFile(m_folder->dataFile(), false, &error), qPrintable(error));
    QVERIFY(m_dm->SetUserKey(u"管理员"_s, u"Abc123"_s));
    QVERIFY(m_dm->ExecSQL(u"insert into LoginUser (UserName, UserCheck, UserCreate) values ('会计', 1, 1)"_s) == 1);
    m_form = std::make_unique<TFormLogin>(*m_dm);
}

void TestLogin::cleanup()
{
    m_form.reset();
    m_dm.reset();
}

void TestLogin::preselection_data()
{
    QTest::addColumn<QString>("lastLogin");
    QTest::addColumn<QString>("expected");
    QTest::newRow("nothing stored: the cashier") << QString() << u"出纳"_s;
    QTest::newRow("last user") << u"会计"_s << u"会计"_s;
    QTest::newRow("last user gone") << u"老王"_s << QString();
}

void TestLogin::preselection()
{
    QFETCH(QString, lastLogin);
    QFETCH(QString, expected);
    if (!lastLogin.isEmpty())
        m_dm->WriteStringSetting(u"LastLogin"_s, lastLogin);
    m_form->show();
    QCOMPARE(m_form->windowTitle(), u"青柚流水帐登录"_s);
    QStringList names;
    for (int i = 0; i < m_form->cbxUserName->count(); ++i)
        names << m_form->cbxUserName->itemText(i);
    QCOMPARE(names, (QStringList{u"会计"_s, u"出纳"_s, u"管理员"_s}));
    QCOMPARE(m_form->cbxUserName->currentText(), expected);
    QVERIFY(m_form->edUserKey->text().isEmpty());
    QCOMPARE(m_form->edUserKey->echoMode(), QLineEdit::Password);
}

void TestLogin::attempts_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("no password, nothing typed") << u"出纳"_s << QString() << true;
    QTest::newRow("no password, something typed") << u"出纳"_s << u"x"_s << false;
    QTest::newRow("right password") << u"管理员"_s << u"Abc123"_s << true;
    QTest::newRow("case differs") << u"管理员"_s << u"abc123"_s << false;
    QTest::newRow("nothing typed") << u"管理员"_s << QString() << false;
    QTest::newRow("trailing space") << u"管理员"_s << u"Abc123 "_s << false;
}

void TestLogin::attempts()
{
    QFETCH(QString, user);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    m_form->show();
    m_form->cbxUserName->setCurrentIndex(m_form->cbxUserName->findText(user));
    QTest::keyClicks(m_form->edUserKey, typed);
    QTest::mouseClick(m_form->btnOK, Qt::LeftButton);
    QCOMPARE(m_form->result() == QDialog::Accepted, accepted);
    QCOMPARE(m_dm->LoggedIn(), accepted);
    if (!accepted) {
        QVERIFY(m_form->isVisible());
        QCOMPARE(balloon()->CurrentControl(), m_form->edUserKey);
        QCOMPARE(balloon()->Text(), u"登录密码有误，请重新输入！"_s);
        QCOMPARE(balloon()->Icon(), 3);
        QCOMPARE(balloon()->Title(), u"青柚流水帐"_s);
        QCOMPARE(m_form->edUserKey->selectedText(), typed);
        QCOMPARE(m_dm->LoginUser().UserName, QString()); // nobody logged in
    }
}

void TestLogin::brokenKey()
{
    // A stored key that is not cipher text is reported; nobody logs in.
    QCOMPARE(m_dm->ExecSQL(u"update LoginUser set UserKey='ZZZZ' where UserName='会计'"_s), 1);
    m_form->show();
    m_form->cbxUserName->setCurrentIndex(m_form->cbxUserName->findText(u"会计"_s));
    m_dm->SetNextMessageBoxAnswer(mrOk);
    QTest::mouseClick(m_form->btnOK, Qt::LeftButton);
    QVERIFY(m_form->isVisible());
    QVERIFY(!m_dm->LoggedIn());
    QCOMPARE(m_dm->MessageLog().size(), 1);
    QVERIFY(m_dm->MessageLog().first().contains(u"会计"_s));

    // No user picked: the balloon points at the list.
    m_form->cbxUserName->setCurrentIndex(-1);
    QTest::mouseClick(m_form->btnOK, Qt::LeftButton);
    QCOMPARE(balloon()->CurrentControl(), m_form->cbxUserName);
    QCOMPARE(balloon()->Text(), u"请通过下拉选择登录的用户名"_s);
    QCOMPARE(balloon()->Icon(), 1);
}

void TestLogin::successfulLogin()
{
    m_form->show();
    m_form->cbxUserName->setCurrentIndex(m_form->cbxUserName->findText(u"管理员"_s));
    QTest::keyClicks(m_form->edUserKey, u"Abc123"_s);
    QTest::keyClick(m_form->edUserKey, Qt::Key_Return); // Enter logs in
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    const TLoginUser &u = m_dm->LoginUser();
    QCOMPARE(u.UserName, u"管理员"_s);
    QVERIFY(u.UserCheck && u.UserCreate && u.UserModify && u.UserDelete && u.UserRestore && u.UserSetting);
    QCOMPARE(m_dm->ReadStringSetting(u"LastLogin"_s, QString()), u"管理员"_s);

    // The next showing starts afresh, with the last user preselected.
    m_form->show();
    QCOMPARE(m_form->cbxUserName->currentText(), u"管理员"_s);
    QVERIFY(m_form->edUserKey->text().isEmpty());
}

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
