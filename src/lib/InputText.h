#pragma once

#include <QChar>
#include <QString>

// Text rules behind the input controls: the pinyin initials the customer pop-up matches on,
// the amount picked up from a remark, and what the amount input lets in and shows.
namespace InputText {

// Upper-case pinyin initial of every first-level GB2312 character of Text (by its
// area-position code); other Chinese characters and GB2312 symbols give nothing, and every
// character that is not a two-byte GB2312 character is copied as it is. "张三 Trade" -> "ZS Trade".
QString PinyinInitials(const QString &text);

// What a remark asks of the amount input.
struct RemarkAmountResult
{
    enum class Action {
        Keep, // the remark does not end with "$" or "￥": leave the amount alone
        Clear, // the remark ends so but holds no pieces ("$"): empty the amount input
        Set // put Value into the amount input
    };
    Action action = Action::Keep;
    double value = 0;
};

// The sum of the amounts in a remark that ends with "$" or "￥": pieces split at spaces, "$"
// and commas (also "，"), each reduced to its digits and points; a piece that does not read as
// a number counts 0. "午餐12.5，打车30$" -> Set 42.5.
RemarkAmountResult RemarkAmount(const QString &remark);

// Whether the amount input takes a typed character: the control characters 7, 8 and 9, a
// digit, and "." while CurrentText has none.
bool AcceptsNumberKey(const QString &currentText, QChar key);

// Only the ASCII digits and points of Text.
QString DigitsAndPoints(const QString &text);

// The digits of Text and its first point: what pasted text leaves in the amount input.
QString CleanNumberText(const QString &text);

// The number formed by Text's digits and points; 0 when there is none, or when it does not
// read as a number (a lone ".", "1.2.3").
double NumberValue(const QString &text);

// Value as plain text, as a user would type it: no grouping, no exponent, no trailing zeros,
// at most 15 significant digits ("15.5", "0.3" for 0.1 + 0.2). Empty for NaN and infinity.
QString PlainNumber(double value);

// Value shown in a numeric display format made of "#", "0", "," and "." (",#.##", "0.##",
// "#,##0.00"): a "," anywhere before the point groups thousands, "0" places are always shown,
// "#" places only when needed; text before the first and after the last placeholder is kept.
// The integer part always shows at least one digit. An empty format means ",#." followed by
// DecimalPlaces "#". Rounding is half away from zero on the value's decimal digits.
QString FormatNumber(double value, const QString &displayFormat, int decimalPlaces);

} // namespace InputText
