#include "link/ModbusFrame.h"

#include "link/Crc16.h"

#include <algorithm>

namespace kelvra {
namespace {

void PutBigEndian(ModbusFrame& frame, std::uint16_t value) {
    frame.push_back(static_cast<std::uint8_t>(value >> 8));
    frame.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

void PutCrc(ModbusFrame& frame) {
    const std::uint16_t crc = Crc16(frame.data(), frame.size());
    frame.push_back(static_cast<std::uint8_t>(crc >> 8));
    frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
}

// The smallest frame that can carry an exception: address, function, code, CRC.
constexpr std::size_t kExceptionFrameBytes = 5;

}  // namespace

ModbusFrame BuildReadRequest(std::uint8_t address, std::uint16_t firstRegister,
                             std::uint16_t count) {
    ModbusFrame frame;
    frame.reserve(8);
    frame.push_back(address);
    frame.push_back(kFunctionReadHolding);
    PutBigEndian(frame, firstRegister);
    PutBigEndian(frame, count);
    PutCrc(frame);
    return frame;
}

ModbusFrame BuildWriteRequest(std::uint8_t address, std::uint16_t firstRegister,
                              const std::uint16_t* values, std::uint16_t count) {
    ModbusFrame frame;
    frame.reserve(9 + 2 * std::size_t{count});
    frame.push_back(address);
    frame.push_back(kFunctionWriteMultiple);
    PutBigEndian(frame, firstRegister);
    PutBigEndian(frame, count);
    frame.push_back(static_cast<std::uint8_t>(2 * count));
    for (std::uint16_t k = 0; k < count; ++k)
        PutBigEndian(frame, values[k]);
    PutCrc(frame);
    return frame;
}

ModbusFrame BuildWriteRequest(std::uint8_t address, std::uint16_t firstRegister,
                              const std::vector<std::uint16_t>& values) {
    return BuildWriteRequest(address, firstRegister, values.data(),
                             static_cast<std::uint16_t>(values.size()));
}

ReadAnswer ValidateReadAnswer(const std::uint8_t* bytes, std::size_t received,
                              std::uint16_t requestedCount) {
    ReadAnswer answer;
    answer.outcome = ReadAnswerOutcome::CrcError;
    auto byteAt = [&](std::size_t i) -> std::uint8_t { return i < received ? bytes[i] : 0; };

    const bool isException = (byteAt(1) & kExceptionBit) != 0;
    const std::size_t dataLength = isException ? 0 : byteAt(2);
    const std::size_t crcAt = dataLength + 3;
    answer.statedByteCount = byteAt(2);
    answer.receivedCrc = static_cast<std::uint16_t>((byteAt(crcAt) << 8) | byteAt(crcAt + 1));
    if (crcAt <= received) {
        answer.computedCrc = Crc16(bytes, crcAt);
    } else {
        // What the CRC over a zero-filled buffer would be; nothing past the
        // received bytes is read.
        std::uint8_t padded[kMaxAnswerBytes + 3] = {};
        std::copy(bytes, bytes + received, padded);
        answer.computedCrc = Crc16(padded, crcAt);
    }

    // The stated length is the line's word, not ours: the CRC must lie within
    // what actually arrived, or the answer is refused unread.
    if (received < kExceptionFrameBytes || crcAt + 2 > received ||
        answer.computedCrc != answer.receivedCrc)
        return answer;

    if (isException) {
        answer.outcome = ReadAnswerOutcome::Exception;
        answer.exceptionCode = bytes[2];
        return answer;
    }
    const std::size_t wanted = 2 * std::size_t{requestedCount};
    if (dataLength > wanted) {
        answer.outcome = ReadAnswerOutcome::TooLong;
        return answer;
    }
    if (dataLength < wanted) {
        // Words that never arrived must not reach the caller.
        answer.outcome = ReadAnswerOutcome::Short;
        return answer;
    }
    answer.outcome = ReadAnswerOutcome::Accepted;
    answer.words.resize(requestedCount);
    for (std::size_t k = 0; k < requestedCount; ++k)
        answer.words[k] = static_cast<std::uint16_t>((bytes[3 + 2 * k] << 8) | bytes[4 + 2 * k]);
    return answer;
}

WriteAnswer ValidateWriteAnswer(const std::uint8_t* bytes, std::size_t received) {
    WriteAnswer answer;
    if (received == 0) {
        answer.outcome = WriteAnswerOutcome::NoAnswer;
        return answer;
    }
    if (received < kExceptionFrameBytes || !CheckCrc16(bytes, received)) {
        answer.outcome = WriteAnswerOutcome::CrcError;
        return answer;
    }
    if (bytes[1] & kExceptionBit) {
        answer.outcome = WriteAnswerOutcome::Exception;
        answer.exceptionCode = bytes[2];
    } else if (bytes[1] == kFunctionWriteMultiple) {
        answer.outcome = WriteAnswerOutcome::Accepted;
    } else {
        answer.outcome = WriteAnswerOutcome::UnexpectedFunction;
    }
    return answer;
}

}  // namespace kelvra
