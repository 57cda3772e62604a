#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvra {

// The Modbus RTU CRC-16: reflected polynomial 0xA001, initial value 0xFFFF,
// no final inversion, computed byte-wise from two 256-entry tables (one for
// each CRC byte), as published in "Modbus over Serial Line", appendix B.
//
// The result carries the CRC's low byte in its high half and the CRC's high
// byte in its low half, so writing the result high half first puts the CRC on
// the wire low byte first. Example: for "123456789" the CRC is 0x4B37, Crc16
// returns 0x374B and the frame ends with 0x37, 0x4B.
std::uint16_t Crc16(const std::uint8_t* buffer, std::size_t length);

// Appends Crc16 of the bytes before it to a frame held in `frame[0..length)`;
// returns the new length (length + 2).
std::size_t AppendCrc16(std::uint8_t* frame, std::size_t length);

// True when the last two of `length` bytes are the CRC of those before them.
bool CheckCrc16(const std::uint8_t* frame, std::size_t length);

}  // namespace kelvra
