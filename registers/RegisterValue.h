#pragma once

#include <QChar>
#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>

namespace kelvra {

// The two display switches of the options dialog, read by every table fill.
enum class ValueMode { Raw = 0, Converted = 1 };
enum class NameMode { Mnemonic = 0, Russian = 1 };

// Register images: word i is register (area start + i), zero at start.
constexpr std::size_t kMonitorWords = 650;        // registers 0..649
constexpr std::size_t kRsSettingsWords = 6;       // 0x6800..0x6805
constexpr std::size_t kChargeSettingsWords = 48;  // 0x6C00..0x6C2F
constexpr std::size_t kAlarmSettingsWords = 50;   // 0x7000..0x7031
constexpr std::size_t kJournalWords = 3072;       // 0x7400..0x7FFF, 768 records
using MonitorImage = std::array<std::uint16_t, kMonitorWords>;
using RsSettingsImage = std::array<std::uint16_t, kRsSettingsWords>;
using ChargeSettingsImage = std::array<std::uint16_t, kChargeSettingsWords>;
using AlarmSettingsImage = std::array<std::uint16_t, kAlarmSettingsWords>;
using JournalImage = std::array<std::uint16_t, kJournalWords>;

// Width and signedness of a register value. A 32-bit value is a pair of
// registers starting at an even word, the lower-numbered word holding the low
// 16 bits.
enum class RegType { U16, S16, U32, S32 };

constexpr bool IsPair(RegType type) {
    return type == RegType::U32 || type == RegType::S32;
}

// A read-only view of a register image.
struct Words {
    const std::uint16_t* data = nullptr;
    std::size_t size = 0;

    template <std::size_t N>
    Words(const std::array<std::uint16_t, N>& image) : data(image.data()), size(N) {}
    Words(const std::uint16_t* d, std::size_t n) : data(d), size(n) {}

    std::uint16_t at(std::size_t i) const { return i < size ? data[i] : 0; }
    std::uint32_t pair(std::size_t i) const {
        return static_cast<std::uint32_t>(at(i)) | (static_cast<std::uint32_t>(at(i + 1)) << 16);
    }
};

// The value of a register (or pair) with its type's signedness.
std::int64_t TypedValue(Words image, std::size_t word, RegType type);

// The integer as the Raw mode prints it: 16-bit values with their type's
// signedness, every 32-bit pair as a signed 32-bit integer.
std::int64_t RawValue(Words image, std::size_t word, RegType type);

QString IntegerText(std::int64_t value);

}  // namespace kelvra
