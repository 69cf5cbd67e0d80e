#include "ExportToExcelUnit.h"

#include "RecordSet.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <locale.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace ExportToExcelUnit {

namespace {

constexpr int kMaxColumns = 16384;
constexpr int kMaxSheetRows = 1048576; // the title row included
constexpr int kMaxCellText = 32767;
constexpr int kMaxFontName = 31;
constexpr double kFontSize = 12;
// Integers beyond this lose digits as a spreadsheet number; they are written as text instead.
constexpr qlonglong kExactIntegerLimit = 1LL << 53;

enum class Kind { General, Money, Date, DateTime, Count };

void SetError(QString *error, const QString &message)
{
    if (error)
        *error = message;
}

// libxlsxwriter prints numbers with the C library's "%G", which follows LC_NUMERIC: a decimal
// comma would corrupt the sheet XML, so the C locale is used for this thread while writing.
class CNumericLocale
{
public:
    CNumericLocale()
    {
        if (locale_t current = duplocale(uselocale(nullptr))) {
            m_c = newlocale(LC_NUMERIC_MASK, "C", current);
            if (!m_c)
                freelocale(current);
        }
        if (m_c)
            m_previous = uselocale(m_c);
    }
    ~CNumericLocale()
    {
        if (m_c) {
            uselocale(m_previous);
            freelocale(m_c);
        }
    }
    CNumericLocale(const CNumericLocale &) = delete;
    CNumericLocale &operator=(const CNumericLocale &) = delete;

private:
    locale_t m_c = nullptr;
    locale_t m_previous = nullptr;
};

bool IsWide(char32_t u)
{
    return (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF && u != 0x303F) || (u >= 0xAC00 && u <= 0xD7A3)
        || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60)
        || (u >= 0xFFE0 && u <= 0xFFE6) || (u >= 0x1F300 && u <= 0x1F64F) || (u >= 0x20000 && u <= 0x3FFFD);
}

// Width of the widest line in character cells, a CJK character counting 2.
int TextUnits(const QString &text)
{
    int widest = 0;
    int line = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t u = text.at(i).unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            u = QChar::surrogateToUcs4(text.at(i).unicode(), text.at(i + 1).unicode());
            ++i;
        }
        if (u == U'\n') {
            widest = std::max(widest, line);
            line = 0;
        } else if (u != U'\r') {
            line += IsWide(u) ? 2 : 1;
        }
    }
    return std::max(widest, line);
}

// Only the exact "yyyy-MM-dd" form the program stores dates in.
QDate ParseStoredDate(const QString &text)
{
    if (text.size() != 10 || text.at(4) != u'-' || text.at(7) != u'-')
        return {};
    int parts[3] = { 0, 0, 0 };
    const int starts[3] = { 0, 5, 8 };
    const int lengths[3] = { 4, 2, 2 };
    for (int p = 0; p < 3; ++p) {
        for (int i = starts[p]; i < starts[p] + lengths[p]; ++i) {
            const char16_t ch = text.at(i).unicode();
            if (ch < u'0' || ch > u'9')
                return {};
            parts[p] = parts[p] * 10 + (ch - u'0');
        }
    }
    return QDate(parts[0], parts[1], parts[2]);
}

