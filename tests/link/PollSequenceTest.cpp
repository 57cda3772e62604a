// The poll cycle as a state machine, fed with answers directly: the answers
// come from the simulated unit's handle(), with no port and no waiting.

#include "link/PollSequence.h"

#include "link/Crc16.h"

#include <gtest/gtest.h>

#include "sim/SimulatedUnit.h"
#include "support/QtPrinters.h"
#include "support/Recorders.h"

namespace kelvra {
namespace {

using sim::SimulatedUnit;
using Request = std::pair<int, int>;  // first register, count

struct PollFixture : ::testing::Test {
    RegisterImages images;
    PollOptions options;
    LinkCounters counters;
    RecordingEvents events;
    LinkReporter reporter{events, counters, true, QLatin1Char(',')};
    PollSequence sequence{images, options, reporter};
    SimulatedUnit unit{[] {
        sim::UnitConfig c;
        c.journalFill = 900;
        return c;
    }()};
    std::vector<Request> requests;
    std::uint32_t bytes = 0;
    const QDateTime stamp = QDateTime(QDate(2026, 12, 11), QTime(9, 5, 3));

    void SetUp() override { unit.Freeze(true); }

    // Answers `frame` through the unit and feeds the answer to the sequence.
    PollSequence::StepResult Feed(const ModbusFrame& frame) {
        requests.push_back({frame[2] << 8 | frame[3], frame[4] << 8 | frame[5]});
        const sim::Bytes answer = unit.handle(frame, std::chrono::milliseconds{0}).bytes();
        bytes += static_cast<std::uint32_t>(answer.size());
        return sequence.OnAnswer(answer.data(), answer.size(), bytes, stamp);
    }

