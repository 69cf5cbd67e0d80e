#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class TShareDM;

// The voucher filter dialog: a date range and text matches on the voucher's columns, returned
// as two condition fragments for the income and expense report.
class TFormMoneySearch : public QDialog
{
    Q_OBJECT
public:
    explicit TFormMoneySearch(TShareDM &dm, QWidget *parent = nullptr);

    // Results, read after OK.
    QString DateCondition;
    QString BaseCondition;

    void FormShow();
    void cbDateCheckClick();
    void btnOKClick();
    void btnCancelClick();

    QCheckBox *cbDateCheck = nullptr;
    QDateEdit *dtMoneyDateStart = nullptr, *dtMoneyDateEnd = nullptr;
    QComboBox *cbxMoneyKind = nullptr, *cbxMoneyBook = nullptr, *cbxMoneyCustomer = nullptr, *cbxMoneyReason = nullptr,
              *cbxMoneyClerk = nullptr, *cbxMoneyPay = nullptr;
    QLineEdit *edMoneySerial = nullptr, *edMoneyRemark = nullptr;
    QPushButton *btnOK = nullptr, *btnCancel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    TShareDM &m_dm;
};
