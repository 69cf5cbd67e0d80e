#pragma once

#include <QDialog>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TShareDM;

// The login dialog: a user picked from the list and his password. On success the data module
// holds the user and his rights, LoggedIn is set and LastLogin remembered.
class TFormLogin : public QDialog
{
    Q_OBJECT
public:
    explicit TFormLogin(TShareDM &dm, QWidget *parent = nullptr);

    void FormShow();
    void ActionLoginExecute();
    void ActionCancelExecute();

    QLabel *imgBanner = nullptr;
    QComboBox *cbxUserName = nullptr;
    QLineEdit *edUserKey = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;
    QAction *ActionLogin = nullptr;
    QAction *ActionCancel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    TShareDM &m_dm;
};
