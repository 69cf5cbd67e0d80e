#pragma once

#include <QString>

// A number formatted for display: the report grids' cells and footers, the amount input and
// the money figures. Picture formats ("0.##", ",#.##", "#,##0.00", up to three sections
// "pos;neg;zero", quoted literals) and the printf-like "%m", "%.2m" (yuan, grouped), "%n",
// "%f", "%d", "%g". Rounds half away from zero on the decimal digits; never "-0". An empty
// format gives plain decimal text (up to 15 significant digits, no exponent).
QString FormatDisplayNumber(double value, const QString &format);
