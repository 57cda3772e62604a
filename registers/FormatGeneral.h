#pragma once

#include <QChar>
#include <QString>

namespace kelvra {

// The one number-to-text rule for scaled values: x rounded to at most `digits`
// significant digits (half away from zero), written in fixed notation when the
// rounded value's integer part has at most `digits` digits and its magnitude is
// at least 0.0001 (0 is "0"), in scientific notation otherwise ("1.235E4",
// "5E-5": one mantissa digit, the separator and the remaining digits, "E", the
// exponent without plus sign or leading zeros). Trailing zeros after the
// separator, and a separator left without digits, are dropped.
//
// `digits` is 1..15. The value is first taken to 15 significant digits, so the
// binary noise of a scaled integer (90 / 60, 53125 * 0.001) does not decide a
// rounding that the decimal value would not.
QString FormatGeneral(double x, int digits, QChar decimalSeparator);

// The decimal separator of the user's locale, for FormatGeneral's callers.
QChar LocaleDecimalSeparator();

}  // namespace kelvra
