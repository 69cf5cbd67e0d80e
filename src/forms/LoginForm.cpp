#include "LoginForm.h"

#include "AppImages.h"
#include "DataModule.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TFormLogin::TFormLogin(TShareDM &dm, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_dm(dm)
{
    setObjectName(u"FormLogin"_s);
    setWindowTitle(u"青柚流水帐登录"_s);
    setModal(true);

    imgBanner = new QLabel(this);
    imgBanner->setPixmap(AppImages::Banner(u"青柚流水帐"_s, QSize(322, 60)));
    imgBanner->setFixedSize(322, 60);

    auto *group = new QGroupBox(this);
    auto *grid = new QGridLayout(group);
    cbxUserName = new QComboBox(group);
    cbxUserName->setObjectName(u"cbxUserName"_s);
    cbxUserName->setEditable(false);
    edUserKey = new QLineEdit(group);
    edUserKey->setObjectName(u"edUserKey"_s);
    edUserKey->setEchoMode(QLineEdit::Password);
    edUserKey->setStyleSheet(u"lineedit-password-character: 42;"_s); // '*'
    auto *userLabel = new QLabel(u"登录用户："_s, group);
    auto *keyLabel = new QLabel(u"登录密码："_s, group);
    userLabel->setBuddy(cbxUserName);
    keyLabel->setBuddy(edUserKey);
    grid->addWidget(userLabel, 0, 0, Qt::AlignRight);
    grid->addWidget(cbxUserName, 0, 1);
    grid->addWidget(keyLabel, 1, 0, Qt::AlignRight);
    grid->addWidget(edUserKey, 1, 1);

    ActionLogin = new QAction(u"登录"_s, this);
    ActionLogin->setObjectName(u"ActionLogin"_s);
    ActionCancel = new QAction(u"取消"_s, this);
    ActionCancel->setObjectName(u"ActionCancel"_s);
    btnOK = new QPushButton(ActionLogin->text(), this);
    btnOK->setObjectName(u"btnOK"_s);
    btnOK->setDefault(true); // Enter
    btnCancel = new QPushButton(ActionCancel->text(), this);
    btnCancel->setObjectName(u"btnCancel"_s);
    connect(btnOK, &QPushButton::clicked, this, &TFormLogin::ActionLoginExecute);
    connect(btnCancel, &QPushButton::clicked, this, &TFormLogin::ActionCancelExecute);
    connect(ActionLogin, &QAction::triggered, this, &TFormLogin::ActionLoginExecute);
    connect(ActionCancel, &QAction::triggered, this, &TFormLogin::ActionCancelExecute);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 10);
    layout->addWidget(imgBanner);
    auto *body = new QVBoxLayout;
    body->setContentsMargins(12, 4, 12, 0);
    body->addWidget(group);
    body->addLayout(buttons);
    layout->addLayout(body);
    setFixedSize(322, 211);
}

void TFormLogin::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFormLogin::FormShow()
{
    setWindowTitle(u"青柚流水帐登录"_s);
    m_dm.FillDistinctList(cbxUserName, u"LoginUser"_s, u"UserName"_s, QString(), QString(), true);
    cbxUserName->setCurrentIndex(cbxUserName->findText(m_dm.ReadStringSetting(u"LastLogin"_s, u"出纳"_s)));
    edUserKey->clear();
    btnOK->setFocus(Qt::OtherFocusReason);
}

void TFormLogin::ActionLoginExecute()
{
    if (!m_dm.RequireText(cbxUserName, u"请通过下拉选择登录的用户名"_s, 1, QString()))
        return;
    const QString name = cbxUserName->currentText();
    m_dm.OpenQuery(m_dm.ADOQueryTemp, u"select * from LoginUser where UserName="_s + SqlText::QuotedStr(name));
    if (m_dm.ADOQueryTemp.isEmpty()) {
        // The user was removed since the list was filled.
        FormShow();
        m_dm.ShowBalloon(cbxUserName, u"请通过下拉选择登录的用户名"_s, 1, QString());
        return;
    }
    QString error;
    const bool passed =
        TLoginUser::PasswordMatches(m_dm.ADOQueryTemp.fieldText(u"UserKey"_s), edUserKey->text(), &error);
    if (!error.isEmpty()) {
        // A stored key that is not cipher text: say so; the dialog stays open.
        m_dm.ShowMessageBox(u"用户【"_s + name + u"】的密码数据已损坏，无法验证：\n"_s + error, mtError, mbOK);
        return;
    }
    if (!passed) {
        m_dm.ShowBalloon(edUserKey, u"登录密码有误，请重新输入！"_s, 3, QString());
        edUserKey->setFocus(Qt::OtherFocusReason);
        edUserKey->selectAll();
        return;
    }
    TLoginUser user = TLoginUser::FromRecord(m_dm.ADOQueryTemp.records(), m_dm.ADOQueryTemp.recNo());
    user.UserName = name;
    m_dm.LoginUser() = user;
    m_dm.SetLoggedIn(true);
    m_dm.WriteStringSetting(u"LastLogin"_s, name);
    accept();
}

void TFormLogin::ActionCancelExecute()
{
    reject();
}
