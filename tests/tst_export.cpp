#include "ExportToExcelUnit.h"
#include "RecordSet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <clocale>

using namespace Qt::StringLiterals;
using namespace ExportToExcelUnit;

namespace {

// An .xlsx is a zip of XML parts; unzip reads one part to stdout.
QByteArray ReadPart(const QString &xlsx, const QString &part)
{
    QProcess unzip;
    unzip.start(u"unzip"_s, { u"-p"_s, xlsx, part });
    if (!unzip.waitForFinished(60000) || unzip.exitCode() != 0)
        return {};
    return unzip.readAllStandardOutput();
}

#define REQUIRE_UNZIP()                                                                                                \
    do {                                                                                                               \
        if (QStandardPaths::findExecutable(u"unzip"_s).isEmpty())                                                      \
            QSKIP("unzip is needed to read the workbook back");                                                        \
    } while (false)

struct Cell
{
    QString type; // the t attribute: "s" shared string, "b" boolean, empty for a number
    QString value; // <v>, a shared string already resolved
    bool hasValue = false;
    bool hasFormula = false;
    int style = 0;
};

struct Xf
{
    int numFmt = 0;
    int font = 0;
    int border = 0;
    QString horizontal;
    QString vertical;
};

struct Font
{
    QString name;
    QString size;
};

struct Column
{
    int min = 0;
    int max = 0;
    double width = 0;
    int style = 0;
};

struct Workbook
{
    QString sheetName;
    QString dimension;
    QHash<QString, Cell> cells;
    QList<Column> columns;
    QList<Xf> xfs;
    QList<Font> fonts;
    QList<QStringList> borders; // left, right, top, bottom styles
    QHash<int, QString> numFmts;

