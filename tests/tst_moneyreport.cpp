#include "DataModule.h"
#include "MoneyEditorForm.h"
#include "MoneyReportFrame.h"
#include "MoneySearchForm.h"
#include "ReportGrid.h"
#include "SpTBXNumberEdit.h"
#include "TestSupport.h"
#include "TestSupportGui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>

using namespace Qt::StringLiterals;

class TestMoneyReport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void columnsAndFooters();
    void balanceAcrossTheDateFilter();
    void userWithoutReviewRight();
    void nothingMatches();
    void doubleClickEditsAndKeepsTheRow();
    void searchDialog_data();
    void searchDialog();
    void searchCancelKeepsTheFilter();
    void exportWorkbook();
    void layoutSurvivesRestart();

private:
    void login(const QString &user);
    QString column(const QString &field, int row) const;
    std::unique_ptr<TestSupport::TProgramFolder> m_folder;
    std::unique_ptr<TShareDM> m_dm;
    std::unique_ptr<TFrameMoneyReport> m_frame;
    std::unique_ptr<TFormMoneyEditor> m_editor;
    std::unique_ptr<TFormMoneySearch> m_search;
    QList<QUrl> m_opened;
};

void TestMoneyReport::init()
{
    TestSupport::ResetSettings();
    m_folder = std::make_unique<TestSupport::TProgramFolder>();
    TestSupport::UseHome(m_folder->filePath(u"home"_s));
    QString error;
    m_dm = TestSupport::OpenFixture(*m_folder, false, &error);
    QVERIFY2(m_dm, qPrintable(error));
    m_opened.clear();
    m_dm->UrlOpener = [this](const QUrl &url) {
        m_opened << url;
        return true;
    };
    login(u"管理员"_s);
    m_frame = std::make_unique<TFrameMoneyReport>(*m_dm);
    m_editor = std::make_unique<TFormMoneyEditor>(*m_dm);
    m_search = std::make_unique<TFormMoneySearch>(*m_dm);
    m_frame->SetDialogs(m_editor.get(), m_search.get());
    m_frame->resize(900, 400);
    m_frame->show();
}

void TestMoneyReport::cleanup()
{
    m_frame.reset();
    m_editor.reset();
    m_search.reset();
    m_dm.reset();
}

void TestMoneyReport::login(const QString &user)
{
    QVERIFY(TestSupport::LogIn(*m_dm, user));
}

QString TestMoneyReport::column(const QString &field, int row) const
{
    return m_frame->DBGridEh1->CellText(row, m_frame->DBGridEh1->ColumnIndexOfField(field));
}

void TestMoneyReport::columnsAndFooters()
{
    m_frame->RefreshReport();
    TReportGrid *grid = m_frame->DBGridEh1;
    QStringList titles, fields;
    for (int c = 0; c < grid->ColumnCount(); ++c) {
        titles << grid->Column(c).Title;
        fields << grid->Column(c).FieldName;
    }
    QCOMPARE(titles, (QStringList{u"单据编号"_s, u"单据日期"_s, u"账簿名称"_s, u"客户名称"_s, u"收入"_s, u"支出"_s,
                                  u"合计"_s, u"累计"_s, u"业务员"_s, u"收支种类"_s, u"支付方式"_s, u"备注"_s}));
    QCOMPARE(grid->Column(0).Width, 80);
    QCOMPARE(grid->Column(11).Width, 150);
    // Oldest first; the last balance is income minus expense over everything.
    QCOMPARE(grid->RowCount(), 6);
    QCOMPARE(column(u"MoneySerial"_s, 0), u"SZ-20090104001"_s);
    QCOMPARE(column(u"MoneySerial"_s, 1), u"SZ-20090104002"_s); // same day: entered first comes first
    QCOMPARE(column(u"MoneyBalance"_s, 5), u"429.50"_s);
    QCOMPARE(grid->FooterDisplayText(0), u"共 6 条"_s);
    QCOMPARE(grid->FooterDisplayText(4), u"600.00"_s);
    QCOMPARE(grid->FooterDisplayText(5), u"170.50"_s);
    QCOMPARE(grid->FooterDisplayText(6), u"429.50"_s);
    QCOMPARE(grid->FooterDisplayText(7), QString());
    // Income blue, expense red, whole rows.
    QCOMPARE(grid->RowTextColor(0), QColor(0, 0, 255));
    QCOMPARE(grid->RowTextColor(1), QColor(255, 0, 0));
}

