#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelvra {

// A Modbus RTU request or answer as it travels on the line: unit address,
// function code, big-endian fields, CRC-16 last with its low byte first.
using ModbusFrame = std::vector<std::uint8_t>;

constexpr std::uint8_t kFunctionReadHolding = 0x03;
constexpr std::uint8_t kFunctionWriteMultiple = 0x10;
constexpr std::uint8_t kExceptionBit = 0x80;

// The host never asks for more than 125 registers in one read (3 + 250 + 2 =
// 255 bytes of answer) nor writes more than 123 in one request (9 + 246 = 255).
constexpr std::size_t kMaxReadCount = 125;
constexpr std::size_t kMaxWriteCount = 123;
// The receive buffer of the host: the longest answer it ever expects.
constexpr std::size_t kMaxAnswerBytes = 255;

// Read holding registers (0x03): 8 bytes.
ModbusFrame BuildReadRequest(std::uint8_t address, std::uint16_t firstRegister,
                             std::uint16_t count);

// Write multiple registers (0x10): 9 + 2 * count bytes. The byte-count field is
// 2 * count truncated to 8 bits, as it stands on the wire.
ModbusFrame BuildWriteRequest(std::uint8_t address, std::uint16_t firstRegister,
                              const std::uint16_t* values, std::uint16_t count);
ModbusFrame BuildWriteRequest(std::uint8_t address, std::uint16_t firstRegister,
                              const std::vector<std::uint16_t>& values);

// What a read answer turned out to be. Modbus exceptions (the unit answered
// "no") are kept apart from link faults (the answer itself is unusable).
enum class ReadAnswerOutcome {
    Accepted,   // CRC good, enough data: the requested words are in `words`
    Exception,  // CRC good, function code with bit 7 set: `exceptionCode`
    TooLong,    // CRC good, more data bytes than the request asked for
    Short,      // CRC good, fewer data bytes than the request asked for
    CrcError,   // CRC wrong, or the frame is cut short of its own length
};

struct ReadAnswer {
    ReadAnswerOutcome outcome = ReadAnswerOutcome::CrcError;
    std::uint8_t exceptionCode = 0;
    std::vector<std::uint16_t> words;  // exactly the requested count when Accepted
    // For the link trace: the answer's byte-count field, the CRC computed over
    // the stated frame and the CRC found after it, both as Crc16 values, with
    // bytes that never arrived counted as zeros (as in a cleared buffer).
    std::uint8_t statedByteCount = 0;
    std::uint16_t computedCrc = 0;
    std::uint16_t receivedCrc = 0;
};

// Validates `received` bytes of a read answer against the requested count.
// The byte-count field comes from the line: an answer whose stated length
// (with its CRC) does not lie within the received bytes is a CRC error and is
// never read past. Trailing bytes after the CRC are ignored. The answer's
// address byte and function code (beyond bit 7) are not compared.
ReadAnswer ValidateReadAnswer(const std::uint8_t* bytes, std::size_t received,
                              std::uint16_t requestedCount);

enum class WriteAnswerOutcome {
    Accepted,            // CRC good, function 0x10
    Exception,           // CRC good, function code with bit 7 set
    UnexpectedFunction,  // CRC good, some other function code
    CrcError,            // CRC wrong, or too few bytes to hold a frame
    NoAnswer,            // nothing received
};

struct WriteAnswer {
    WriteAnswerOutcome outcome = WriteAnswerOutcome::NoAnswer;
    std::uint8_t exceptionCode = 0;
};

// Validates the `received` bytes of a write answer; the CRC is taken from the
// last two bytes received.
WriteAnswer ValidateWriteAnswer(const std::uint8_t* bytes, std::size_t received);

}  // namespace kelvra