    bool load(const QString &xlsx);
    const Xf &xfOf(const QString &ref) const { return xfs.at(cells.value(ref).style); }
    QString numFmtOf(const QString &ref) const { return numFmts.value(xfOf(ref).numFmt); }
    const Column *column(int col1Based) const
    {
        for (const Column &c : columns)
            if (col1Based >= c.min && col1Based <= c.max)
                return &c;
        return nullptr;
    }
};

QStringList ParseSharedStrings(const QByteArray &xml)
{
    QStringList strings;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        if (r.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (r.name() == u"si")
            strings.append(QString());
        else if (r.name() == u"t" && !strings.isEmpty())
            strings.last() += r.readElementText();
    }
    return strings;
}

bool Workbook::load(const QString &xlsx)
{
    const QByteArray sheetXml = ReadPart(xlsx, u"xl/worksheets/sheet1.xml"_s);
    const QByteArray stylesXml = ReadPart(xlsx, u"xl/styles.xml"_s);
    const QByteArray bookXml = ReadPart(xlsx, u"xl/workbook.xml"_s);
    if (sheetXml.isEmpty() || stylesXml.isEmpty() || bookXml.isEmpty())
        return false;
    const QStringList strings = ParseSharedStrings(ReadPart(xlsx, u"xl/sharedStrings.xml"_s));

    QXmlStreamReader book(bookXml);
    while (!book.atEnd()) {
        if (book.readNext() == QXmlStreamReader::StartElement && book.name() == u"sheet" && sheetName.isEmpty())
            sheetName = book.attributes().value(u"name"_s).toString();
    }

    QXmlStreamReader sheet(sheetXml);
    QString current;
    while (!sheet.atEnd()) {
        if (sheet.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = sheet.attributes();
        if (sheet.name() == u"dimension") {
            dimension = a.value(u"ref"_s).toString();
        } else if (sheet.name() == u"col") {
            columns.append({ a.value(u"min"_s).toInt(), a.value(u"max"_s).toInt(), a.value(u"width"_s).toDouble(),
                a.value(u"style"_s).toInt() });
        } else if (sheet.name() == u"c") {
            current = a.value(u"r"_s).toString();
            Cell &c = cells[current];
            c.type = a.value(u"t"_s).toString();
            c.style = a.value(u"s"_s).toInt();
        } else if (sheet.name() == u"f") {
            cells[current].hasFormula = true;
        } else if (sheet.name() == u"v") {
            Cell &c = cells[current];
            c.hasValue = true;
            c.value = sheet.readElementText();
            if (c.type == u"s")
                c.value = strings.value(c.value.toInt());
        }
    }
    if (sheet.hasError())
        return false;

    numFmts = { { 0, u"General"_s }, { 4, u"#,##0.00"_s }, { 14, u"m/d/yyyy"_s } };
    QXmlStreamReader styles(stylesXml);
    QString section;
    while (!styles.atEnd()) {
        const QXmlStreamReader::TokenType token = styles.readNext();
        if (token == QXmlStreamReader::EndElement && styles.name() == section)
            section.clear();
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = styles.attributes();
        const QStringView name = styles.name();
        if (name == u"numFmts" || name == u"fonts" || name == u"borders" || name == u"cellXfs"
            || name == u"cellStyleXfs")
            section = name.toString();
        else if (name == u"numFmt")
            numFmts.insert(a.value(u"numFmtId"_s).toInt(), a.value(u"formatCode"_s).toString());
        else if (section == u"fonts" && name == u"font")
            fonts.append(Font());
        else if (section == u"fonts" && name == u"name")
            fonts.last().name = a.value(u"val"_s).toString();
        else if (section == u"fonts" && name == u"sz")
            fonts.last().size = a.value(u"val"_s).toString();
        else if (section == u"borders" && name == u"border")
            borders.append({ QString(), QString(), QString(), QString() });
        else if (section == u"borders"
            && (name == u"left" || name == u"right" || name == u"top" || name == u"bottom")) {
            const int side = int(QStringList { u"left"_s, u"right"_s, u"top"_s, u"bottom"_s }.indexOf(name.toString()));
            borders.last()[side] = a.value(u"style"_s).toString();
        } else if (section == u"cellXfs" && name == u"xf")
            xfs.append({ a.value(u"numFmtId"_s).toInt(), a.value(u"fontId"_s).toInt(), a.value(u"borderId"_s).toInt(),
                {}, {} });
        else if (section == u"cellXfs" && name == u"alignment") {
            xfs.last().horizontal = a.value(u"horizontal"_s).toString();
            xfs.last().vertical = a.value(u"vertical"_s).toString();
        }
    }
    return !styles.hasError() && !xfs.isEmpty();
}

// A cash journal as a statement returns it; the remark column is one the grid hides.
TRecordSet Journal()
{
    TRecordSet rows;
    rows.setFields({ { u"MoneyIndex"_s, QMetaType::LongLong, true }, { u"MoneySerial"_s, QMetaType::QString, false },
        { u"MoneyDate"_s, QMetaType::QString, false }, { u"MoneyUser"_s, QMetaType::QString, false },
        { u"MoneySum"_s, QMetaType::Double, false }, { u"MoneyRemark"_s, QMetaType::QString, false } });
    const double sums[12] = { 120.5, 3000, 18.25, 999999.99, 0.1, 45, 7.5, 100000, 66.66, 12, 250.75, 1 };
    for (int i = 0; i < 12; ++i) {
        const QVariant user = i == 4 ? QVariant() : QVariant(u"广州青柚%1号"_s.arg(i + 1));
        // Integral amounts come back as integers from the database, like SQLite does.
        const QVariant sum = sums[i] == double(qlonglong(sums[i])) ? QVariant(qlonglong(sums[i])) : QVariant(sums[i]);
        rows.appendRow({ qlonglong(100 + i), u"%1"_s.arg(i + 1, 3, 10, QChar(u'0')),
            QDate(2024, 1, 5).addDays(i).toString(u"yyyy-MM-dd"_s), user, sum, u"备注"_s });
    }
    return rows;
}

const QList<ExportColumn> kJournalColumns = { { u"MoneySerial"_s, u"凭证号"_s }, { u"MoneyDate"_s, u"日期"_s },
    { u"MoneyUser"_s, u"客户名称"_s }, { u"MoneySum"_s, u"财务收支|收入"_s }, { u"MoneyIndex"_s, u"序号"_s } };

QString Ref(int col1Based, int row)
{
    return ExcelColumnName(col1Based) + QString::number(row);
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void columnNames_data();
    void columnNames();
    void journalSheet();
    void cellFormatting();
    void cellValues_data();
    void cellValues();
    void columnWidths();
    void fontName_data();
    void fontName();
    void columnsBeyondIV();
    void replacesExistingFile();
    void keepsReadOnlyFile();
    void titleRowOnly();
    void errors_data();
    void errors();
    void tooManyRows();
    void decimalCommaLocale();
    void largeExport();

private:
    QTemporaryDir m_dir;
};

void TestExport::columnNames_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("name");
    QTest::newRow("first") << 1 << u"A"_s;
    QTest::newRow("last single letter") << 26 << u"Z"_s;
    QTest::newRow("first double") << 27 << u"AA"_s;
    QTest::newRow("AZ") << 52 << u"AZ"_s;
    QTest::newRow("BA") << 53 << u"BA"_s;
    QTest::newRow("old sheet limit") << 256 << u"IV"_s;
    QTest::newRow("past old limit") << 257 << u"IW"_s;
    QTest::newRow("last double") << 702 << u"ZZ"_s;
    QTest::newRow("first triple") << 703 << u"AAA"_s;
    QTest::newRow("xlsx limit") << 16384 << u"XFD"_s;
    QTest::newRow("zero") << 0 << QString();
    QTest::newRow("negative") << -1 << QString();
    QTest::newRow("past xlsx limit") << 16385 << QString();
}

void TestExport::columnNames()
{
    QFETCH(int, column);
    QFETCH(QString, name);
    QCOMPARE(ExcelColumnName(column), name);
}

void TestExport::journalSheet()
{
    REQUIRE_UNZIP();
    TRecordSet rows = Journal();
    QVERIFY(rows.sort(u"MoneySum DESC"_s)); // the grid's click-sort must not reach the sheet
    const QString file = m_dir.filePath(u"journal.xlsx"_s);
    QString error;
    QVERIFY2(ExportRecordSet(rows, kJournalColumns, file, &error), qPrintable(error));
    QVERIFY(error.isEmpty());

    Workbook book;
    QVERIFY(book.load(file));
    QCOMPARE(book.sheetName, u"Sheet1"_s);
    QCOMPARE(book.dimension, u"A1:E13"_s);
    for (int c = 0; c < kJournalColumns.size(); ++c) {
        const Cell title = book.cells.value(Ref(c + 1, 1));
        QCOMPARE(title.type, u"s"_s);
        QCOMPARE(title.value, kJournalColumns.at(c).Title);
    }
    for (int r = 0; r < 12; ++r) {
        const Cell serial = book.cells.value(Ref(1, r + 2));
        QCOMPARE(serial.type, u"s"_s); // "001" stays text
        QCOMPARE(serial.value, u"%1"_s.arg(r + 1, 3, 10, QChar(u'0')));
        QCOMPARE(book.cells.value(Ref(5, r + 2)).value, QString::number(100 + r));
        QCOMPARE(book.cells.value(Ref(2, r + 2)).value, QString::number(45296 + r)); // 2024-01-05 onwards
    }
    // Fetched values, numbers as numbers with their full value.
    const Cell amount = book.cells.value(u"D5"_s);
    QVERIFY(amount.type.isEmpty());
    QCOMPARE(amount.value.toDouble(), 999999.99);
    QCOMPARE(book.cells.value(u"D6"_s).value.toDouble(), 0.1);
    QCOMPARE(book.cells.value(u"D3"_s).value, u"3000"_s);
    // The hidden remark is not exported; the null customer is an empty cell that still has its border.
    for (auto it = book.cells.cbegin(); it != book.cells.cend(); ++it)
        QVERIFY2(it.key().front() <= u'E', qPrintable(it.key()));
    const Cell noUser = book.cells.value(u"C6"_s);
    QVERIFY(book.cells.contains(u"C6"_s));
    QVERIFY(!noUser.hasValue);
    QCOMPARE(book.borders.at(book.xfOf(u"C6"_s).border), QStringList(4, u"thin"_s));
}

void TestExport::cellFormatting()
{
    REQUIRE_UNZIP();
    const QString file = m_dir.filePath(u"format.xlsx"_s);
    QVERIFY(ExportRecordSet(Journal(), kJournalColumns, file));
    Workbook book;
    QVERIFY(book.load(file));

    for (int row = 1; row <= 13; ++row) {
        for (int col = 1; col <= 5; ++col) {
            const QString ref = Ref(col, row);
            QVERIFY2(book.cells.contains(ref), qPrintable(ref));
            const Xf &xf = book.xfOf(ref);
            QCOMPARE(book.fonts.at(xf.font).name, u"宋体"_s);
            QCOMPARE(book.fonts.at(xf.font).size, u"12"_s);
            QCOMPARE(xf.vertical, u"center"_s);
            QCOMPARE(xf.horizontal, col == 3 || col == 4 ? u"center"_s : QString());
            QCOMPARE(book.borders.at(xf.border), QStringList(4, u"thin"_s));
        }
    }
    QCOMPARE(book.numFmtOf(u"B2"_s), u"yyyy-mm-dd"_s);
    QCOMPARE(book.numFmtOf(u"D2"_s), u"#,##0.00"_s);
    QCOMPARE(book.numFmtOf(u"D3"_s), u"#,##0.00"_s); // an integral amount in the same column
    QCOMPARE(book.numFmtOf(u"E2"_s), u"General"_s);

    // Below the table its columns keep the font, and C:D stay centred.
    for (int col = 1; col <= 5; ++col) {
        const Column *c = book.column(col);
        QVERIFY2(c && c->min == col && c->max == col, qPrintable(ExcelColumnName(col)));
        const Xf &xf = book.xfs.at(c->style);
        QCOMPARE(book.fonts.at(xf.font).name, u"宋体"_s);
        QCOMPARE(book.fonts.at(xf.font).size, u"12"_s);
        QCOMPARE(xf.vertical, u"center"_s);
        QCOMPARE(xf.horizontal, col == 3 || col == 4 ? u"center"_s : QString());
        QCOMPARE(book.borders.value(xf.border, QStringList(4, QString())), QStringList(4, QString()));
    }
}

void TestExport::cellValues_data()
{
    QTest::addColumn<int>("fieldType");
    QTest::addColumn<QVariantList>("values"); // one column; the first value is checked in A2
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("numFmt");

    const int text = QMetaType::QString;
    const int real = QMetaType::Double;
    const int integer = QMetaType::LongLong;
    QTest::newRow("integer") << integer << QVariantList { qlonglong(42), qlonglong(-7) } << QString() << u"42"_s
                             << u"General"_s;
    QTest::newRow("amount") << real << QVariantList { 1234.5, 0.01 } << QString() << u"1234.5"_s << u"#,##0.00"_s;
    QTest::newRow("finer than cents keeps General")
        << real << QVariantList { 3.14159, 2.5 } << QString() << u"3.14159"_s << u"General"_s;
    QTest::newRow("serial text") << text << QVariantList { u"001"_s } << u"s"_s << u"001"_s << u"General"_s;
    QTest::newRow("stored date") << text << QVariantList { u"2024-02-29"_s, QVariant() } << QString() << u"45351"_s
                                 << u"yyyy-mm-dd"_s;
    QTest::newRow("date value") << int(QMetaType::QDate) << QVariantList { QDate(2024, 1, 5) } << QString()
                                << u"45296"_s << u"yyyy-mm-dd"_s;
    QTest::newRow("date and datetime") << int(QMetaType::QDateTime)
                                       << QVariantList { QDateTime(QDate(2024, 1, 5), QTime(12, 0)) } << QString()
                                       << u"45296.5"_s << u"yyyy-mm-dd hh:mm:ss"_s;
    QTest::newRow("date text among other text")
        << text << QVariantList { u"2024-01-05"_s, u"备注"_s } << u"s"_s << u"2024-01-05"_s << u"General"_s;
    QTest::newRow("not a real date") << text << QVariantList { u"2024-02-30"_s } << u"s"_s << u"2024-02-30"_s
                                     << u"General"_s;
    QTest::newRow("date before 1900") << text << QVariantList { u"1899-12-31"_s } << u"s"_s << u"1899-12-31"_s
                                      << u"General"_s;
    QTest::newRow("integer beyond double precision")
        << integer << QVariantList { qlonglong(9007199254740993LL) } << u"s"_s << u"9007199254740993"_s << u"General"_s;
    QTest::newRow("boolean") << int(QMetaType::Bool) << QVariantList { true } << u"b"_s << u"1"_s << u"General"_s;
    QTest::newRow("null") << text << QVariantList { QVariant(), u"x"_s } << QString() << QString() << u"General"_s;
    QTest::newRow("formula-like text") << text << QVariantList { u"=1+1"_s } << u"s"_s << u"=1+1"_s << u"General"_s;
    QTest::newRow("over-long text is cut to the cell limit")
        << text << QVariantList { QString(40000, u'账') } << u"s"_s << QString(32767, u'账') << u"General"_s;
}

void TestExport::cellValues()
{
    REQUIRE_UNZIP();
    QFETCH(int, fieldType);
    QFETCH(QVariantList, values);
    QFETCH(QString, type);
    QFETCH(QString, value);
    QFETCH(QString, numFmt);

    TRecordSet rows;
    rows.setFields({ { u"F"_s, QMetaType::Type(fieldType), false } });
    for (const QVariant &v : values)
        rows.appendRow({ v });
    const QString file = m_dir.filePath(u"values.xlsx"_s);
    QString error;
    QVERIFY2(ExportRecordSet(rows, { { u"F"_s, u"值"_s } }, file, &error), qPrintable(error));
    Workbook book;
    QVERIFY(book.load(file));
    const Cell cell = book.cells.value(u"A2"_s);
    QCOMPARE(cell.type, type);
    QCOMPARE(cell.hasValue, !value.isEmpty());
    QCOMPARE(cell.value, value);
    QVERIFY(!cell.hasFormula);
    QCOMPARE(book.numFmtOf(u"A2"_s), numFmt);
}

void TestExport::columnWidths()
{
    REQUIRE_UNZIP();
    TRecordSet rows;
    rows.setFields({ { u"Wide"_s, QMetaType::QString, false }, { u"Ascii"_s, QMetaType::QString, false },
        { u"Short"_s, QMetaType::QString, false }, { u"Title"_s, QMetaType::LongLong, false } });
    rows.appendRow({ u"广州青柚科技有限公司"_s, u"abcdefghijklmnopqrst"_s, u"abcdefghij"_s, qlonglong(1) });
    const QString file = m_dir.filePath(u"widths.xlsx"_s);
    QVERIFY(ExportRecordSet(rows,
        { { u"Wide"_s, u"A"_s }, { u"Ascii"_s, u"B"_s }, { u"Short"_s, u"C"_s }, { u"Title"_s, u"财务收支|收入"_s } },
        file));
    Workbook book;
    QVERIFY(book.load(file));
    const double cjk = book.column(1)->width;
    const double ascii = book.column(2)->width;
    const double shortText = book.column(3)->width;
    const double title = book.column(4)->width;
    QCOMPARE(cjk, ascii); // ten CJK characters take the room of twenty narrow ones
    QVERIFY(shortText < ascii);
    QVERIFY(shortText > 10);
    QVERIFY(title > shortText); // the title counts, not only the one-digit values
}

void TestExport::fontName_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("written");
    QTest::newRow("default") << u"宋体"_s << u"宋体"_s;
    QTest::newRow("configured") << u"Noto Serif CJK SC"_s << u"Noto Serif CJK SC"_s;
    QTest::newRow("empty falls back") << QString() << u"宋体"_s;
}

