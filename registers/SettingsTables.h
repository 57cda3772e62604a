#pragma once

#include <QChar>
#include <QString>
#include <array>
#include <cstdint>

#include "registers/RegisterValue.h"

namespace kelvra {

// Settings areas of the unit: first register and the number of registers the
// host reads and writes as one block. The alarm area's image holds 50 words
// (up to DIN_Time) of which the first 49 are exchanged.
namespace settings {
constexpr std::uint16_t RsStart = 0x6800;
constexpr std::uint16_t RsCount = 6;
constexpr std::uint16_t ChargeStart = 0x6C00;
constexpr std::uint16_t ChargeCount = 48;
constexpr std::uint16_t AlarmStart = 0x7000;
constexpr std::uint16_t AlarmCount = 49;
}  // namespace settings

// What the decoding column of the RS-485 grid shows for a row.
enum class RsDecoding { None, BaudRate, FrameFormat };

// RS-485 settings. Columns: grid row, word, mnemonic, type, decoding.
struct RsSettingRow {
    int row;
    int word;
    const char* mnemonic;
    RegType type;
    RsDecoding decoding;
};
extern const std::array<RsSettingRow, 5> RsSettingRows;

// Charge and alarm settings. Columns: grid row, word, mnemonic, type, Raw
// unit, Converted unit, divisor of the Converted value (0: shown unscaled).
struct SettingRow {
    int row;
    int word;
    const char* mnemonic;
    RegType type;
    const char* rawUnit;
    const char* convertedUnit;
    int divisor;
};
extern const std::array<SettingRow, 34> ChargeSettingRows;
extern const std::array<SettingRow, 45> AlarmSettingRows;

// Six characters each, right-aligned.
extern const std::array<const char*, 5> BaudRateTexts;
extern const std::array<const char*, 3> FrameFormatTexts;

// Raw: the integer (32-bit pairs signed). Converted: FormatGeneral(value /
// divisor, 4) for scaled rows, the Raw integer for the others.
QString SettingValueText(const SettingRow& row, Words image, ValueMode mode,
                         QChar decimalSeparator);
QString SettingUnitText(const SettingRow& row, ValueMode mode);

QString RsSettingValueText(const RsSettingRow& row, Words image);
// BaudRateTexts / FrameFormatTexts of the row's value; empty for rows without a
// decoding and for values outside the tables.
QString RsDecodingText(const RsSettingRow& row, Words image);

}  // namespace kelvra
