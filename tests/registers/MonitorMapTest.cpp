#include "registers/MonitorMap.h"

#include <gtest/gtest.h>

#include <set>

#include "registers/ClockValue.h"
#include "support/QtPrinters.h"

namespace kelvra {
namespace {

const QChar kComma(QLatin1Char(','));
const QChar kPoint(QLatin1Char('.'));

const BaseRow& Row(const char* mnemonic) {
    for (const BaseRow& row : BaseRows)
        if (qstrcmp(row.mnemonic, mnemonic) == 0)
            return row;
    ADD_FAILURE() << "no row " << mnemonic;
    return BaseRows[0];
}

void Put32(MonitorImage& image, int reg, std::uint32_t value) {
    image[reg] = static_cast<std::uint16_t>(value & 0xFFFF);
    image[reg + 1] = static_cast<std::uint16_t>(value >> 16);
}

TEST(MonitorMap, RowsAreInRegisterOrderAndSkipFillers) {
    std::set<int> used;
    int previous = -1;
    for (std::size_t i = 0; i < BaseRows.size(); ++i) {
        const BaseRow& row = BaseRows[i];
        EXPECT_EQ(row.row, static_cast<int>(i) + 1);
        EXPECT_GT(row.reg, previous);
        if (IsPair(row.type)) {
            EXPECT_EQ(row.reg % 2, 0) << row.mnemonic;
        }
        used.insert(row.reg);
        if (IsPair(row.type))
            used.insert(row.reg + 1);
        previous = row.reg;
    }
    // Every register of the base block has a row, except the two fillers.
    for (int r = 0; r < reg::kBaseBlockWords; ++r)
        EXPECT_EQ(used.count(r) == 0, r == 3 || r == 25) << "register " << r;
    EXPECT_EQ(BaseRowOfRegister(3), nullptr);
    EXPECT_EQ(BaseRowOfRegister(25), nullptr);
    EXPECT_STREQ(BaseRowOfRegister(reg::RTC_Time_Value)->mnemonic, "RTC_Time_Value");
}

struct ValueCase {
    const char* name;
    friend void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.name; }
    const char* mnemonic;
    std::uint32_t value;  // written as a 16-bit word or a pair by the row's type
    const char* raw;
    const char* converted;
};

class BaseValueTexts : public ::testing::TestWithParam<ValueCase> {};

TEST_P(BaseValueTexts, BothModes) {
    const ValueCase& c = GetParam();
    const BaseRow& row = Row(c.mnemonic);
    MonitorImage image{};
    if (IsPair(row.type))
        Put32(image, row.reg, c.value);
    else
        image[row.reg] = static_cast<std::uint16_t>(c.value);
    EXPECT_EQ(BaseValueText(row, image, ValueMode::Raw, kPoint), QString::fromUtf8(c.raw));
    EXPECT_EQ(BaseValueText(row, image, ValueMode::Converted, kPoint),
              QString::fromUtf8(c.converted));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BaseValueTexts,
    ::testing::Values(
        ValueCase{"NegativeCurrent", "Pack_Current", 0xFFFFFC18u, "-1000", "-1"},
        ValueCase{"DesignCapacity", "Design_Capacity", 100000, "100000", "100"},
        ValueCase{"PackVoltageSixDigits", "Pack_Voltage_Sum", 53125, "53125", "53.125"},
        ValueCase{"PackVoltageRounded", "Pack_Voltage_Sum", 1234567, "1234567", "1234.57"},
        ValueCase{"CellVoltageAverage", "Cell_Voltage_Average", 3321, "3321", "3.321"},
        ValueCase{"AmbientNotConnected", "Temperature_Ambient", 0xFC18u, "NC", "NC"},
        ValueCase{"AmbientNegative", "Temperature_Ambient", 0xFFF1u, "-15", "-1.5"},
        ValueCase{"RunTimeHalf", "Run_Time_to_Empty", 90, "90", "1.5"},
        ValueCase{"RunTimeThirds", "Run_Time_to_Empty", 100, "100", "1.667"},
        ValueCase{"FirmwareSmall", "Firmware_Version", 999, "999", "0.999"},
        ValueCase{"FirmwareLarge", "Firmware_Version", 12345, "12345", "12.345"},
        ValueCase{"FirmwareZeros", "Firmware_Version", 1500, "1500", "1.500"},
        ValueCase{"ClockZero", "RTC_Time_Value", 0, "0", "0:0:0 1-1-2000"},
        ValueCase{"NegativeTemperature", "Cell_Temp_Min", 0xFFF6u, "-10", "-10"},
        ValueCase{"NegativeRemaining", "Remaining_Pack_Capacity", 0xFFFFF830u, "-2000", "-2"},
        // A pair with its high bit set prints signed in Raw mode even where the
        // Converted type is unsigned.
        ValueCase{"UnsignedPairHighBit", "Full_Charge_Capacity", 0x80000000u, "-2147483648",
                  "2.147E6"},
        ValueCase{"FlagPairHighBitSameAsRaw", "Safety_Status", 0xFFFFFFFFu, "-1", "-1"},
        ValueCase{"CommandValue", "Command_Value", 0x00010002u, "65538", "65538"},
        ValueCase{"ChargingCurrent", "Charging_Current", 1234, "1234", "12.34"},
        ValueCase{"StateOfCharge", "Relative_State_of_Charge", 87, "87", "87"}),
    [](const ::testing::TestParamInfo<ValueCase>& info) { return std::string(info.param.name); });

TEST(MonitorMap, DecimalSeparatorComesFromCaller) {
    MonitorImage image{};
    image[reg::Cell_Voltage_Max] = 3650;
    EXPECT_EQ(BaseValueText(Row("Cell_Voltage_Max"), image, ValueMode::Converted, kComma),
              QStringLiteral("3,65"));
}

TEST(MonitorMap, UnitTextsFollowValueMode) {
    EXPECT_EQ(BaseUnitText(Row("Design_Capacity"), ValueMode::Raw), QStringLiteral("мА*ч"));
    EXPECT_EQ(BaseUnitText(Row("Design_Capacity"), ValueMode::Converted), QStringLiteral("А*ч"));
    EXPECT_EQ(BaseUnitText(Row("Pack_Current_Leakage"), ValueMode::Converted), QStringLiteral("-"));
    EXPECT_EQ(BaseUnitText(Row("Temperature_Ambient"), ValueMode::Raw),
              QString::fromUtf8("0.1\u00B0\u0421"));  // Cyrillic С
    EXPECT_EQ(BaseUnitText(Row("Cycle_Count"), ValueMode::Converted),
              QStringLiteral("Битовое поле"));
    // The clock's unit is the Latin letter c.
    EXPECT_EQ(BaseUnitText(Row("RTC_Time_Value"), ValueMode::Converted), QStringLiteral("c"));
}

TEST(MonitorMap, NamesFollowNameMode) {
    EXPECT_EQ(RowName(Row("Pack_Voltage_Sum"), NameMode::Russian), QStringLiteral("Напряжение АБ"));
    EXPECT_EQ(RowName(Row("Pack_Voltage_Sum"), NameMode::Mnemonic),
              QStringLiteral("Pack_Voltage_Sum"));
    // The unit's own double space is kept.
    EXPECT_EQ(RowName(Row("Cell_Voltage_Max"), NameMode::Russian),
              QStringLiteral("Максимальное  напряжение элемента АБ"));
}

TEST(MonitorMap, ClockTextHasNoLeadingZeros) {
    const ClockValue value = EncodeClockValue({3, 5, 9, 11, 12, 19});
    MonitorImage image{};
    Put32(image, reg::RTC_Time_Value, value);
    EXPECT_EQ(BaseValueText(Row("RTC_Time_Value"), image, ValueMode::Converted, kPoint),
              QStringLiteral("9:5:3 11-12-2019"));
    EXPECT_EQ(BaseValueText(Row("RTC_Time_Value"), image, ValueMode::Raw, kPoint),
              QString::number(value));
}

TEST(MonitorMap, CellArrays) {
    MonitorImage image{};
    image[49 + 1] = 3321;
    image[49 + 200] = 4000;
    image[249 + 7] = 0xFFFB;  // -5 degrees
    image[449 + 3] = 0x0400;
    EXPECT_EQ(CellVoltageText(image, 1, ValueMode::Converted, kComma), QStringLiteral("3,321"));
    EXPECT_EQ(CellVoltageText(image, 1, ValueMode::Raw, kComma), QStringLiteral("3321"));
    EXPECT_EQ(CellVoltageText(image, 200, ValueMode::Converted, kPoint), QStringLiteral("4"));
    EXPECT_EQ(CellTemperatureText(image, 7), QStringLiteral("-5"));
    EXPECT_EQ(CellStatusWord(image, 3), 0x0400);
    // Cells outside 1..200 read nothing, not a neighbouring array.
    EXPECT_EQ(CellStatusWord(image, 201), 0);
    EXPECT_EQ(CellVoltageText(image, 201, ValueMode::Raw, kPoint), QString());
    EXPECT_EQ(CellTemperatureText(image, 0), QString());
}

}  // namespace
}  // namespace kelvra
