#include "link/ModbusFrame.h"

#include <gtest/gtest.h>

#include <memory>

#include "link/Crc16.h"

namespace kelvra {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes WithCrc(Bytes body) {
    const std::uint16_t crc = Crc16(body.data(), body.size());
    body.push_back(static_cast<std::uint8_t>(crc >> 8));
    body.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    return body;
}

TEST(ModbusFrame, ReadRequestWorkedExample) {
    // Reading 50 registers from address 0 of unit 238.
    EXPECT_EQ(BuildReadRequest(238, 0, 50),
              (Bytes{0xEE, 0x03, 0x00, 0x00, 0x00, 0x32, 0xD2, 0x80}));
}

TEST(ModbusFrame, ReadRequestFieldsAreBigEndian) {
    const Bytes frame = BuildReadRequest(0x01, 0x7400, 125);
    ASSERT_EQ(frame.size(), 8u);
    EXPECT_EQ(frame[2], 0x74);
    EXPECT_EQ(frame[3], 0x00);
    EXPECT_EQ(frame[4], 0x00);
    EXPECT_EQ(frame[5], 125);
    EXPECT_TRUE(CheckCrc16(frame.data(), frame.size()));
}

TEST(ModbusFrame, WriteRequestLayout) {
    // The "write multiple registers" example of the Modbus application
    // protocol guide (unit 0x11, registers 1..2 = 0x000A, 0x0102), whose
    // complete RTU frame ends in C6 F0.
    EXPECT_EQ(
        BuildWriteRequest(0x11, 0x0001, std::vector<std::uint16_t>{0x000A, 0x0102}),
        (Bytes{0x11, 0x10, 0x00, 0x01, 0x00, 0x02, 0x04, 0x00, 0x0A, 0x01, 0x02, 0xC6, 0xF0}));
}

TEST(ModbusFrame, WriteRequestOfSixRegistersIs21Bytes) {
    const std::vector<std::uint16_t> values{238, 4, 0, 0x20, 0x1234, 0xABCD};
    const Bytes frame = BuildWriteRequest(238, 0x6800, values);
    ASSERT_EQ(frame.size(), 21u);
    EXPECT_EQ(frame[6], 12);
    EXPECT_EQ(frame[7 + 2 * 4], 0x12);
    EXPECT_EQ(frame[7 + 2 * 5 + 1], 0xCD);
    EXPECT_TRUE(CheckCrc16(frame.data(), frame.size()));
}

TEST(ModbusFrame, WriteRequestOf123RegistersFillsTheBuffer) {
    const std::vector<std::uint16_t> values(123, 0xFFFF);
    const Bytes frame = BuildWriteRequest(238, 0, values);
    EXPECT_EQ(frame.size(), 255u);
    EXPECT_EQ(frame[6], 246);
}

struct ReadCase {
    const char* name;
    friend void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }
    Bytes received;
    std::uint16_t requested;
    ReadAnswerOutcome outcome;
    std::vector<std::uint16_t> words;
    std::uint8_t exceptionCode;
};

Bytes Corrupt(Bytes b, std::size_t at) {
    b[at] ^= 0x40;
    return b;
}

Bytes Append(Bytes b, Bytes tail) {
    b.insert(b.end(), tail.begin(), tail.end());
    return b;
}

const Bytes kGoodRead = WithCrc({0xEE, 0x03, 0x04, 0x00, 0x01, 0xFF, 0xFE});

