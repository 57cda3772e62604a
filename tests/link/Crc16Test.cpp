#include "link/Crc16.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kelvra {
namespace {

// Bit-wise reference: the definition the tables are derived from.
std::uint16_t BitwiseModbusCrc(const std::uint8_t* data, std::size_t n) {
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int b = 0; b < 8; ++b)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}

TEST(Crc16, CheckStringGivesSwappedStandardValue) {
    const char* text = "123456789";
    // Standard CRC 0x4B37; the result carries the low byte in its high half.
    EXPECT_EQ(Crc16(reinterpret_cast<const std::uint8_t*>(text), 9), 0x374B);
}

TEST(Crc16, EmptyBufferIsInitialValue) {
    EXPECT_EQ(Crc16(nullptr, 0), 0xFFFF);
}

TEST(Crc16, ThreeZeroBytesAreNotZero) {
    const std::uint8_t zeros[3] = {0, 0, 0};
    EXPECT_NE(Crc16(zeros, 3), 0);
}

TEST(Crc16, TablesAgreeWithBitwiseDefinitionOnEveryLength) {
    std::uint8_t data[300];
    for (std::size_t i = 0; i < sizeof data; ++i)
        data[i] = static_cast<std::uint8_t>(i * 37 + 11);
    for (std::size_t n = 0; n <= sizeof data; ++n) {
        const std::uint16_t standard = BitwiseModbusCrc(data, n);
        const std::uint16_t swapped = static_cast<std::uint16_t>((standard << 8) | (standard >> 8));
        ASSERT_EQ(Crc16(data, n), swapped) << "length " << n;
    }
}

TEST(Crc16, AppendedCrcChecks) {
    std::uint8_t frame[8] = {0xEE, 0x03, 0x00, 0x00, 0x00, 0x32};
    EXPECT_EQ(AppendCrc16(frame, 6), 8u);
    EXPECT_EQ(frame[6], 0xD2);
    EXPECT_EQ(frame[7], 0x80);
    EXPECT_TRUE(CheckCrc16(frame, 8));
    frame[3] ^= 0x01;
    EXPECT_FALSE(CheckCrc16(frame, 8));
    EXPECT_FALSE(CheckCrc16(frame, 1));
}

}  // namespace
}  // namespace kelvra