void TestMoneyReport::balanceAcrossTheDateFilter()
{
    m_frame->FilterList.setValue(u"MoneyDateFilter"_s, u" and MoneyDate = #2009-01-05#"_s);
    m_frame->RefreshReport();
    // The first row of the day already carries everything before it.
    QCOMPARE(m_frame->DBGridEh1->RowCount(), 2);
    QCOMPARE(column(u"MoneyBalance"_s, 0), u"49.50"_s);
    QCOMPARE(column(u"MoneyBalance"_s, 1), u"349.50"_s);
    QCOMPARE(m_frame->DBGridEh1->FooterDisplayText(6), u"269.50"_s);

    // A book filter runs the balance over that book alone ("现金" matches 现金2 too).
    m_frame->FilterList.setValue(u"MoneyBaseFilter"_s, u" and  InStr(MoneyBook,'现金')"_s);
    m_frame->RefreshReport();
    QCOMPARE(column(u"MoneyBalance"_s, 0), u"69.50"_s);  // 100 - 30.5
    QCOMPARE(column(u"MoneyBalance"_s, 1), u"369.50"_s); // + 300
}

void TestMoneyReport::userWithoutReviewRight()
{
    login(u"出纳"_s);
    m_frame->RefreshReport();
    QCOMPARE(m_frame->DBGridEh1->RowCount(), 3);
    for (int r = 0; r < 3; ++r)
        QCOMPARE(m_frame->ADOQueryMoneyReport.records().value(r, u"MoneyAdmin"_s).toString(), u"出纳"_s);
    QCOMPARE(column(u"MoneyBalance"_s, 2), u"49.50"_s); // -30.5 + 200 - 120, his own only
}

void TestMoneyReport::nothingMatches()
{
    m_frame->FilterList.setValue(u"MoneyDateFilter"_s, u" and MoneyDate = #1999-01-01#"_s);
    m_frame->RefreshReport();
    QCOMPARE(m_frame->DBGridEh1->RowCount(), 0);
    QCOMPARE(m_frame->DBGridEh1->FooterDisplayText(0), u"共 0 条"_s);
    QCOMPARE(m_frame->DBGridEh1->FooterValue(4).toDouble(), 0.0);
    // The export has nothing to do.
    QCOMPARE(m_dm->ExportGrid(m_frame->DBGridEh1), QString());
}

void TestMoneyReport::doubleClickEditsAndKeepsTheRow()
{
    m_frame->RefreshReport();
    m_frame->ADOQueryMoneyReport.setRecNo(3); // SZ-20090105002, income 300
    QCOMPARE(m_frame->ADOQueryMoneyReport.fieldText(u"MoneySerial"_s), u"SZ-20090105002"_s);
    TestSupport::WhenShown<TFormMoneyEditor>([](TFormMoneyEditor *editor) {
        QCOMPARE(editor->OpenMode, 1);
        QCOMPARE(editor->RecordIndex, qint64(3));
        editor->edMoneySum->setText(u"350"_s);
        editor->ActionSaveMoney->trigger();
    });
    const int refreshes = m_frame->RefreshCount();
    m_frame->DBGridEh1DblClick();
    QCOMPARE(m_frame->RefreshCount(), refreshes + 1);
    QCOMPARE(m_frame->ADOQueryMoneyReport.fieldText(u"MoneySerial"_s), u"SZ-20090105002"_s); // same row
    QCOMPARE(column(u"MoneyBalance"_s, 5), u"479.50"_s);

    // Cancel: nothing reloads.
    TestSupport::WhenShown<TFormMoneyEditor>([](TFormMoneyEditor *editor) { editor->ActionCancel->trigger(); });
    m_frame->DBGridEh1DblClick();
    QCOMPARE(m_frame->RefreshCount(), refreshes + 1);
}

