#pragma once

#include <QChar>
#include <QString>
#include <array>
#include <cstdint>

#include "registers/RegisterValue.h"

namespace kelvra {

// Register numbers of the monitoring area, named by the unit's mnemonics.
// Registers 3 and 25 are fillers before a 32-bit pair and have no name.
namespace reg {
constexpr int Design_Capacity = 0;
constexpr int Design_Cell_Number = 2;
constexpr int RESERVED = 4;
constexpr int Firmware_Version = 6;
constexpr int Pack_Voltage_Sum = 8;
constexpr int Pack_Current = 10;
constexpr int Pack_Current_Leakage = 12;
constexpr int Pack_Current_Average = 14;
constexpr int Cell_Voltage_Average = 16;
constexpr int Cell_Voltage_Max = 17;
constexpr int Cell_Voltage_Min = 18;
constexpr int Cell_Temp_Average = 19;
constexpr int Cell_Temp_Max = 20;
constexpr int Cell_Temp_Min = 21;
constexpr int Temperature_Ambient = 22;
constexpr int Relative_State_of_Charge = 23;
constexpr int Absolute_State_of_Charge = 24;
constexpr int Remaining_Pack_Capacity = 26;
constexpr int Full_Charge_Capacity = 28;
constexpr int Run_Time_to_Empty = 30;
constexpr int Average_Time_to_Empty = 31;
constexpr int Average_Time_to_Full = 32;
constexpr int Battery_Mode = 33;
constexpr int Battery_Status = 34;
constexpr int Cycle_Count = 35;
constexpr int Safety_Alert = 36;
constexpr int Safety_Status = 38;
constexpr int Charge_Alert = 40;
constexpr int Charge_Status = 41;
constexpr int DinDout_Status = 42;
constexpr int Charging_Current = 43;
constexpr int Charging_Voltage = 44;
constexpr int Command = 45;
constexpr int Command_Value = 46;
constexpr int RTC_Time_Value = 48;

constexpr int kBaseBlockWords = 50;  // registers 0..49
constexpr int kMaxCells = 200;
constexpr int CellVoltageBase = 50;       // cell k (1-based) at 49 + k
constexpr int CellTemperatureBase = 250;  // cell k at 249 + k
constexpr int CellStatusBase = 450;       // cell k at 449 + k
}  // namespace reg

// How a base-block row turns its value into text in Converted mode.
enum class Conversion {
    Integer,          // the integer with the row's signedness
    SameAsRaw,        // the Raw text (32-bit pairs signed)
    Scaled,           // FormatGeneral(value / divisor, digits)
    FirmwareVersion,  // FirmwareVersionText
    ClockText,        // the date-time text of a ClockValue
};

// One row of the base information grid. Columns: grid row, first register,
// mnemonic, Russian name, type, Raw unit, Converted unit, conversion, divisor
// and significant digits of a scaled value.
struct BaseRow {
    int row;
    int reg;
    const char* mnemonic;
    const char* russian;
    RegType type;
    const char* rawUnit;
    const char* convertedUnit;
    Conversion conversion;
    int divisor;
    int digits;
};

extern const std::array<BaseRow, 35> BaseRows;

// The ambient sensor reports exactly -1000 when it is not connected.
constexpr std::int16_t kAmbientNotConnected = -1000;

QString RowName(const BaseRow& row, NameMode mode);
QString BaseUnitText(const BaseRow& row, ValueMode mode);
QString BaseValueText(const BaseRow& row, const MonitorImage& image, ValueMode mode,
                      QChar decimalSeparator);

// The base row of a register (its first register), or nullptr for fillers and
// registers outside the base block.
const BaseRow* BaseRowOfRegister(int reg);

// v div 1000, ".", then the hundreds, tens and units digits of v: 2013 -> 2.013.
QString FirmwareVersionText(std::uint32_t version);

// "h:m:s d-m-yyyy" without leading zeros: 9:5:3 11-12-2019.
QString ClockDateTimeText(std::uint32_t clockValue);

// Per-cell arrays, cell k = 1..200; other cell numbers give an empty text or 0.
QString CellVoltageText(const MonitorImage& image, int cell, ValueMode mode,
                        QChar decimalSeparator);
QString CellTemperatureText(const MonitorImage& image, int cell);
std::uint16_t CellStatusWord(const MonitorImage& image, int cell);

}  // namespace kelvra