void TestExport::fontName()
{
    REQUIRE_UNZIP();
    QFETCH(QString, font);
    QFETCH(QString, written);
    const QString file = m_dir.filePath(u"font.xlsx"_s);
    QVERIFY(ExportRecordSet(Journal(), kJournalColumns, file, nullptr, font));
    Workbook book;
    QVERIFY(book.load(file));
    QCOMPARE(book.fonts.at(book.xfOf(u"A1"_s).font).name, written);
    QCOMPARE(book.fonts.at(book.xfOf(u"D13"_s).font).name, written);
}

void TestExport::columnsBeyondIV()
{
    REQUIRE_UNZIP();
    TRecordSet rows;
    rows.setFields({ { u"F"_s, QMetaType::LongLong, false } });
    rows.appendRow({ qlonglong(7) });
    // The same field under every column of the sheet, up to the last one.
    QList<ExportColumn> columns;
    for (int c = 1; c <= 16384; ++c)
        columns.append({ u"F"_s, u"列%1"_s.arg(c) });
    const QString file = m_dir.filePath(u"wide.xlsx"_s);
    QString error;
    QVERIFY2(ExportRecordSet(rows, columns, file, &error), qPrintable(error));
    Workbook book;
    QVERIFY(book.load(file));
    QCOMPARE(book.dimension, u"A1:XFD2"_s);
    QCOMPARE(book.cells.value(u"IW1"_s).value, u"列257"_s);
    QCOMPARE(book.cells.value(u"XFD1"_s).value, u"列16384"_s);
    QCOMPARE(book.cells.value(u"XFD2"_s).value, u"7"_s);
    QCOMPARE(book.borders.at(book.xfOf(u"XFD2"_s).border), QStringList(4, u"thin"_s));

    columns.append({ u"F"_s, u"列16385"_s });
    QVERIFY(!ExportRecordSet(rows, columns, file, &error));
    QVERIFY(error.contains(u"16384"_s));
}

