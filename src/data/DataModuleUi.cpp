// The operations of TShareDM that touch widgets. They live in the GUI library so that the
// admin tool links the data module without any widget code.

#include "DataModule.h"

#include "BalloonUtil.h"
#include "ExportToExcelUnit.h"
#include "ReportGrid.h"
#include "xUtils.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace {

QString controlText(QWidget *control)
{
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        return edit->text();
    if (auto *combo = qobject_cast<QComboBox *>(control))
        return combo->currentText();
    if (auto *plain = qobject_cast<QPlainTextEdit *>(control))
        return plain->toPlainText();
    if (auto *rich = qobject_cast<QTextEdit *>(control))
        return rich->toPlainText();
    // Our own inputs publish their text as a property.
    return control ? control->property("text").toString() : QString();
}

void selectAllText(QWidget *control)
{
    if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        edit->selectAll();
    } else if (auto *combo = qobject_cast<QComboBox *>(control)) {
        if (combo->lineEdit())
            combo->lineEdit()->selectAll();
    } else if (control && control->metaObject()->indexOfMethod("selectAll()") >= 0) {
        QMetaObject::invokeMethod(control, "selectAll");
    }
}

} // namespace

int TShareDM::ShowMessageBox(const QString &msg, TMsgDlgType type, int buttons, int helpCtx)
{
    Q_UNUSED(helpCtx);
    m_messageLog.append(msg);
    if (!m_nextAnswers.isEmpty())
        return m_nextAnswers.takeFirst();

    QMessageBox box(nullptr);
    box.setWindowModality(Qt::ApplicationModal);
    switch (type) {
    case mtWarning:
        box.setIcon(QMessageBox::Warning);
        box.setWindowTitle(u"警告"_s);
        break;
    case mtError:
        box.setIcon(QMessageBox::Critical);
        box.setWindowTitle(u"错误"_s);
        break;
    case mtInformation:
        box.setIcon(QMessageBox::Information);
        box.setWindowTitle(u"信息"_s);
        break;
    case mtConfirmation:
        box.setIcon(QMessageBox::Question);
        box.setWindowTitle(u"确认"_s);
        break;
    }
    box.setText(msg);
    QPushButton *yes = (buttons & mbYes) ? box.addButton(u"是"_s, QMessageBox::YesRole) : nullptr;
    QPushButton *no = (buttons & mbNo) ? box.addButton(u"否"_s, QMessageBox::NoRole) : nullptr;
    QPushButton *ok = (buttons & mbOK) ? box.addButton(u"确定"_s, QMessageBox::AcceptRole) : nullptr;
    QPushButton *cancel = (buttons & mbCancel) ? box.addButton(u"取消"_s, QMessageBox::RejectRole) : nullptr;
    if (!yes && !no && !ok && !cancel)
        ok = box.addButton(u"确定"_s, QMessageBox::AcceptRole);
    box.setDefaultButton(ok ? ok : (yes ? yes : nullptr));
    if (cancel)
        box.setEscapeButton(cancel);
    box.exec();
    QAbstractButton *pressed = box.clickedButton();
    if (pressed && pressed == yes)
        return mrYes;
    if (pressed && pressed == no)
        return mrNo;
    if (pressed && pressed == ok)
        return mrOk;
    return mrCancel;
}

void TShareDM::FillDistinctList(QWidget *control, const QString &table, const QString &field,
                                const QString &condition, const QString &prefill, bool clear)
{
    const QStringList values = DistinctValues(table, field, condition, prefill);
    if (auto *combo = qobject_cast<QComboBox *>(control)) {
        if (clear)
            combo->clear();
        combo->addItems(values);
        if (combo->count() > 0)
            combo->setCurrentIndex(0);
    } else if (auto *list = qobject_cast<QListWidget *>(control)) {
        if (clear)
            list->clear();
        list->addItems(values);
        if (list->count() > 0)
            list->setCurrentRow(0);
    } else if (control) {
        // Our customer input keeps its own item list.
        QStringList items = clear ? QStringList() : control->property("Items").toStringList();
        items += values;
        control->setProperty("Items", items);
    }
}

