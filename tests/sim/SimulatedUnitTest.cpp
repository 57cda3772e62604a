#include "sim/SimulatedUnit.h"

#include <gtest/gtest.h>

#include "bootloader/ImageCrc32.h"
#include "link/Crc16.h"
#include "link/ModbusFrame.h"
#include "registers/Flags.h"
#include "registers/MonitorMap.h"

namespace kelvra::sim {
namespace {

constexpr std::uint8_t kAddress = 238;

Bytes WithCrc(Bytes body) {
    const std::uint16_t crc = Crc16(body.data(), body.size());
    body.push_back(static_cast<std::uint8_t>(crc >> 8));
    body.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    return body;
}

struct UnitFixture : ::testing::Test {
    SimulatedUnit unit;
    milliseconds now{0};

    Reply Send(const Bytes& request) {
        now += milliseconds{10};
        return unit.handle(request, now);
    }
    // Reads through the unit as the host does; fails the test on anything but
    // an accepted answer.
    std::vector<std::uint16_t> Read(std::uint16_t start, std::uint16_t count) {
        const Bytes answer = Send(BuildReadRequest(kAddress, start, count)).bytes();
        const ReadAnswer r = ValidateReadAnswer(answer.data(), answer.size(), count);
        EXPECT_EQ(r.outcome, ReadAnswerOutcome::Accepted) << "read " << start << "+" << count;
        return r.words;
    }
    WriteAnswer Write(std::uint16_t start, const std::vector<std::uint16_t>& values) {
        const Bytes answer = Send(BuildWriteRequest(kAddress, start, values)).bytes();
        return ValidateWriteAnswer(answer.data(), answer.size());
    }
    ReadAnswer ReadRaw(std::uint16_t start, std::uint16_t count) {
        const Bytes answer = Send(BuildReadRequest(kAddress, start, count)).bytes();
        return ValidateReadAnswer(answer.data(), answer.size(), count);
    }
    WriteAnswer Command(CommandCode code, std::uint32_t parameter) {
        return Write(reg::Command, {static_cast<std::uint16_t>(code),
                                    static_cast<std::uint16_t>(parameter & 0xFFFF),
                                    static_cast<std::uint16_t>(parameter >> 16)});
    }
    std::uint16_t Mode() { return Read(reg::Battery_Mode, 1)[0]; }
};

// --- addressing and framing ---------------------------------------------------

TEST_F(UnitFixture, AnswersOnlyItsOwnAddressAndGoodFrames) {
    EXPECT_FALSE(Send(BuildReadRequest(kAddress, 0, 10)).silent());
    EXPECT_TRUE(Send(BuildReadRequest(1, 0, 10)).silent());
    EXPECT_TRUE(Send(BuildReadRequest(0, 0, 10)).silent()) << "broadcast";
    Bytes bad = BuildReadRequest(kAddress, 0, 10);
    bad[7] ^= 0x01;
    EXPECT_TRUE(Send(bad).silent());
    EXPECT_TRUE(Send(Bytes{kAddress, 0x03}).silent());
}

TEST_F(UnitFixture, ReadAnswersMirrorTheRegisters) {
    const auto words = Read(0, 50);
    ASSERT_EQ(words.size(), 50u);
    for (std::size_t i = 0; i < 50; ++i)
        EXPECT_EQ(words[i], unit.monitor()[i]) << i;
    EXPECT_EQ(words[reg::Design_Cell_Number], 16);
    EXPECT_EQ(Read(0x6800, 6)[0], kAddress);
    EXPECT_EQ(Read(0x7FB8, 72).size(), 72u);
    EXPECT_EQ(Read(550, 100).size(), 100u);
}

struct ExceptionCase {
    const char* name;
    Bytes request;
    std::uint8_t code;
    friend void PrintTo(const ExceptionCase& c, std::ostream* os) { *os << c.name; }
};

Bytes WriteFrame(std::uint16_t start, std::vector<std::uint16_t> values) {
    return BuildWriteRequest(kAddress, start, values);
}

class UnitExceptions : public ::testing::TestWithParam<ExceptionCase> {};

TEST_P(UnitExceptions, GivesTheCode) {
    SimulatedUnit unit;
    const Bytes answer = unit.handle(GetParam().request, milliseconds{10}).bytes();
    ASSERT_EQ(answer.size(), 5u);
    EXPECT_TRUE(CheckCrc16(answer.data(), answer.size()));
    EXPECT_EQ(answer[1] & 0x80, 0x80);
    EXPECT_EQ(answer[1] & 0x7F, GetParam().request[1]);
    EXPECT_EQ(answer[2], GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnitExceptions,
    ::testing::Values(
        ExceptionCase{"UnknownFunction", WithCrc({kAddress, 0x04, 0, 0, 0, 1}), 1},
        ExceptionCase{"ReadCountZero", BuildReadRequest(kAddress, 0, 0), 3},
        ExceptionCase{"ReadCount126", BuildReadRequest(kAddress, 0, 126), 3},
        ExceptionCase{"ReadPastMonitoring", BuildReadRequest(kAddress, 640, 20), 2},
        ExceptionCase{"ReadBetweenAreas", BuildReadRequest(kAddress, 1000, 1), 2},
        ExceptionCase{"ReadPastRsSettings", BuildReadRequest(kAddress, 0x6800, 7), 2},
        ExceptionCase{"ReadPastChargeSettings", BuildReadRequest(kAddress, 0x6C2F, 2), 2},
        ExceptionCase{"ReadPastAlarmSettings", BuildReadRequest(kAddress, 0x7000, 51), 2},
        ExceptionCase{"ReadPastJournal", BuildReadRequest(kAddress, 0x7FB8, 73), 2},
        ExceptionCase{"ReadBootloaderRegistersInApplication", BuildReadRequest(kAddress, 4248, 18),
                      2},
        ExceptionCase{"WriteCells", WriteFrame(50, {1}), 2},
        ExceptionCase{"WriteAcrossBaseBlockEnd", WriteFrame(49, {1, 2}), 2},
        ExceptionCase{"WriteJournal", WriteFrame(0x7400, {1}), 2},
        ExceptionCase{"WriteCount124", WriteFrame(0x6C00, std::vector<std::uint16_t>(124, 0)), 3},
        ExceptionCase{"WriteByteCountMismatch", WithCrc({kAddress, 0x10, 0x68, 0, 0, 1, 4, 0, 1}),
                      3},
        ExceptionCase{"AddressZero", WriteFrame(0x6800, {0, 4, 0, 0, 0, 0}), 3},
        ExceptionCase{"Address248", WriteFrame(0x6800, {248, 4, 0, 0, 0, 0}), 3},
        ExceptionCase{"BaudIndex5", WriteFrame(0x6801, {5}), 3},
        ExceptionCase{"FormatIndex3", WriteFrame(0x6802, {3}), 3},
        ExceptionCase{"UnknownCommand", WriteFrame(45, {11, 0, 0}), 3},
        ExceptionCase{"SetPasswordLoggedOut", WriteFrame(45, {6, 0x3131, 0x3131}), 3},
        ExceptionCase{"BootloaderEraseInApplication", WithCrc({kAddress, 0x20, 0}), 1}));

TEST_F(UnitFixture, SettingsWritesAreStoredAndEchoed) {
    const std::vector<std::uint16_t> alarm(49, 77);
    EXPECT_EQ(Write(0x7000, alarm).outcome, WriteAnswerOutcome::Accepted);
    EXPECT_EQ(Read(0x7000, 49), alarm);
    EXPECT_EQ(unit.alarmSettings()[49], 50) << "DIN_Time stays what it was";

    const Bytes echo =
        Send(BuildWriteRequest(kAddress, 0x6C00, std::vector<std::uint16_t>(48, 5))).bytes();
    EXPECT_EQ(echo, WithCrc({kAddress, 0x10, 0x6C, 0x00, 0x00, 48}));
    EXPECT_EQ(unit.chargeSettings()[47], 5);

    // A refused write changes nothing.
    const auto before = unit.rsSettings();
    EXPECT_EQ(Write(0x6800, {0, 1, 1, 0, 0, 0}).outcome, WriteAnswerOutcome::Exception);
    EXPECT_EQ(unit.rsSettings(), before);
}

TEST_F(UnitFixture, NewAddressTakesEffectAfterTheAnswer) {
    const Bytes echo = Send(BuildWriteRequest(kAddress, 0x6800, {17, 4, 0, 0, 0, 0})).bytes();
    ASSERT_EQ(echo.size(), 8u);
    EXPECT_EQ(echo[0], kAddress);
    EXPECT_TRUE(Send(BuildReadRequest(kAddress, 0, 1)).silent());
    EXPECT_FALSE(Send(BuildReadRequest(17, 0, 1)).silent());
}

// --- the base block and the command mailbox -----------------------------------

TEST_F(UnitFixture, BaseBlockWriteAsLastPolledIsAcceptedAndMeasuredValuesIgnoreIt) {
    std::vector<std::uint16_t> block = Read(0, 50);
    const std::uint16_t cellAverage = block[reg::Cell_Voltage_Average];
    block[reg::Cell_Voltage_Average] = 1;  // measured: ignored
    block[reg::Pack_Voltage_Sum] = 1;
    block[reg::Cycle_Count] = 4321;            // taken
    block[reg::Full_Charge_Capacity] = 0x1A0;  // 0x000101A0 = 65952 mAh
    block[reg::Full_Charge_Capacity + 1] = 1;
    block[reg::Remaining_Pack_Capacity] = 50000;
    block[reg::Remaining_Pack_Capacity + 1] = 0;
    EXPECT_EQ(Write(0, block).outcome, WriteAnswerOutcome::Accepted);
    const auto after = Read(0, 50);
    EXPECT_NE(after[reg::Cell_Voltage_Average], 1);
    EXPECT_NEAR(after[reg::Cell_Voltage_Average], cellAverage, 50);
    EXPECT_EQ(after[reg::Cycle_Count], 4321);
    EXPECT_EQ(Words(after.data(), after.size()).pair(reg::Full_Charge_Capacity), 65952u);
    EXPECT_NEAR(Words(after.data(), after.size()).pair(reg::Remaining_Pack_Capacity), 50000, 5);
}

TEST_F(UnitFixture, MailboxCommandsHaveTheirEffects) {
    EXPECT_EQ(Command(CommandCode::SetClock, 631411200).outcome, WriteAnswerOutcome::Accepted);
    EXPECT_NEAR(unit.clock(), 631411200u, 1);

    EXPECT_EQ(Command(CommandCode::SetRemainingCharge, 40000).outcome,
              WriteAnswerOutcome::Accepted);
    EXPECT_NEAR(Words(unit.monitor()).pair(reg::Remaining_Pack_Capacity), 40000, 5);
    EXPECT_EQ(Command(CommandCode::SetFullCharge, 100000).outcome, WriteAnswerOutcome::Accepted);
    EXPECT_EQ(Words(unit.monitor()).pair(reg::Full_Charge_Capacity), 100000u);
    EXPECT_EQ(Command(CommandCode::SetCycleCount, 77).outcome, WriteAnswerOutcome::Accepted);
    EXPECT_EQ(Read(reg::Cycle_Count, 1)[0], 77);

    EXPECT_EQ(Command(CommandCode::CalibrateCurrent, 0).outcome, WriteAnswerOutcome::Accepted);
    EXPECT_EQ(Command(CommandCode::CalibrateCurrent, 2500).outcome, WriteAnswerOutcome::Accepted);
    EXPECT_EQ(unit.calibrations(), (std::vector<std::int32_t>{0, 2500}));

    EXPECT_EQ(Command(CommandCode::SetMode, 0x0040).outcome, WriteAnswerOutcome::Accepted);
    EXPECT_EQ(Mode(), 0x0040);
    EXPECT_EQ(Command(CommandCode::SetMode, 0x0020).outcome, WriteAnswerOutcome::Accepted);
    EXPECT_EQ(Mode(), 0) << "SetMode cannot log in";
}

TEST_F(UnitFixture, LoginLogoutAndNewPassword) {
    EXPECT_EQ(Command(CommandCode::Login, PackPassword("1234")).outcome,
              WriteAnswerOutcome::Accepted);
    EXPECT_EQ(Mode() & 0x20, 0) << "wrong password";
    EXPECT_EQ(Command(CommandCode::Login, PackPassword("0000")).outcome,
              WriteAnswerOutcome::Accepted);
    EXPECT_EQ(Mode() & 0x20, 0x20);

    // A Cyrillic password as the host packs it: sign-extended bytes.
    const std::string cyrillic("\xCF\xE0\xF0\xEE");  // "Паро" in Windows-1251
    EXPECT_EQ(PackPassword(cyrillic) & 0xFFu, 0xCFu);
    EXPECT_EQ(PackPassword(std::string("\xCF"
                                       "abc")) >>
                  8,
              0xFFFFFFu);
    EXPECT_EQ(Command(CommandCode::SetPassword, PackPassword(cyrillic)).outcome,
              WriteAnswerOutcome::Accepted);
    EXPECT_EQ(Command(CommandCode::Logout, 0).outcome, WriteAnswerOutcome::Accepted);
    EXPECT_EQ(Mode() & 0x20, 0);
    EXPECT_EQ(Command(CommandCode::Login, PackPassword("0000")).outcome,
              WriteAnswerOutcome::Accepted);
    EXPECT_EQ(Mode() & 0x20, 0) << "the old password no longer works";
    EXPECT_EQ(Command(CommandCode::Login, PackPassword(cyrillic)).outcome,
              WriteAnswerOutcome::Accepted);
    EXPECT_EQ(Mode() & 0x20, 0x20);
}

TEST_F(UnitFixture, ExecutedCommandReadsBackZeroSoResendingTheBlockRepeatsNothing) {
    unit.AddJournalRecord(100, 1, 2);
    EXPECT_EQ(Command(CommandCode::ClearJournal, 0).outcome, WriteAnswerOutcome::Accepted);
    EXPECT_EQ(unit.journal()[0], 0xFFFF);
    std::vector<std::uint16_t> block = Read(0, 50);
    EXPECT_EQ(block[reg::Command], 0);

    unit.AddJournalRecord(200, 1, 2);
    EXPECT_EQ(Write(0, block).outcome, WriteAnswerOutcome::Accepted);
    EXPECT_EQ(unit.journal()[0], 200) << "the journal was not cleared again";
}

// --- journal ----------------------------------------------------------------------

bool Empty(const JournalImage& j, int record) {
    return j[static_cast<std::size_t>(record) * 4] == 0xFFFF &&
           j[static_cast<std::size_t>(record) * 4 + 1] == 0xFFFF;
}

// Filled and empty records by index range: [first, last] all filled or all empty.
void ExpectRange(const JournalImage& j, int first, int last, bool filled) {
    for (int r = first; r <= last; ++r)
        ASSERT_EQ(!Empty(j, r), filled) << "record " << r;
}

TEST(SimulatedJournal, PrefillProducesTheWrapStructure) {
    struct Case {
        int fill;
        int newestEnd;  // first empty record
        bool wrapped;
    };
    for (const Case c :
         {Case{0, 0, false}, Case{10, 10, false}, Case{255, 255, false}, Case{256, 256, false},
          Case{300, 300, false}, Case{768, 0, true}, Case{768 + 44, 44, true},
          Case{768 + 256, 256, true}, Case{768 + 255, 255, true}, Case{2 * 768 + 300, 300, true}}) {
        SCOPED_TRACE(c.fill);
        UnitConfig config;
        config.journalFill = c.fill;
        const SimulatedUnit unit(config);
        const JournalImage& j = unit.journal();
        ExpectRange(j, 0, c.newestEnd - 1, true);
        const int pageEnd = (c.newestEnd / 256 + 1) * 256 - 1;
        ExpectRange(j, c.newestEnd, pageEnd, false);
        ExpectRange(j, pageEnd + 1, 767, c.wrapped);
        // Times ascend from the oldest to the newest record.
        if (c.newestEnd >= 2) {
            EXPECT_LT(j[static_cast<std::size_t>(c.newestEnd - 2) * 4 + 1] * 65536u +
                          j[static_cast<std::size_t>(c.newestEnd - 2) * 4],
                      j[static_cast<std::size_t>(c.newestEnd - 1) * 4 + 1] * 65536u +
                          j[static_cast<std::size_t>(c.newestEnd - 1) * 4]);
        }
    }
}

TEST(SimulatedJournal, FillingAPageEmptiesTheNextOne) {
    UnitConfig config;
    config.journalFill = 768 + 255;
    SimulatedUnit unit(config);
    ExpectRange(unit.journal(), 255, 255, false);
    ExpectRange(unit.journal(), 256, 767, true);
    unit.AddJournalRecord(5, 7, 3);  // record 255, the last of page 0
    ExpectRange(unit.journal(), 0, 255, true);
    ExpectRange(unit.journal(), 256, 511, false);
    ExpectRange(unit.journal(), 512, 767, true);
    EXPECT_EQ(unit.journal()[255 * 4 + 2], 7);
    EXPECT_EQ(unit.journal()[255 * 4 + 3], 3);
}

// --- bootloader ---------------------------------------------------------------------

Bytes BootFrame(std::initializer_list<std::uint8_t> body) {
    return WithCrc(Bytes(body));
}

Bytes Packet(std::uint32_t address, const Bytes& image, std::size_t from, std::size_t n) {
    Bytes f{kAddress,
            0x21,
            static_cast<std::uint8_t>(address >> 24),
            static_cast<std::uint8_t>(address >> 16),
            static_cast<std::uint8_t>(address >> 8),
            static_cast<std::uint8_t>(address),
            static_cast<std::uint8_t>(n)};
    f.insert(f.end(), image.begin() + static_cast<std::ptrdiff_t>(from),
             image.begin() + static_cast<std::ptrdiff_t>(from + n));
    return WithCrc(f);
}

Bytes ImageWithCrc(std::size_t bodyWords) {
    Bytes image;
    for (std::size_t i = 0; i < bodyWords * 4; ++i)
        image.push_back(static_cast<std::uint8_t>(i * 7 + 3));
    const std::uint32_t crc = Stm32Crc32(image.data(), image.size());
    for (int s = 0; s < 32; s += 8)
        image.push_back(static_cast<std::uint8_t>(crc >> s));
    return image;
}

// Sends the image in 240-byte packets as the host's write loop does, ending
// with a packet that holds the remainder (possibly none).
void SendImage(SimulatedUnit& unit, const Bytes& image) {
    const std::size_t packets = image.size() / 240;
    for (std::size_t k = 0; k <= packets; ++k) {
        const std::size_t n = k < packets ? 240 : image.size() - 240 * packets;
        const Bytes answer =
            unit.handle(Packet(SimulatedUnit::kAppFlashBase + static_cast<std::uint32_t>(240 * k),
                               image, 240 * k, n),
                        milliseconds{0})
                .bytes();
        ASSERT_EQ(answer, WithCrc({kAddress, 0x21, static_cast<std::uint8_t>(n)}))
            << "packet " << k;
    }
}

TEST(SimulatedBootloader, FullSessionWithGoodImage) {
    UnitConfig config;
    config.flashFreeKiB = 8;
    config.eraseTime = milliseconds{1500};
    SimulatedUnit unit(config);

    EXPECT_EQ(unit.handle(BootFrame({kAddress, 0x30, 0x01}), milliseconds{0}).bytes(),
              BootFrame({kAddress, 0x30, 0x01}));
    EXPECT_TRUE(unit.inBootloader());

    const Bytes regs = unit.handle(BuildReadRequest(kAddress, 0, 11), milliseconds{0}).bytes();
    const ReadAnswer r = ValidateReadAnswer(regs.data(), regs.size(), 11);
    ASSERT_EQ(r.outcome, ReadAnswerOutcome::Accepted);
    EXPECT_EQ(r.words[9], 8) << "FLASH_FREE";
    const Bytes app = unit.handle(BuildReadRequest(kAddress, 4248, 18), milliseconds{0}).bytes();
    const ReadAnswer a = ValidateReadAnswer(app.data(), app.size(), 18);
    ASSERT_EQ(a.outcome, ReadAnswerOutcome::Accepted);
    EXPECT_EQ(a.words[2], 2013);
    EXPECT_EQ(a.words[8] & 0xFF, 'D');
    EXPECT_EQ(a.words[13] >> 8, 0) << "the date's terminator";
    const Bytes monitoring =
        unit.handle(BuildReadRequest(kAddress, 100, 10), milliseconds{0}).bytes();
    EXPECT_EQ(monitoring[1], 0x83) << "the application's registers are not served";

    const Reply erase = unit.handle(BootFrame({kAddress, 0x20, 0x00}), milliseconds{0});
    ASSERT_EQ(erase.pieces.size(), 1u);
    EXPECT_EQ(erase.pieces[0].delay, milliseconds{1500});
    EXPECT_EQ(erase.bytes(), BootFrame({kAddress, 0x20, 0x00, 0x01}));

    const Bytes image = ImageWithCrc(300);  // 1204 bytes: 5 packets and 4 bytes
    SendImage(unit, image);
    EXPECT_EQ(unit.flashWritten(), image.size());
    EXPECT_TRUE(std::equal(image.begin(), image.end(), unit.flash().begin()));

    EXPECT_EQ(unit.handle(BootFrame({kAddress, 0x31, 0x02}), milliseconds{0}).bytes(),
              BootFrame({kAddress, 0xB1, 0x02, 0x00}))
        << "another special code";
    EXPECT_EQ(unit.handle(BootFrame({kAddress, 0x31, 0x01}), milliseconds{0}).bytes(),
              BootFrame({kAddress, 0x31, 0x01, 0x01}));
    EXPECT_FALSE(unit.inBootloader());
}

TEST(SimulatedBootloader, BadImageAndBadPackets) {
    UnitConfig config;
    config.startInBootloader = true;
    config.flashFreeKiB = 1;
    SimulatedUnit unit(config);
    unit.handle(BootFrame({kAddress, 0x20, 0x00}), milliseconds{0});

    Bytes image = ImageWithCrc(120);  // exactly two packets: a last one of no data
    image[17] ^= 0x01;
    SendImage(unit, image);
    EXPECT_EQ(unit.handle(BootFrame({kAddress, 0x31, 0x01}), milliseconds{0}).bytes(),
              BootFrame({kAddress, 0xB1, 0x03, 0x00}));
    EXPECT_TRUE(unit.inBootloader());

    // Writing where the flash was not erased, and beyond the free flash.
    EXPECT_EQ(
        unit.handle(Packet(SimulatedUnit::kAppFlashBase, image, 0, 16), milliseconds{0}).bytes(),
        BootFrame({kAddress, 0xA1, 0x04}));
    EXPECT_EQ(unit.handle(Packet(SimulatedUnit::kAppFlashBase + 1020, image, 0, 8), milliseconds{0})
                  .bytes(),
              BootFrame({kAddress, 0xA1, 0x02}));
    EXPECT_EQ(unit.handle(Packet(0x08000000, image, 0, 8), milliseconds{0}).bytes(),
              BootFrame({kAddress, 0xA1, 0x02}));
    EXPECT_EQ(unit.handle(BootFrame({kAddress, 0x20, 0x07}), milliseconds{0}).bytes(),
              BootFrame({kAddress, 0xA0, 0x03, 0x00}));
    EXPECT_EQ(unit.handle(BuildWriteRequest(kAddress, 0x6800, {1}), milliseconds{0}).bytes(),
              BootFrame({kAddress, 0x90, 0x01}));
}

// --- faults ---------------------------------------------------------------------------

TEST_F(UnitFixture, FaultsChangeEveryKthAnswer) {
    Faults f;
    f.silentEvery = 2;
    unit.SetFaults(f);
    EXPECT_FALSE(Send(BuildReadRequest(kAddress, 0, 5)).silent());
    EXPECT_TRUE(Send(BuildReadRequest(kAddress, 0, 5)).silent());
    EXPECT_FALSE(Send(BuildReadRequest(kAddress, 0, 5)).silent());

    struct Case {
        const char* name;
        Faults faults;
        ReadAnswerOutcome outcome;
    };
    Faults crc;
    crc.corruptCrcEvery = 1;
    Faults exception;
    exception.exceptionEvery = 1;
    exception.exceptionCode = 6;
    Faults count;
    count.wrongByteCountEvery = 1;
    Faults garbage;
    garbage.garbageEvery = 1;
    for (const Case& c : {Case{"crc", crc, ReadAnswerOutcome::CrcError},
                          Case{"exception", exception, ReadAnswerOutcome::Exception},
                          Case{"byte count", count, ReadAnswerOutcome::TooLong},
                          Case{"garbage", garbage, ReadAnswerOutcome::Accepted}}) {
        unit.SetFaults(c.faults);
        EXPECT_EQ(ReadRaw(0, 5).outcome, c.outcome) << c.name;
    }
}

TEST_F(UnitFixture, LateAndSplitAnswersCarryTheirTiming) {
    Faults f;
    f.lateEvery = 1;
    f.lateBy = milliseconds{700};
    f.splitEvery = 1;
    f.splitPieces = 4;
    f.splitGap = milliseconds{30};
    f.onlyRegister = 50;
    unit.SetFaults(f);
    EXPECT_EQ(Send(BuildReadRequest(kAddress, 0, 50)).pieces.size(), 1u)
        << "other registers untouched";
    const Reply reply = Send(BuildReadRequest(kAddress, 50, 125));
    ASSERT_EQ(reply.pieces.size(), 4u);
    EXPECT_EQ(reply.pieces[0].delay, milliseconds{700});
    EXPECT_EQ(reply.pieces[3].delay, milliseconds{30});
    const Bytes all = reply.bytes();
    EXPECT_EQ(ValidateReadAnswer(all.data(), all.size(), 125).outcome, ReadAnswerOutcome::Accepted);
}

// --- battery model --------------------------------------------------------------------

TEST(SimulatedBattery, InvariantsHoldOverALongRun) {
    for (int cells : {1, 16, 200}) {
        SCOPED_TRACE(cells);
        UnitConfig config;
        config.cells = cells;
        config.seed = 7;
        SimulatedUnit unit(config);
        int chargingSeen = 0, dischargingSeen = 0;
        for (int second = 1; second <= 3 * 3600; second += 7) {
            unit.AdvanceTo(milliseconds{second * 1000LL});
            const MonitorImage& m = unit.monitor();
            const Words w(m);
            ASSERT_LE(m[reg::Cell_Voltage_Min], m[reg::Cell_Voltage_Average]);
            ASSERT_LE(m[reg::Cell_Voltage_Average], m[reg::Cell_Voltage_Max]);
            ASSERT_LE(static_cast<std::int16_t>(m[reg::Cell_Temp_Min]),
                      static_cast<std::int16_t>(m[reg::Cell_Temp_Average]));
            ASSERT_LE(static_cast<std::int16_t>(m[reg::Cell_Temp_Average]),
                      static_cast<std::int16_t>(m[reg::Cell_Temp_Max]));
            ASSERT_LE(m[reg::Relative_State_of_Charge], 100);
            ASSERT_LE(w.pair(reg::Remaining_Pack_Capacity), w.pair(reg::Full_Charge_Capacity));

            int flagged[4] = {0, 0, 0, 0};
            std::uint32_t sum = 0;
            for (int k = 1; k <= 200; ++k) {
                const std::uint16_t status = CellStatusWord(m, k);
                const std::uint16_t mv = m[static_cast<std::size_t>(49 + k)];
                const auto t = static_cast<std::int16_t>(m[static_cast<std::size_t>(249 + k)]);
                if (k > cells) {
                    ASSERT_EQ(status | mv, 0) << "cell " << k << " is not present";
                    continue;
                }
                sum += mv;
                if (BitSet(status, cellbit::VMAX)) {
                    ++flagged[0];
                    ASSERT_EQ(mv, m[reg::Cell_Voltage_Max]);
                }
                if (BitSet(status, cellbit::VMIN)) {
                    ++flagged[1];
                    ASSERT_EQ(mv, m[reg::Cell_Voltage_Min]);
                }
                if (BitSet(status, cellbit::TMAX)) {
                    ++flagged[2];
                    ASSERT_EQ(t, static_cast<std::int16_t>(m[reg::Cell_Temp_Max]));
                }
                if (BitSet(status, cellbit::TMIN)) {
                    ++flagged[3];
                    ASSERT_EQ(t, static_cast<std::int16_t>(m[reg::Cell_Temp_Min]));
                }
                ASSERT_EQ(BitSet(status, cellbit::OV), mv > unit.alarmSettings()[0]);
                ASSERT_EQ(BitSet(status, cellbit::UV), mv < unit.alarmSettings()[3]);
            }
            for (int f : flagged)
                ASSERT_EQ(f, 1) << "exactly one cell carries each extreme flag";
            ASSERT_EQ(w.pair(reg::Pack_Voltage_Sum), sum);
            const auto current = static_cast<std::int32_t>(w.pair(reg::Pack_Current));
            ASSERT_EQ(BitSet(m[reg::Charge_Status], 3), current < -500) << "discharging flag";
            ASSERT_EQ(BitSet(m[reg::Battery_Status], 6), current < -500);
            chargingSeen += current > 500;
            dischargingSeen += current < -500;
        }
        EXPECT_GT(chargingSeen, 100);
        EXPECT_GT(dischargingSeen, 100);
    }
}

TEST(SimulatedBattery, SameSeedSameValues) {
    UnitConfig a;
    a.seed = 42;
    UnitConfig b = a;
    UnitConfig c = a;
    c.seed = 43;
    SimulatedUnit ua(a), ub(b), uc(c);
    // Different request timing, same simulated time.
    for (int ms = 0; ms <= 60000; ms += 300)
        ua.AdvanceTo(milliseconds{ms});
    ub.AdvanceTo(milliseconds{60000});
    uc.AdvanceTo(milliseconds{60000});
    EXPECT_EQ(ua.monitor(), ub.monitor());
    EXPECT_NE(ua.monitor(), uc.monitor());
}

TEST(SimulatedBattery, AlarmStartsRaiseFlagsAndJournalRecordsThenRecover) {
    SimulatedUnit unit;
    // Cell voltages spread far less than 5 mV below the average never happens
    // under load: make CUVA trip at 5 mV after 1 s.
    AlarmSettingsImage& alarm = unit.alarmSettingsForTest();
    alarm[9] = 5;
    alarm[10] = 2;
    alarm[11] = 1;
    unit.AdvanceTo(milliseconds{60000});  // a minute into the discharge
    const Words w(unit.monitor());
    EXPECT_TRUE(BitSet(w.pair(reg::Safety_Alert), 3));
    EXPECT_TRUE(BitSet(w.pair(reg::Safety_Status), 3));
    ASSERT_EQ(unit.journalNext(), 1);
    EXPECT_EQ(unit.journal()[2], 3) << "event code CUVA";
    EXPECT_EQ(unit.journal()[3], 3) << "the weak third cell";

    alarm[9] = 5000;
    alarm[10] = 4000;
    unit.AdvanceTo(milliseconds{61000});
    EXPECT_FALSE(BitSet(Words(unit.monitor()).pair(reg::Safety_Status), 3));
    EXPECT_EQ(unit.journalNext(), 1) << "recovery writes no record";
}

TEST(SimulatedBattery, ClockRuns) {
    UnitConfig config;
    config.clockStart = 1000;
    SimulatedUnit unit(config);
    unit.AdvanceTo(milliseconds{5500});
    EXPECT_EQ(Words(unit.monitor()).pair(reg::RTC_Time_Value), 1005u);
}

}  // namespace
}  // namespace kelvra::sim
