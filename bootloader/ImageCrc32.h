#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvra {

// One word step of the STM32 hardware CRC unit in its default configuration:
// polynomial 0x04C11DB7, no reflection, the word XORed into the register and
// then shifted out most significant bit first.
std::uint32_t Stm32CrcStep(std::uint32_t crc, std::uint32_t word);

// The STM32 CRC-32 of a byte image: little-endian 32-bit words (a last partial
// word completed with zero high-order bytes), register starting at
// 0xFFFFFFFF, no final XOR. An image that ends with its own CRC word gives 0.
std::uint32_t Stm32Crc32(const std::uint8_t* bytes, std::size_t length,
                         std::uint32_t crc = 0xFFFFFFFFu);

}  // namespace kelvra