void TShareDM::FillParameterList(QComboBox *combo, const QString &parameterName, const QString &prefill)
{
    FillDistinctList(combo, u"Parameter"_s, u"ParameterValue"_s, ParameterCondition(parameterName), prefill, true);
}

bool TShareDM::CheckUnique(QLineEdit *edit, const QString &table, const QString &field, const QString &message,
                           qint64 keyValue)
{
    if (!ValueTaken(table, field, edit->text(), keyValue))
        return true;
    ShowBalloon(edit, message, 1, QString());
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
    return false;
}

bool TShareDM::RequireText(QWidget *control, const QString &message, int icon, const QString &title)
{
    if (!controlText(control).isEmpty())
        return true;
    control->setFocus(Qt::OtherFocusReason);
    selectAllText(control);
    ShowBalloon(control, message, icon, title);
    return false;
}

void TShareDM::ClearInputs(QWidget *form)
{
    const QList<QWidget *> children = form->findChildren<QWidget *>();
    for (QWidget *w : children) {
        // The inner editors of combo and spin boxes belong to their owners.
        QWidget *parent = w->parentWidget();
        if (qobject_cast<QComboBox *>(parent) || qobject_cast<QAbstractSpinBox *>(parent))
            continue;
        if (auto *date = qobject_cast<QDateEdit *>(w)) {
            date->setDate(QDate::currentDate());
        } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
            if (combo->isEditable()) {
                combo->clear();
                combo->clearEditText();
            } else if (combo->count() > 0) {
                combo->setCurrentIndex(0);
            }
        } else if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            edit->clear();
        } else if (auto *plain = qobject_cast<QPlainTextEdit *>(w)) {
            plain->clear();
        } else if (auto *rich = qobject_cast<QTextEdit *>(w)) {
            rich->clear();
        }
    }
}

void TShareDM::SetControlsEnabled(const QList<QWidget *> &controls, bool value)
{
    for (QWidget *w : controls)
        w->setEnabled(value);
}

void TShareDM::SetControlsHint(const QList<QWidget *> &controls, const QString &hint)
{
    for (QWidget *w : controls)
        w->setToolTip(hint);
}

bool TShareDM::CheckCreateRight()
{
    if (m_loginUser.UserCreate)
        return true;
    ShowMessageBox(u"你不具有没有【单据新增】权限"_s, mtInformation, mbOK);
    return false;
}

bool TShareDM::CheckModifyRight()
{
    if (m_loginUser.UserModify)
        return true;
    ShowMessageBox(u"你不具有没有【单据修改】权限"_s, mtInformation, mbOK);
    return false;
}

bool TShareDM::CheckDeleteRight()
{
    if (m_loginUser.UserDelete)
        return true;
    ShowMessageBox(u"你不具有没有【单据删除】权限"_s, mtInformation, mbOK);
    return false;
}

void TShareDM::ShowBalloon(QWidget *control, const QString &text, int icon, const QString &title)
{
    if (!m_balloon)
        m_balloon = std::make_unique<TXpTooltip>();
    const QString caption = title.isEmpty() && icon != 0 ? u"青柚流水帐"_s : title;
    static_cast<TXpTooltip *>(m_balloon.get())->Show(control, icon, text, caption);
}

QString TShareDM::GetSaveFileName(const QString &title, const QString &proposedName, const QString &filter,
                                  const QString &defaultSuffix)
{
    if (!m_nextFileNames.isEmpty())
        return m_nextFileNames.takeFirst();
    QFileDialog dialog(QApplication::activeWindow(), title, proposedName, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

QString TShareDM::GetOpenFileName(const QString &title, const QString &filter)
{
    if (!m_nextFileNames.isEmpty())
        return m_nextFileNames.takeFirst();
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, QString(), filter);
}

QString TShareDM::GetExistingDirectory(const QString &title, const QString &start)
{
    if (!m_nextFileNames.isEmpty())
        return m_nextFileNames.takeFirst();
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), title,
                                             QDir(start).exists() ? start : QString());
}