bool IsInteger(int typeId)
{
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool ExactAsDouble(const QVariant &v)
{
    if (v.typeId() == QMetaType::ULongLong || v.typeId() == QMetaType::ULong)
        return v.toULongLong() <= quint64(kExactIntegerLimit);
    const qlonglong n = v.toLongLong();
    return n >= -kExactIntegerLimit && n <= kExactIntegerLimit;
}

bool IsFloating(int typeId)
{
    return typeId == QMetaType::Double || typeId == QMetaType::Float;
}

// An amount: at most two decimals, so showing two hides nothing.
bool HasAtMostCents(double v)
{
    if (!std::isfinite(v))
        return false;
    const double cents = v * 100.0;
    return std::abs(cents - std::round(cents)) <= 1e-6 * std::max(1.0, std::abs(cents));
}

bool InExcelDateRange(const QDate &d)
{
    return d.isValid() && d.year() >= 1900 && d.year() <= 9999;
}

lxw_datetime ToLxw(const QDate &d, const QTime &t = QTime(0, 0))
{
    lxw_datetime dt {};
    dt.year = d.year();
    dt.month = d.month();
    dt.day = d.day();
    dt.hour = t.hour();
    dt.min = t.minute();
    dt.sec = t.second() + t.msec() / 1000.0;
    return dt;
}

QString CellText(const QString &text)
{
    if (text.size() <= kMaxCellText)
        return text;
    qsizetype cut = kMaxCellText;
    if (text.at(cut - 1).isHighSurrogate())
        --cut;
    return text.left(cut);
}

// How a column is written, decided once over all its values.
struct ColumnPlan
{
    int field = -1;
    Kind numberKind = Kind::General; // Money when the column holds amounts
    bool storedDates = false; // every value is "yyyy-MM-dd" text or a date
    int units = 0; // widest text in character cells
};

ColumnPlan PlanColumn(const TRecordSet &rows, int field)
{
    ColumnPlan plan;
    plan.field = field;
    const int fieldType = rows.field(field).type;
    bool sawFloating = IsFloating(fieldType);
    bool allCents = true;
    bool sawDate = false;
    bool onlyDates = true;
    const int count = rows.recordCount();
    for (int r = 0; r < count; ++r) {
        const QVariant &v = rows.fetchedValue(r, field);
        if (v.isNull())
            continue;
        const int type = v.typeId();
        if (IsFloating(type)) {
            sawFloating = true;
            if (allCents && !HasAtMostCents(v.toDouble()))
                allCents = false;
        }
        if (onlyDates) {
            if (type == QMetaType::QDate || (type == QMetaType::QString && ParseStoredDate(v.toString()).isValid()))
                sawDate = true;
            else
                onlyDates = false;
        }
    }
    plan.numberKind = sawFloating && allCents ? Kind::Money : Kind::General;
    plan.storedDates = sawDate && onlyDates;
    return plan;
}

class SheetWriter
{
public:
    SheetWriter(lxw_workbook *book, lxw_worksheet *sheet, const QByteArray &font)
        : m_sheet(sheet)
    {
        static constexpr std::array<const char *, std::size_t(Kind::Count)> numberFormats
            = { nullptr, "#,##0.00", "yyyy-mm-dd", "yyyy-mm-dd hh:mm:ss" };
        for (std::size_t k = 0; k < numberFormats.size(); ++k) {
            for (int centred = 0; centred < 2; ++centred) {
                lxw_format *f = NewFormat(book, font, centred != 0);
                format_set_border(f, LXW_BORDER_THIN);
                if (numberFormats[k])
                    format_set_num_format(f, numberFormats[k]);
                m_cell[k][std::size_t(centred)] = f;
            }
        }
        m_columnPlain = NewFormat(book, font, false);
        m_columnCentred = NewFormat(book, font, true);
    }

    // The table's columns carry the font and alignment below the table too. Columns past the table
    // are left alone: libxlsxwriter counts a formatted column into the sheet's used range.
    lxw_error formatColumns(const std::vector<ColumnPlan> &plans)
    {
        for (std::size_t c = 0; c < plans.size(); ++c) {
            const double width = std::clamp(plans[c].units * 1.15 + 2.0, 6.0, 60.0);
            const lxw_error err
                = worksheet_set_column(m_sheet, lxw_col_t(c), lxw_col_t(c), width, columnFormat(int(c)));
            if (err != LXW_NO_ERROR)
                return err;
        }
        return LXW_NO_ERROR;
    }

    lxw_error writeText(int row, int col, const QString &text, int *units)
    {
        const QString cell = CellText(text);
        *units = TextUnits(cell);
        if (cell.isEmpty())
            return writeBlank(row, col);
        return worksheet_write_string(
            m_sheet, lxw_row_t(row), lxw_col_t(col), cell.toUtf8().constData(), format(Kind::General, col));
    }

    lxw_error writeBlank(int row, int col)
    {
        return worksheet_write_blank(m_sheet, lxw_row_t(row), lxw_col_t(col), format(Kind::General, col));
    }

    lxw_error writeValue(int row, int col, const QVariant &v, const ColumnPlan &plan, int *units)
    {
        *units = 0;
        if (v.isNull())
            return writeBlank(row, col);
        const int type = v.typeId();
        if (IsInteger(type) || IsFloating(type)) {
            const double d = v.toDouble();
            if (!std::isfinite(d) || (IsInteger(type) && !ExactAsDouble(v)))
                return writeText(row, col, v.toString(), units);
            *units = NumberUnits(d, plan.numberKind);
            return worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(col), d, format(plan.numberKind, col));
        }
        if (type == QMetaType::Bool) {
            *units = 5;
            return worksheet_write_boolean(
                m_sheet, lxw_row_t(row), lxw_col_t(col), v.toBool() ? 1 : 0, format(Kind::General, col));
        }
        if (type == QMetaType::QDate || type == QMetaType::QDateTime || plan.storedDates) {
            const bool withTime = type == QMetaType::QDateTime;
            const QDateTime dt = withTime ? v.toDateTime() : QDateTime();
            const QDate date = withTime    ? dt.date()
                : type == QMetaType::QDate ? v.toDate()
                                           : ParseStoredDate(v.toString());
            if (InExcelDateRange(date)) {
                lxw_datetime when = withTime ? ToLxw(date, dt.time()) : ToLxw(date);
                *units = withTime ? 19 : 10;
                return worksheet_write_datetime(m_sheet, lxw_row_t(row), lxw_col_t(col), &when,
                    format(withTime ? Kind::DateTime : Kind::Date, col));
            }
            if (type != QMetaType::QString && !date.isValid())
                return writeBlank(row, col);
        }
        return writeText(row, col, v.toString(), units);
    }

private:
    static bool IsCentredColumn(int col) { return col == 2 || col == 3; } // C:D

    static lxw_format *NewFormat(lxw_workbook *book, const QByteArray &font, bool centred)
    {
        lxw_format *f = workbook_add_format(book);
        format_set_font_name(f, font.constData());
        format_set_font_size(f, kFontSize);
        format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
        if (centred)
            format_set_align(f, LXW_ALIGN_CENTER);
        return f;
    }

    static int NumberUnits(double d, Kind kind)
    {
        if (kind == Kind::Money) {
            const QString digits = QString::number(std::abs(d), 'f', 2);
            const int integerDigits = int(digits.size()) - 3;
            return int(digits.size()) + (integerDigits - 1) / 3 + (d < 0 ? 1 : 0);
        }
        return std::min(int(QString::number(d, 'g', 10).size()), 11);
    }

    lxw_format *format(Kind kind, int col) const { return m_cell[std::size_t(kind)][IsCentredColumn(col) ? 1 : 0]; }
    lxw_format *columnFormat(int col) const { return IsCentredColumn(col) ? m_columnCentred : m_columnPlain; }

    lxw_worksheet *m_sheet;
    std::array<std::array<lxw_format *, 2>, std::size_t(Kind::Count)> m_cell {};
    lxw_format *m_columnPlain = nullptr;
    lxw_format *m_columnCentred = nullptr;
};