void TestMoneyReport::searchDialog_data()
{
    QTest::addColumn<QString>("book");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("dates");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("dateFilter");
    QTest::addColumn<QString>("baseFilter");
    QTest::addColumn<int>("rows");
    QTest::newRow("everything") << u"全部"_s << u"全部"_s << false << QString() << QString() << QString() << 6;
    QTest::newRow("book and kind") << u"现金"_s << u"财务支出"_s << false << QString() << QString()
                                   << u" and  InStr(MoneyBook,'现金') and MoneyKind='财务支出'"_s << 1;
    QTest::newRow("date range, both ends included")
        << u"全部"_s << u"全部"_s << true << QString() << u" and MoneyDate between #2009-01-04# and #2009-01-05#"_s
        << QString() << 4;
    QTest::newRow("typed text with a quote") << u"老王's"_s << u"全部"_s << false << u"05"_s << QString()
                                             << u" and  InStr(MoneyBook,'老王''s') and  InStr(MoneySerial,'05')"_s << 0;
    QTest::newRow("erased box matches empty text") << QString() << u"全部"_s << false << QString() << QString()
                                                   << u" and  InStr(MoneyBook,'')"_s << 6;
}

void TestMoneyReport::searchDialog()
{
    QFETCH(QString, book);
    QFETCH(QString, kind);
    QFETCH(bool, dates);
    QFETCH(QString, serial);
    QFETCH(QString, dateFilter);
    QFETCH(QString, baseFilter);
    QFETCH(int, rows);
    m_dm->SetWorkDate(QDate(2009, 1, 20));
    m_frame->FilterList.setValue(u"MoneyDateFilter"_s, u" and MoneyDate = #2009-01-05#"_s);
    TestSupport::WhenShown<TFormMoneySearch>([=](TFormMoneySearch *search) {
        // The dialog starts afresh: no dates, the month of the work date, every list on 全部.
        QVERIFY(!search->cbDateCheck->isChecked());
        QVERIFY(!search->dtMoneyDateStart->isEnabled());
        QCOMPARE(search->dtMoneyDateStart->date(), QDate(2009, 1, 1));
        QCOMPARE(search->dtMoneyDateEnd->date(), QDate(2009, 1, 31));
        QCOMPARE(search->cbxMoneyBook->itemText(0), u"全部"_s);
        QCOMPARE(search->cbxMoneyPay->currentText(), u"全部"_s);
        QCOMPARE(search->cbxMoneyKind->count(), 3);
        search->cbxMoneyBook->setEditText(book);
        search->cbxMoneyKind->setEditText(kind);
        if (dates) {
            search->cbDateCheck->click();
            QVERIFY(search->dtMoneyDateStart->isEnabled());
            search->dtMoneyDateStart->setDate(QDate(2009, 1, 4));
            search->dtMoneyDateEnd->setDate(QDate(2009, 1, 5));
        }
        search->edMoneySerial->setText(serial);
        QTest::mouseClick(search->btnOK, Qt::LeftButton);
    });
    m_frame->btnSearchClick();
    QCOMPARE(m_frame->FilterList.value(u"MoneyDateFilter"_s), dateFilter);
    QCOMPARE(m_frame->FilterList.value(u"MoneyBaseFilter"_s), baseFilter);
    QCOMPARE(m_frame->FilterList.contains(u"MoneyDateFilter"_s), !dateFilter.isEmpty());
    QCOMPARE(m_frame->DBGridEh1->RowCount(), rows);
    QVERIFY(!m_dm->QueryFailed());
}

void TestMoneyReport::searchCancelKeepsTheFilter()
{
    m_frame->FilterList.setValue(u"MoneyDateFilter"_s, u" and MoneyDate = #2009-01-05#"_s);
    m_frame->RefreshReport();
    const int refreshes = m_frame->RefreshCount();
    TestSupport::WhenShown<TFormMoneySearch>([](TFormMoneySearch *search) {
        search->cbxMoneyBook->setEditText(u"现金"_s);
        QTest::mouseClick(search->btnCancel, Qt::LeftButton);
    });
    m_frame->btnSearchClick();
    QCOMPARE(m_frame->FilterList.lines(), QStringList{u"MoneyDateFilter= and MoneyDate = #2009-01-05#"_s});
    QCOMPARE(m_frame->RefreshCount(), refreshes);
}