void TestExport::replacesExistingFile()
{
    REQUIRE_UNZIP();
    QTemporaryDir dir;
    const QString file = dir.filePath(u"导出.xlsx"_s);
    {
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    QVERIFY(ExportRecordSet(Journal(), kJournalColumns, file));
    Workbook book;
    QVERIFY(book.load(file));
    QCOMPARE(book.dimension, u"A1:E13"_s);
    // Nothing left behind beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { u"导出.xlsx"_s });
    QVERIFY(QFile::permissions(file) & QFileDevice::ReadOther);
}

// A file the user made read-only is not replaced behind their back.
void TestExport::keepsReadOnlyFile()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"只读.xlsx"_s);
    {
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadUser));
    if (QFileInfo(file).isWritable())
        QSKIP("running with rights that ignore file permissions");
    QString error;
    QVERIFY(!ExportRecordSet(Journal(), kJournalColumns, file, &error));
    QVERIFY2(error.contains(u"只读"_s), qPrintable(error));
    QFile old(file);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), "old"_ba);
}

void TestExport::titleRowOnly()
{
    REQUIRE_UNZIP();
    TRecordSet empty;
    empty.setFields({ { u"MoneySerial"_s, QMetaType::QString, false }, { u"MoneySum"_s, QMetaType::Double, false } });
    const QString file = m_dir.filePath(u"empty.xlsx"_s);
    QVERIFY(ExportRecordSet(empty, { { u"MoneySerial"_s, u"凭证号"_s }, { u"MoneySum"_s, u"金额"_s } }, file));
    Workbook book;
    QVERIFY(book.load(file));
    QCOMPARE(book.dimension, u"A1:B1"_s);
    QCOMPARE(book.cells.value(u"B1"_s).value, u"金额"_s);
}