QString LxwMessage(lxw_error err)
{
    return QString::fromUtf8(lxw_strerror(err));
}

} // namespace

QString ExcelColumnName(int column1Based)
{
    if (column1Based < 1 || column1Based > kMaxColumns)
        return {};
    QString name;
    for (int n = column1Based; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

bool ExportRecordSet(const TRecordSet &rows, const QList<ExportColumn> &columns, const QString &fileName,
    QString *error, const QString &fontName)
{
    if (columns.isEmpty()) {
        SetError(error, u"没有要导出的列。"_s);
        return false;
    }
    if (columns.size() > kMaxColumns) {
        SetError(error, u"要导出 %1 列，超过了电子表格最多的 %2 列。"_s.arg(columns.size()).arg(kMaxColumns));
        return false;
    }
    if (rows.recordCount() > kMaxSheetRows - 1) {
        SetError(error,
            u"要导出 %1 行，超过了电子表格最多的 %2 行（含标题行）。"_s.arg(rows.recordCount()).arg(kMaxSheetRows));
        return false;
    }
    QList<int> fields;
    fields.reserve(columns.size());
    for (const ExportColumn &column : columns) {
        fields.append(rows.fieldIndex(column.FieldName));
        if (fields.last() < 0) {
            SetError(error, u"数据中没有字段“%1”。"_s.arg(column.FieldName));
            return false;
        }
    }
    if (fileName.isEmpty()) {
        SetError(error, u"没有指定要写入的文件名。"_s);
        return false;
    }
    const QFileInfo target(fileName);
    const QString shownName = QDir::toNativeSeparators(fileName);
    if (!target.dir().exists()) {
        SetError(error, u"无法写入“%1”：文件夹不存在。"_s.arg(shownName));
        return false;
    }
    if (target.isDir()) {
        SetError(error, u"无法写入“%1”：这是一个文件夹。"_s.arg(shownName));
        return false;
    }
    if (target.exists() && !target.isWritable()) {
        SetError(error, u"无法写入“%1”：文件是只读的。"_s.arg(shownName));
        return false;
    }
    // Written beside the target and renamed over it at the end, so a failed export never leaves a
    // half-written file in place of an older one.
    QTemporaryFile part(target.absolutePath() + u"/.export-XXXXXX.xlsx"_s);
    if (!part.open()) {
        SetError(error, u"无法写入“%1”：%2"_s.arg(shownName, part.errorString()));
        return false;
    }
    part.close();
    // A temporary file is private to its owner; the export is an ordinary document.
    constexpr QFileDevice::Permissions documentPermissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner
        | QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    part.setPermissions(target.exists() ? target.permissions() : documentPermissions);
    const QByteArray partName = QFile::encodeName(part.fileName());

    std::vector<ColumnPlan> plans;
    plans.reserve(std::size_t(fields.size()));
    for (int field : std::as_const(fields))
        plans.push_back(PlanColumn(rows, field));

    const QString font
        = fontName.trimmed().isEmpty() || fontName.size() > kMaxFontName ? u"宋体"_s : fontName.trimmed();

    const CNumericLocale cLocale;
    lxw_workbook *book = workbook_new(partName.constData());
    if (!book) {
        SetError(error, u"无法创建工作簿。"_s);
        return false;
    }
    lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr); // "Sheet1", as Excel names it
    lxw_error err = sheet ? LXW_NO_ERROR : LXW_ERROR_MEMORY_MALLOC_FAILED;
    if (err == LXW_NO_ERROR) {
        SheetWriter writer(book, sheet, font.toUtf8());
        const int columnCount = int(columns.size());
        for (int c = 0; c < columnCount && err == LXW_NO_ERROR; ++c) {
            int units = 0;
            err = writer.writeText(0, c, columns.at(c).Title, &units);
            plans[std::size_t(c)].units = units;
        }
        const int rowCount = rows.recordCount();
        for (int r = 0; r < rowCount && err == LXW_NO_ERROR; ++r) {
            for (int c = 0; c < columnCount && err == LXW_NO_ERROR; ++c) {
                ColumnPlan &plan = plans[std::size_t(c)];
                int units = 0;
                err = writer.writeValue(r + 1, c, rows.fetchedValue(r, plan.field), plan, &units);
                plan.units = std::max(plan.units, units);
            }
        }
        if (err == LXW_NO_ERROR)
            err = writer.formatColumns(plans);
    }
    // Closing also frees the workbook, so it happens even after a failed write.
    const lxw_error closed = workbook_close(book);
    if (err == LXW_NO_ERROR)
        err = closed;
    if (err != LXW_NO_ERROR) {
        SetError(error, u"无法写入“%1”：%2"_s.arg(shownName, LxwMessage(err)));
        return false;
    }
    if (std::rename(partName.constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        SetError(error, u"无法写入“%1”：%2"_s.arg(shownName, qt_error_string(errno)));
        return false;
    }
    part.setAutoRemove(false);
    if (error)
        error->clear();
    return true;
}

} // namespace ExportToExcelUnit
