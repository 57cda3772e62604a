#include "registers/FormatGeneral.h"

#include <gtest/gtest.h>

#include "support/QtPrinters.h"

namespace kelvra {
namespace {

struct FormatCase {
    const char* name;
    friend void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }
    double x;
    int digits;
    char separator;
    const char* text;
};

class FormatGeneralCases : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatGeneralCases, Formats) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(FormatGeneral(c.x, c.digits, QLatin1Char(c.separator)), QString::fromUtf8(c.text));
}

INSTANTIATE_TEST_SUITE_P(Cases, FormatGeneralCases,
                         ::testing::Values(
                             // The worked examples.
                             FormatCase{"SixDigits", 1234.567, 6, '.', "1234.57"},
                             FormatCase{"FourDigits", 3.65, 4, '.', "3.65"},
                             FormatCase{"IntegerPartTooLong", 12345.678, 4, '.', "1.235E4"},
                             FormatCase{"SmallestFixed", 0.0001, 4, '.', "0.0001"},
                             FormatCase{"BelowSmallestFixed", 0.00005, 4, '.', "5E-5"},
                             // Rounding that carries into a new digit changes the notation.
                             FormatCase{"CarryToFiveDigits", 9999.5, 4, '.', "1E4"},
                             FormatCase{"JustBelowCarry", 9999.4, 4, '.', "9999"},
                             FormatCase{"CarryFromFiveDigits", 99995, 4, '.', "1E5"},
                             FormatCase{"FiveDigitsRounded", 99994, 4, '.', "9.999E4"},
                             FormatCase{"CarryIntoSmallestFixed", 0.000099996, 4, '.', "0.0001"},
                             FormatCase{"FourDigitInteger", 1000, 4, '.', "1000"},
                             FormatCase{"FiveDigitInteger", 10000, 4, '.', "1E4"},
                             FormatCase{"TrailingZerosDropped", 100, 4, '.', "100"},
                             FormatCase{"HalfAwayFromZero", 2.5, 1, '.', "3"},
                             FormatCase{"NegativeHalfAwayFromZero", -2.5, 1, '.', "-3"},
                             FormatCase{"HalfOfFourDigits", 0.12345, 4, '.', "0.1235"},
                             // Signs and zero.
                             FormatCase{"Zero", 0.0, 4, '.', "0"},
                             FormatCase{"NegativeZero", -0.0, 4, '.', "0"},
                             FormatCase{"NegativeInteger", -1, 6, '.', "-1"},
                             FormatCase{"NegativeFraction", -1.5, 4, '.', "-1.5"},
                             FormatCase{"NegativeScientific", -12345.678, 4, '.', "-1.235E4"},
                             FormatCase{"NegativeTiny", -0.00001234, 4, '.', "-1.234E-5"},
                             FormatCase{"TinyWithDigits", 0.00001234, 4, '.', "1.234E-5"},
                             FormatCase{"LargeSixDigits", 123456789, 6, '.', "1.23457E8"},
                             // Scaled register values whose binary form is not exact.
                             FormatCase{"NinetyMinutes", 90.0 / 60, 4, '.', "1.5"},
                             FormatCase{"HundredMinutes", 100.0 / 60, 4, '.', "1.667"},
                             FormatCase{"Millivolts", 53125 * 0.001, 6, '.', "53.125"},
                             FormatCase{"MillivoltsFourDigits", 3321 * 0.001, 4, '.', "3.321"},
                             // The locale's separator.
                             FormatCase{"CommaFixed", 1.5, 4, ',', "1,5"},
                             FormatCase{"CommaScientific", 12345.678, 4, ',', "1,235E4"},
                             FormatCase{"CommaSmall", 0.0001, 4, ',', "0,0001"}),
                         [](const ::testing::TestParamInfo<FormatCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace kelvra