void TestMoneyReport::exportWorkbook()
{
    if (QStandardPaths::findExecutable(u"unzip"_s).isEmpty())
        QSKIP("unzip is needed to read the workbook back");
    m_frame->RefreshReport();
    TReportGrid *grid = m_frame->DBGridEh1;
    // Sorted on screen by amount; hidden remark column.
    grid->SortByTitle(grid->ColumnIndexOfField(u"MoneySum2"_s));
    grid->SetColumnVisible(grid->ColumnIndexOfField(u"MoneyRemark"_s), false);
    QTest::mouseClick(m_frame->btnExport, Qt::LeftButton);
    QCOMPARE(m_opened.size(), 1);
    const QString file = m_opened.first().toLocalFile();
    QVERIFY(file.startsWith(TShareDM::ExportFolder()));
    QVERIFY(file.endsWith(u".xlsx"_s));
    QProcess unzip;
    unzip.start(u"unzip"_s, {u"-p"_s, file, u"xl/sharedStrings.xml"_s});
    QVERIFY(unzip.waitForFinished(10000));
    const QString strings = QString::fromUtf8(unzip.readAllStandardOutput());
    for (const QString &title : {u"单据编号"_s, u"累计"_s, u"支付方式"_s})
        QVERIFY2(strings.contains(title), qPrintable(title));
    QVERIFY(!strings.contains(u"备注"_s));
    // The statement's order, not the click sort: the first serial comes first.
    QVERIFY(strings.indexOf(u"SZ-20090104001"_s) < strings.indexOf(u"SZ-20090106002"_s));
    unzip.start(u"unzip"_s, {u"-p"_s, file, u"xl/worksheets/sheet1.xml"_s});
    QVERIFY(unzip.waitForFinished(10000));
    QVERIFY(QString::fromUtf8(unzip.readAllStandardOutput()).contains(u"<dimension ref=\"A1:K7\"/>"_s));

    // With fewer than two columns nothing is exported.
    for (int c = 1; c < grid->ColumnCount(); ++c)
        grid->SetColumnVisible(c, false);
    QCOMPARE(m_dm->ExportGrid(grid), QString());
    QCOMPARE(m_opened.size(), 1);

    // No program to open it: the user is told where the file is.
    for (int c = 0; c < grid->ColumnCount(); ++c)
        grid->SetColumnVisible(c, true);
    m_dm->UrlOpener = [](const QUrl &) { return false; };
    m_dm->SetNextMessageBoxAnswer(mrOk);
    const QString second = m_dm->ExportGrid(grid);
    QVERIFY(QFile::exists(second));
    QVERIFY(m_dm->MessageLog().last().contains(QDir::toNativeSeparators(second)));
}

void TestMoneyReport::layoutSurvivesRestart()
{
    m_frame->RefreshReport();
    TReportGrid *grid = m_frame->DBGridEh1;
    grid->Header()->moveSection(grid->Header()->visualIndex(grid->ColumnIndexOfField(u"MoneyRemark"_s)), 0);
    grid->SetColumnWidth(grid->ColumnIndexOfField(u"MoneyUser"_s), 140);
    grid->SetColumnVisible(grid->ColumnIndexOfField(u"MoneyClerk"_s), false);
    grid->SortByTitle(grid->ColumnIndexOfField(u"MoneyDate"_s));
    m_frame->SaveColumnLayout();

    QFile ini(m_folder->filePath(u"DBGrid.ini"_s));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(ini.readAll());
    QVERIFY2(text.contains(u"[MoneyDBGrid]"_s), qPrintable(text));
    QVERIFY2(text.contains(u"DBGridEh1.MoneyRemark=0,150,0,1,0,7,0"_s), qPrintable(text));
    QVERIFY2(text.contains(u"DBGridEh1.MoneyUser=4,140,0,1,0,7,0"_s), qPrintable(text));
    QVERIFY2(text.contains(u"DBGridEh1.MoneyDate=2,70,2,1,0,7,0"_s), qPrintable(text));
    QVERIFY2(text.contains(QRegularExpression(u"DBGridEh1.MoneyClerk=\\d+,50,0,0,0,7,0"_s)), qPrintable(text));

    // A new frame (the next start) shows the same arrangement; the sort is not restored.
    TFrameMoneyReport next(*m_dm);
    next.LoadColumnLayout();
    next.RefreshReport();
    TReportGrid *g = next.DBGridEh1;
    QCOMPARE(g->VisualOrder().first(), g->ColumnIndexOfField(u"MoneyRemark"_s));
    QCOMPARE(g->Column(g->ColumnIndexOfField(u"MoneyUser"_s)).Width, 140);
    QVERIFY(!g->Column(g->ColumnIndexOfField(u"MoneyClerk"_s)).Visible);
    QCOMPARE(g->Marker(g->ColumnIndexOfField(u"MoneyDate"_s)), TReportGrid::MarkerNone);
    QCOMPARE(next.ADOQueryMoneyReport.sortOrder(), QString());
}

QTEST_MAIN(TestMoneyReport)
#include "tst_moneyreport.moc"
