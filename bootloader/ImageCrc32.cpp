#include "bootloader/ImageCrc32.h"

namespace kelvra {

std::uint32_t Stm32CrcStep(std::uint32_t crc, std::uint32_t word) {
    crc ^= word;
    for (int bit = 0; bit < 32; ++bit)
        crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    return crc;
}

std::uint32_t Stm32Crc32(const std::uint8_t* bytes, std::size_t length, std::uint32_t crc) {
    std::size_t i = 0;
    for (; i + 4 <= length; i += 4)
        crc = Stm32CrcStep(crc, std::uint32_t{bytes[i]} | (std::uint32_t{bytes[i + 1]} << 8) |
                                    (std::uint32_t{bytes[i + 2]} << 16) |
                                    (std::uint32_t{bytes[i + 3]} << 24));
    if (i < length) {
        std::uint32_t word = 0;
        for (int shift = 0; i < length; ++i, shift += 8)
            word |= std::uint32_t{bytes[i]} << shift;
        crc = Stm32CrcStep(crc, word);
    }
    return crc;
}

}  // namespace kelvra
