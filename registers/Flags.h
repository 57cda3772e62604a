#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "registers/RegisterValue.h"

namespace kelvra {

// Safety_Alert (warning level) and Safety_Status (alarm level) share this
// layout, bits 0..19 of the 32-bit pair. Columns: bit, mnemonic, Russian
// name, main-page lamp (driven by Safety_Status only), lamp label.
struct SafetyFlag {
    int bit;
    const char* mnemonic;
    const char* russian;
    const char* lamp;
    const char* lampLabel;
};
extern const std::array<SafetyFlag, 20> SafetyFlags;

// Charge_Alert (warning level) and Charge_Status (mode level), bits 0..7.
// Columns: bit, mnemonic, Russian name.
struct ChargeFlag {
    int bit;
    const char* mnemonic;
    const char* russian;
};
extern const std::array<ChargeFlag, 8> ChargeFlags;

// The status word of every cell, bits 0..13. Columns: bit, mnemonic, Russian
// text (38 characters, space-padded), cell-grid column and its header.
struct CellFlag {
    int bit;
    const char* mnemonic;
    const char* russian;
    int column;
    const char* header;
};
extern const std::array<CellFlag, 14> CellFlags;

namespace cellbit {
constexpr int OV = 0, UV = 1, OVA = 2, UVA = 3, OT = 4, UT = 5, OTA = 6, BALANCE_FAIL = 7;
constexpr int TMAX = 8, TMIN = 9, VMAX = 10, VMIN = 11, BALANCE = 12, PCH = 13;
}  // namespace cellbit

// The lamps of "Статус АБ", driven by Battery_Status. Columns: bit, lamp,
// lamp label.
struct StatusLamp {
    int bit;
    const char* lamp;
    const char* label;
};
extern const std::array<StatusLamp, 9> BatteryStatusLamps;

// Bit 5 of Battery_Mode: the unit has accepted the operator's password.
constexpr int kBatteryModeLoggedInBit = 5;

// The journal's event texts by event code, 44 characters each; codes 0..19
// are the safety conditions of the same bit number.
extern const std::array<const char*, 32> AlarmTexts;

// The event text of a journal code, or an empty text for codes of 32 and more.
QString AlarmText(unsigned code);

template <typename Flag>
QString FlagName(const Flag& flag, NameMode mode) {
    return QString::fromUtf8(mode == NameMode::Mnemonic ? flag.mnemonic : flag.russian);
}

inline bool BitSet(std::uint32_t value, int bit) {
    return ((value >> bit) & 1u) != 0;
}

}  // namespace kelvra
