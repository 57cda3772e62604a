#include "link/Crc16.h"

#include <array>

namespace kelvra {
namespace {

// The two tables are the ones printed in the Modbus serial-line guide, built
// here at compile time from the bit-wise definition instead of being typed in.
// For each index i, the bit-wise CRC step of one byte yields a 16-bit value
// whose low byte goes into kCrcHi and whose high byte into kCrcLo (the guide's
// naming: the tables are named after the CRC register byte they update).
struct CrcTables {
    std::array<std::uint8_t, 256> hi{};
    std::array<std::uint8_t, 256> lo{};
};

constexpr CrcTables MakeTables() {
    CrcTables t;
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) ? (crc >> 1) ^ 0xA001u : crc >> 1;
        t.hi[i] = static_cast<std::uint8_t>(crc & 0xFFu);
        t.lo[i] = static_cast<std::uint8_t>(crc >> 8);
    }
    return t;
}

constexpr CrcTables kTables = MakeTables();

}  // namespace

std::uint16_t Crc16(const std::uint8_t* buffer, std::size_t length) {
    // crcHi/crcLo name the bytes that end up first/second on the wire.
    std::uint8_t crcHi = 0xFF;
    std::uint8_t crcLo = 0xFF;
    for (std::size_t k = 0; k < length; ++k) {
        const std::uint8_t index = crcHi ^ buffer[k];
        crcHi = crcLo ^ kTables.hi[index];
        crcLo = kTables.lo[index];
    }
    return static_cast<std::uint16_t>((crcHi << 8) | crcLo);
}

std::size_t AppendCrc16(std::uint8_t* frame, std::size_t length) {
    const std::uint16_t crc = Crc16(frame, length);
    frame[length] = static_cast<std::uint8_t>(crc >> 8);
    frame[length + 1] = static_cast<std::uint8_t>(crc & 0xFF);
    return length + 2;
}

bool CheckCrc16(const std::uint8_t* frame, std::size_t length) {
    if (length < 2)
        return false;
    const std::uint16_t crc = Crc16(frame, length - 2);
    return frame[length - 2] == (crc >> 8) && frame[length - 1] == (crc & 0xFF);
}

}  // namespace kelvra