void TShareDM::BackupDataAs()
{
    if (!m_maintenance)
        return;
    QString file = GetSaveFileName(u"备份数据"_s, ProposedBackupName(QDate::currentDate()) + u".qy"_s, FileFilter(),
                                   u"qy"_s);
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += u".qy"_s;
    if (m_maintenance->Backup(file)) {
        ShowMessageBox(u"恭喜您：数据备份成功！\r\n备份路径："_s + QDir::toNativeSeparators(file), mtInformation, mbOK);
    } else {
        // Saying nothing would look like success.
        ShowMessageBox(u"数据备份失败：\r\n"_s + m_maintenance->LastError(), mtError, mbOK);
    }
}

bool TShareDM::RestoreData()
{
    if (!m_maintenance)
        return false;
    const QString file = GetOpenFileName(u"恢复数据"_s, FileFilter());
    if (file.isEmpty())
        return false;
    if (!m_maintenance->Restore(file)) {
        ShowMessageBox(u"数据恢复失败：\r\n"_s + m_maintenance->LastError(), mtError, mbOK);
        return false;
    }
    return ShowMessageBox(u"恭喜您：数据恢复成功，但要重启软件数据才会生效。是否现在重启软件？"_s, mtInformation,
                          mbYes | mbCancel)
           == mrYes;
}

bool TShareDM::OpenUrl(const QUrl &url)
{
    m_openedUrls.append(url);
    return UrlOpener ? UrlOpener(url) : QDesktopServices::openUrl(url);
}

void TShareDM::SortByTitle(TReportGrid *grid, int column)
{
    if (grid)
        grid->SortByTitle(column);
}

bool TShareDM::AddGridColumn(TReportGrid *grid, const QString &fieldName, const QString &caption, int width,
                             bool visible, int footerValueType, const QString &displayFormat)
{
    return grid && grid->AddGridColumn(fieldName, caption, width, visible,
                                       TGridColumn::FooterType(footerValueType), displayFormat);
}

QString TShareDM::ExportFolder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (base.isEmpty())
        base = QDir::homePath();
    return base + u"/青柚流水帐导出"_s;
}

QString TShareDM::ExportGrid(TReportGrid *grid)
{
    TQuery *query = grid ? grid->Query() : nullptr;
    if (!query || !query->isOpen() || query->isEmpty())
        return QString();
    const TRecordSet &rows = query->records();
    QList<ExportToExcelUnit::ExportColumn> columns;
    for (const int c : grid->VisualOrder()) {
        const TGridColumn &column = grid->Column(c);
        // Hidden and calculated columns (no field of the statement) stay out.
        if (!column.Visible || column.RowNumber || rows.fieldIndex(column.FieldName) < 0)
            continue;
        columns.append({column.FieldName, column.Title});
    }
    if (columns.size() < 2)
        return QString();
    const QString folder = ExportFolder();
    QDir().mkpath(folder);
    const QString file = folder + u"/青柚流水帐导出"_s + QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss-zzz"_s)
                         + u".xlsx"_s;
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = ExportToExcelUnit::ExportRecordSet(rows, columns, file, &error);
    QApplication::restoreOverrideCursor();
    if (!ok) {
        ShowMessageBox(u"导出失败：\n"_s + error, mtError, mbOK);
        return QString();
    }
    if (!OpenUrl(QUrl::fromLocalFile(file)))
        ShowMessageBox(u"没有找到能打开电子表格的程序。\n导出的文件保存在："_s + QDir::toNativeSeparators(file),
                       mtInformation, mbOK);
    return file;
}