void TestExport::errors_data()
{
    QTest::addColumn<QList<ExportColumn>>("columns");
    QTest::addColumn<QString>("target"); // relative to a fresh folder
    QTest::addColumn<QString>("message");

    QTest::newRow("no columns") << QList<ExportColumn>() << u"out.xlsx"_s << u"列"_s;
    QTest::newRow("unknown field") << QList<ExportColumn> { { u"MoneySerial"_s, u"凭证号"_s },
        { u"NoSuch"_s, u"无"_s } } << u"out.xlsx"_s
                                   << u"NoSuch"_s;
    QTest::newRow("folder does not exist") << kJournalColumns << u"missing/out.xlsx"_s << u"missing"_s;
    QTest::newRow("target is a folder") << kJournalColumns << u"sub"_s << u"sub"_s;
    QTest::newRow("empty file name") << kJournalColumns << QString() << u"文件名"_s;
}

void TestExport::errors()
{
    QFETCH(QList<ExportColumn>, columns);
    QFETCH(QString, target);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"sub"_s));
    const QString file = target.isEmpty() ? QString() : dir.filePath(target);
    QString error;
    QVERIFY(!ExportRecordSet(Journal(), columns, file, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestExport::tooManyRows()
{
    TRecordSet rows;
    rows.setFields({ { u"F"_s, QMetaType::LongLong, false } });
    for (int r = 0; r < 1048576; ++r) // one more than fits under the title row
        rows.appendRow({ QVariant() });
    QTemporaryDir dir;
    QString error;
    QVERIFY(!ExportRecordSet(rows, { { u"F"_s, u"值"_s } }, dir.filePath(u"rows.xlsx"_s), &error));
    QVERIFY2(error.contains(u"1048576"_s), qPrintable(error));
    QVERIFY(!QFile::exists(dir.filePath(u"rows.xlsx"_s)));
}

// Numbers are written by the C library; a decimal comma in the user's locale must not reach the XML.
void TestExport::decimalCommaLocale()
{
    REQUIRE_UNZIP();
    const QByteArray previous = std::setlocale(LC_NUMERIC, nullptr);
    const char *found = nullptr;
    for (const char *name : { "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8", "nl_NL.UTF-8" }) {
        if (std::setlocale(LC_NUMERIC, name)) {
            found = name;
            break;
        }
    }
    if (!found)
        QSKIP("no locale with a decimal comma is installed");
    TRecordSet rows;
    rows.setFields({ { u"F"_s, QMetaType::Double, false } });
    rows.appendRow({ 1234.5 });
    const QString file = m_dir.filePath(u"locale.xlsx"_s);
    const bool ok = ExportRecordSet(rows, { { u"F"_s, u"金额"_s }, { u"F"_s, u"金额"_s } }, file);
    std::setlocale(LC_NUMERIC, previous.constData());
    QVERIFY(ok);
    Workbook book;
    QVERIFY(book.load(file));
    QCOMPARE(book.cells.value(u"A2"_s).value, u"1234.5"_s);
    const Column *c = book.column(1);
    QVERIFY(c && c->width > 6);
}

// A large result in one go: nothing in the export may grow faster than the rows.
void TestExport::largeExport()
{
    REQUIRE_UNZIP();
    constexpr int kRows = 100000;
    constexpr int kFields = 12;
    TRecordSet rows;
    QList<TRecordSet::Field> fields;
    QList<ExportColumn> columns;
    for (int f = 0; f < kFields; ++f) {
        const QMetaType::Type type = f % 4 == 0 ? QMetaType::LongLong
            : f % 4 == 1                        ? QMetaType::Double
                                                : QMetaType::QString;
        fields.append({ u"F%1"_s.arg(f), type, false });
        columns.append({ u"F%1"_s.arg(f), u"标题%1"_s.arg(f) });
    }
    rows.setFields(fields);
    const QDate start(2020, 1, 1);
    for (int r = 0; r < kRows; ++r) {
        QVariantList values;
        for (int f = 0; f < kFields; ++f) {
            switch (f % 4) {
            case 0:
                values.append(qlonglong(r));
                break;
            case 1:
                values.append(r * 0.25);
                break;
            case 2:
                values.append(start.addDays(r % 3000).toString(u"yyyy-MM-dd"_s));
                break;
            default:
                values.append(u"客户%1"_s.arg(r % 500));
                break;
            }
        }
        rows.appendRow(values);
    }
    QVERIFY(rows.sort(u"F0 DESC"_s));
    const QString file = m_dir.filePath(u"large.xlsx"_s);
    QString error;
    QVERIFY2(ExportRecordSet(rows, columns, file, &error), qPrintable(error));

    const QByteArray sheet = ReadPart(file, u"xl/worksheets/sheet1.xml"_s);
    QVERIFY(sheet.contains(R"(<dimension ref="A1:L100001"/>)"));
    QVERIFY(sheet.contains(R"(<c r="A2" s=)"));
    const qsizetype last = sheet.lastIndexOf(R"(<c r="A100001")");
    QVERIFY(last > 0);
    QVERIFY(sheet.mid(last, 60).contains("<v>99999</v>"));
}

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