    // Runs one whole cycle; returns the number of requests.
    int Cycle() {
        requests.clear();
        ModbusFrame next = sequence.StartCycle();
        for (int guard = 0; guard < 100; ++guard) {
            const PollSequence::StepResult r = Feed(next);
            if (r.cycleEnded)
                return static_cast<int>(requests.size());
            next = r.next;
        }
        ADD_FAILURE() << "the cycle did not end";
        return -1;
    }
};

std::vector<Request> Expected(bool settings, bool journal) {
    std::vector<Request> r = {{0, 50}, {50, 125}, {175, 125}, {300, 125}, {425, 125}, {550, 100}};
    if (settings)
        r.insert(r.end(), {{0x6800, 6}, {0x6C00, 48}, {0x7000, 49}});
    if (journal) {
        for (int k = 0; k < 24; ++k)
            r.push_back({0x7400 + 125 * k, 125});
        r.push_back({0x7FB8, 72});
    }
    return r;
}

TEST_F(PollFixture, CyclesOf6_9_31_34BlocksFillTheImages) {
    struct Case {
        bool settings, journal;
        int blocks;
    };
    for (const Case c : {Case{false, false, 6}, Case{true, false, 9}, Case{false, true, 31},
                         Case{true, true, 34}}) {
        SCOPED_TRACE(c.blocks);
        options.readSettings = c.settings;
        options.readJournal = c.journal;
        EXPECT_EQ(Cycle(), c.blocks);
        EXPECT_EQ(requests, Expected(c.settings, c.journal));
        EXPECT_EQ(sequence.current().step, 1) << "back at block 1";
    }
    const RegisterImages::Snapshot s = images.Take();
    EXPECT_EQ(s.monitor, unit.monitor());
    EXPECT_EQ(s.rs, unit.rsSettings());
    EXPECT_EQ(s.charge, unit.chargeSettings());
    EXPECT_EQ(s.journal, unit.journal());
    for (std::size_t i = 0; i < 49; ++i)
        EXPECT_EQ(s.alarm[i], unit.alarmSettings()[i]);
    EXPECT_EQ(s.alarm[49], 0) << "DIN_Time is not polled";
    EXPECT_EQ(events.lastPanel(1), QStringLiteral("Ответ принят корректно"));
    EXPECT_EQ(events.lastPanel(2), QStringLiteral("Всего принято %1 байт").arg(bytes));
}

TEST_F(PollFixture, SwitchesAreReadAtTheirDecisionPoints) {
    options.readSettings = true;
    ModbusFrame next = sequence.StartCycle();
    for (int i = 0; i < 6; ++i)
        next = Feed(next).next;
    ASSERT_EQ(sequence.current().step, 7);
    // Clearing the box while block 7 is awaited still reads 8 and 9; ticking
    // the journal box meanwhile adds the journal after block 9.
    options.readSettings = false;
    options.readJournal = true;
    for (int i = 0; i < 3; ++i)
        next = Feed(next).next;
    EXPECT_EQ(sequence.current().step, 10);
    EXPECT_EQ(sequence.current().start, 0x7400);
}

TEST_F(PollFixture, TheAddressIsReadForEveryRequest) {
    options.address = 17;
    EXPECT_EQ(sequence.StartCycle()[0], 17);
    options.address = 300;  // the low 8 bits go out
    EXPECT_EQ(sequence.StartCycle()[0], 300 & 0xFF);
}

TEST_F(PollFixture, ExceptionToBlock3KeepsItsWordsAndTheCycleGoesOn) {
    images.Store(RegisterImages::Area::Monitor, 175, std::vector<std::uint16_t>(125, 0xBEEF));
    sim::Faults f;
    f.exceptionEvery = 1;
    f.exceptionCode = 2;
    f.onlyRegister = 175;
    unit.SetFaults(f);
    EXPECT_EQ(Cycle(), 6);
    EXPECT_EQ(requests[3], Request(300, 125)) << "block 4 follows";
    const RegisterImages::Snapshot s = images.Take();
    for (std::size_t i = 175; i < 300; ++i)
        ASSERT_EQ(s.monitor[i], 0xBEEF) << i;
    EXPECT_EQ(s.monitor[300], unit.monitor()[300]);
    EXPECT_TRUE(
        events.panel(1).contains(QStringLiteral("Ответ с ошибкой: Недоступный адрес регистра")));
    EXPECT_TRUE(events.trace().contains(
        QStringLiteral("Недоступный адрес регистра (0x02) Адрес=175 Кол-во=125")));
    EXPECT_EQ(counters.ok, 6u) << "an exception counts as an answer";
}

TEST_F(PollFixture, CrcErrorIsCountedTracedAndLogged) {
    options.logErrors = true;
    sim::Faults f;
    f.corruptCrcEvery = 1;
    f.onlyRegister = 50;
    unit.SetFaults(f);
    EXPECT_EQ(Cycle(), 6);
    EXPECT_EQ(counters.crcErrors, 1u);
    EXPECT_EQ(counters.ok, 5u);
    EXPECT_TRUE(events.panel(1).contains(QStringLiteral("Ошибка CRC ответа!")));
    const QStringList trace = events.trace();
    const int at =
        static_cast<int>(trace.indexOf(QStringLiteral("Ошибка CRC ответа! Адрес=50 Кол-во=125")));
    ASSERT_GE(at, 1);
    EXPECT_EQ(trace[at - 1], QStringLiteral(" "));
    EXPECT_TRUE(trace[at + 1].startsWith(QStringLiteral("rxcnt=255 ByteRx=250 crc=")))
        << trace[at + 1].toStdString();
    EXPECT_EQ(events.dataLog(), QStringList{QStringLiteral(" Ошибка CRC ответа")});
    EXPECT_EQ(events.percent(), QStringLiteral("20")) << "1 error per 5 answers";

    options.logErrors = false;
    Cycle();
    EXPECT_EQ(events.dataLog().size(), 1) << "no log line with the option off";
}

TEST_F(PollFixture, OverLongAndShortAnswersLoseOnlyTheirBlock) {
    images.Store(RegisterImages::Area::Monitor, 0, std::vector<std::uint16_t>(50, 7));
    sim::Faults f;
    f.wrongByteCountEvery = 1;
    f.onlyRegister = 0;
    unit.SetFaults(f);
    EXPECT_EQ(Cycle(), 6);
    EXPECT_EQ(images.Words(RegisterImages::Area::Monitor, 0, 50),
              std::vector<std::uint16_t>(50, 7));
    EXPECT_TRUE(events.trace().contains(
        QStringLiteral("Данные полученные не влазят в массив. Адрес=0 Кол-во=50")));

    // A CRC-good answer with fewer words than asked for stores nothing.
    sequence.StartCycle();
    const std::uint8_t shortAnswer[] = {238, 0x03, 0x02, 0x12, 0x34, 0, 0};
    std::vector<std::uint8_t> frame(shortAnswer, shortAnswer + 5);
    const std::uint16_t crc = Crc16(frame.data(), frame.size());
    frame.push_back(static_cast<std::uint8_t>(crc >> 8));
    frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    sequence.OnAnswer(frame.data(), frame.size(), 0, stamp);
    EXPECT_EQ(images.Words(RegisterImages::Area::Monitor, 0, 2),
              (std::vector<std::uint16_t>{7, 7}));
}

TEST_F(PollFixture, SilenceReportsAndKeepsTheStep) {
    options.logErrors = true;
    ModbusFrame next = sequence.StartCycle();
    next = Feed(next).next;
    ASSERT_EQ(sequence.current().step, 2);
    sequence.OnSilence(stamp);
    sequence.OnSilence(stamp);
    EXPECT_EQ(events.countPanel(1, QStringLiteral("Нет ответа!")), 2);
    EXPECT_EQ(events.trace().count(QStringLiteral("Нет ответа! Адрес=50 Кол-во=125")), 2);
    EXPECT_EQ(counters.noAnswers, 2u);
    EXPECT_EQ(events.dataLog(),
              (QStringList{QStringLiteral(" Нет ответа"), QStringLiteral(" Нет ответа")}));
    EXPECT_EQ(sequence.current().step, 2);
    EXPECT_EQ(sequence.StartCycle(), BuildReadRequest(238, 0, 50)) << "the next cycle starts over";
}

TEST(PollSequenceDelivered, WithoutDiagnosticModeNoTraceAndNoCounters) {
    RegisterImages images;
    PollOptions options;
    LinkCounters counters;
    RecordingEvents events;
    LinkReporter reporter(events, counters, false, QLatin1Char(','));
    PollSequence sequence(images, options, reporter);
    SimulatedUnit unit;
    const ModbusFrame request = sequence.StartCycle();
    const sim::Bytes answer = unit.handle(request, std::chrono::milliseconds{0}).bytes();
    sequence.OnAnswer(answer.data(), answer.size(), 0, QDateTime());
    sequence.OnSilence(QDateTime());
    EXPECT_TRUE(events.trace().isEmpty());
    EXPECT_EQ(counters.ok + counters.crcErrors + counters.noAnswers, 0u);
    EXPECT_EQ(events.percent(), QStringLiteral("100"));
    EXPECT_EQ(events.lastPanel(1), QStringLiteral("Нет ответа!"));
}

TEST(ErrorPercent, ErrorsPerCountedAnswer) {
    const QChar comma(QLatin1Char(','));
    EXPECT_EQ(ErrorPercentText(0, 5, 5, comma), QStringLiteral("100"));
    EXPECT_EQ(ErrorPercentText(1, 2, 1, comma), QStringLiteral("300"));
    EXPECT_EQ(ErrorPercentText(3, 1, 0, comma), QStringLiteral("33,33"));
    EXPECT_EQ(ErrorPercentText(10, 0, 0, comma), QStringLiteral("0"));
}

}  // namespace
}  // namespace kelvra
