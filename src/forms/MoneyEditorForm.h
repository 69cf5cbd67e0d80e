#pragma once

#include <QDialog>
#include <QVariant>

class QAction;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class TShareDM;
class TSpTBXIECombobox;
class TSpTBXNumberEdit;

// The income and expense voucher editor: enters a new voucher (also the settlement of a
// receivable or payable), changes or deletes an existing one. Callers set the inputs, then
// show it; a result of OK means something was saved or deleted.
class TFormMoneyEditor : public QDialog
{
    Q_OBJECT
public:
    explicit TFormMoneyEditor(TShareDM &dm, QWidget *parent = nullptr);

    // Inputs.
    int OpenMode = 0;         // 0 new voucher, 1 the voucher RecordIndex
    qint64 RecordIndex = 0;
    QString VoucherKind = QStringLiteral("财务收入");
    QString PresetBook, PresetCustomer, PresetReason, PresetClerk;
    QVariant GetPayLink;      // the receivable/payable a new voucher settles, or null
    bool DataChanged = false;

    void FormShow();
    void dtMoneyDateChange();
    void edMoneyRemarkChange();
    // The save checks and the write; false when a check stopped it (the dialog stays open).
    bool SaveMoney();
    void ActionNewMoneyExecute();
    void ActionSaveMoneyExecute();
    void ActionDeleteMoneyExecute();
    void ActionCancelExecute();

    QLabel *img1 = nullptr;
    QLineEdit *edMoneySerial = nullptr;
    QDateEdit *dtMoneyDate = nullptr;
    QComboBox *cbxMoneyBook = nullptr;
    TSpTBXIECombobox *cbxMoneyUser = nullptr;
    TSpTBXNumberEdit *edMoneySum = nullptr;
    QComboBox *cbxMoneyReason = nullptr, *cbxMoneyClerk = nullptr, *cbxMoneyPay = nullptr;
    QLineEdit *edMoneyRemark = nullptr;
    QPushButton *btnNewNext = nullptr, *btnSave = nullptr, *btnDelete = nullptr, *btnCancel = nullptr;
    QAction *ActionNewMoney = nullptr, *ActionSaveMoney = nullptr, *ActionDeleteMoney = nullptr,
            *ActionCancel = nullptr;

Q_SIGNALS:
    // Something was saved or deleted during this showing: the summaries should recompute.
    void RefreshStatRequested();

public Q_SLOTS:
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    TShareDM &m_dm;
};