class ReadValidation : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadValidation, Classifies) {
    const ReadCase& c = GetParam();
    // An exactly sized heap buffer: reading past it trips AddressSanitizer.
    const auto buffer = std::make_unique<std::uint8_t[]>(c.received.size() + 1);
    std::copy(c.received.begin(), c.received.end(), buffer.get());
    const ReadAnswer answer = ValidateReadAnswer(buffer.get(), c.received.size(), c.requested);
    EXPECT_EQ(answer.outcome, c.outcome);
    EXPECT_EQ(answer.words, c.words);
    if (c.outcome == ReadAnswerOutcome::Exception) {
        EXPECT_EQ(answer.exceptionCode, c.exceptionCode);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadValidation,
    ::testing::Values(
        ReadCase{"Accepted", kGoodRead, 2, ReadAnswerOutcome::Accepted, {0x0001, 0xFFFE}, 0},
        ReadCase{"AcceptedWithTrailingGarbage",
                 Append(kGoodRead, {0x55, 0xAA}),
                 2,
                 ReadAnswerOutcome::Accepted,
                 {0x0001, 0xFFFE},
                 0},
        ReadCase{"AddressAndFunctionNotCompared",
                 WithCrc({0x05, 0x04, 0x02, 0x12, 0x34}),
                 1,
                 ReadAnswerOutcome::Accepted,
                 {0x1234},
                 0},
        ReadCase{"Exception", WithCrc({0xEE, 0x83, 0x02}), 2, ReadAnswerOutcome::Exception, {}, 2},
        ReadCase{"ExceptionCodeAboveTable",
                 WithCrc({0xEE, 0x83, 0x0C}),
                 2,
                 ReadAnswerOutcome::Exception,
                 {},
                 12},
        ReadCase{"TooLongEvenWithGoodCrc",
                 WithCrc({0xEE, 0x03, 0x06, 0, 1, 0, 2, 0, 3}),
                 2,
                 ReadAnswerOutcome::TooLong,
                 {},
                 0},
        ReadCase{"ShortAnswerIsRefused",
                 WithCrc({0xEE, 0x03, 0x02, 0x00, 0x07}),
                 2,
                 ReadAnswerOutcome::Short,
                 {},
                 0},
        ReadCase{"OddByteCountBelowRequestIsShort",
                 WithCrc({0xEE, 0x03, 0x03, 0x00, 0x07, 0x01}),
                 2,
                 ReadAnswerOutcome::Short,
                 {},
                 0},
        ReadCase{"CrcError", Corrupt(kGoodRead, 4), 2, ReadAnswerOutcome::CrcError, {}, 0},
        ReadCase{"CrcErrorInCrcByte", Corrupt(kGoodRead, 8), 2, ReadAnswerOutcome::CrcError, {}, 0},
        ReadCase{"NothingReceived", Bytes{}, 2, ReadAnswerOutcome::CrcError, {}, 0},
        ReadCase{"AllZeroBuffer", Bytes(255, 0), 2, ReadAnswerOutcome::CrcError, {}, 0},
        ReadCase{"StatedLengthBeyondReceived",
                 Bytes{0xEE, 0x03, 0xFF, 0x00, 0x01, 0x02, 0x03},
                 2,
                 ReadAnswerOutcome::CrcError,
                 {},
                 0},
        ReadCase{"StatedLengthBeyondFullBuffer",
                 Append({0xEE, 0x03, 0xFD}, Bytes(252, 0x11)),
                 125,
                 ReadAnswerOutcome::CrcError,
                 {},
                 0},
        ReadCase{"CutShortByOneByte",
                 Bytes(kGoodRead.begin(), kGoodRead.end() - 1),
                 2,
                 ReadAnswerOutcome::CrcError,
                 {},
                 0},
        ReadCase{"LongestAnswer125Words", WithCrc(Append({0xEE, 0x03, 250}, Bytes(250, 0xA5))), 125,
                 ReadAnswerOutcome::Accepted, std::vector<std::uint16_t>(125, 0xA5A5), 0}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

struct WriteCase {
    const char* name;
    friend void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }
    Bytes received;
    WriteAnswerOutcome outcome;
    std::uint8_t exceptionCode;
};

class WriteValidation : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteValidation, Classifies) {
    const WriteCase& c = GetParam();
    const auto buffer = std::make_unique<std::uint8_t[]>(c.received.size() + 1);
    std::copy(c.received.begin(), c.received.end(), buffer.get());
    const WriteAnswer answer = ValidateWriteAnswer(buffer.get(), c.received.size());
    EXPECT_EQ(answer.outcome, c.outcome);
    if (c.outcome == WriteAnswerOutcome::Exception) {
        EXPECT_EQ(answer.exceptionCode, c.exceptionCode);
    }
}

const Bytes kEcho = WithCrc({0xEE, 0x10, 0x68, 0x00, 0x00, 0x06});

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteValidation,
    ::testing::Values(
        WriteCase{"Accepted", kEcho, WriteAnswerOutcome::Accepted, 0},
        WriteCase{"Exception", WithCrc({0xEE, 0x90, 0x02}), WriteAnswerOutcome::Exception, 2},
        WriteCase{"UnexpectedFunction", WithCrc({0xEE, 0x03, 0x68, 0x00, 0x00, 0x06}),
                  WriteAnswerOutcome::UnexpectedFunction, 0},
        WriteCase{"CrcError", Corrupt(kEcho, 3), WriteAnswerOutcome::CrcError, 0},
        WriteCase{"TrailingGarbageMovesTheCrc", Append(kEcho, {0x55}), WriteAnswerOutcome::CrcError,
                  0},
        WriteCase{"NoAnswer", Bytes{}, WriteAnswerOutcome::NoAnswer, 0},
        WriteCase{"OneByte", Bytes{0xFF}, WriteAnswerOutcome::CrcError, 0},
        WriteCase{"TwoBytesLookingLikeEmptyCrc", Bytes{0xFF, 0xFF}, WriteAnswerOutcome::CrcError,
                  0},
        WriteCase{"FourBytesWithValidCrc", WithCrc({0xEE, 0x90}), WriteAnswerOutcome::CrcError, 0}),
    [](const ::testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelvra

namespace kelvra {
namespace {

// The link trace reports the CRC found and the CRC computed, as if the
// answer stood in a zero-filled buffer, without reading past what arrived.
TEST(ModbusFrame, CrcDiagnosticsOfRefusedAnswers) {
    const std::uint8_t zeros[3] = {0, 0, 0};
    ReadAnswer nothing = ValidateReadAnswer(zeros, 0, 50);
    EXPECT_EQ(nothing.computedCrc, Crc16(zeros, 3));
    EXPECT_EQ(nothing.receivedCrc, 0);

    const auto claimsMore = std::make_unique<std::uint8_t[]>(6);
    const std::uint8_t bytes[6] = {0xEE, 0x03, 0x04, 0x00, 0x01, 0x02};
    std::copy(bytes, bytes + 6, claimsMore.get());
    const ReadAnswer cut = ValidateReadAnswer(claimsMore.get(), 6, 2);
    EXPECT_EQ(cut.outcome, ReadAnswerOutcome::CrcError);
    EXPECT_EQ(cut.statedByteCount, 4);
    const std::uint8_t padded[7] = {0xEE, 0x03, 0x04, 0x00, 0x01, 0x02, 0x00};
    EXPECT_EQ(cut.computedCrc, Crc16(padded, 7));
    EXPECT_EQ(cut.receivedCrc, 0);
}

}  // namespace
}  // namespace kelvra
