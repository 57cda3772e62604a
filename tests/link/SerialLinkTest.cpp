// The real QSerialPort code against the simulated unit on a pseudo-terminal.
// Most tests shorten the silence and the frame delay; one runs at the real
// values.

#include "link/SerialLink.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include "sim/SimTransport.h"
#include "support/QtPrinters.h"
#include "support/Recorders.h"

namespace kelvra {
namespace {

using namespace std::chrono_literals;
using Request = std::pair<int, int>;

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

LinkTimings FastTimings() {
    LinkTimings t;
    t.silence = 400ms;
    t.extraWait = 0ms;
    t.frameDelayOverride = 25ms;
    return t;
}

// Everything a monitoring link needs, wired as the window wires it, on the
// port at `path`.
struct LinkUnderTest {
    LinkUnderTest(const std::string& path, LinkTimings timings)
        : link(sequence, reporter, MakeSystemSerialPort, timings) {
        settings.portName = QString::fromStdString(path);
    }
    bool Cycle(std::chrono::milliseconds timeout) {
        link.StartCycle();
        return WaitUntil([&] { return link.CycleDone.load(); }, timeout);
    }
    FixedConnectionSettings settings;
    RegisterImages images;
    PollOptions options;
    LinkCounters counters;
    RecordingEvents events;
    LinkReporter reporter{events, counters, true, QLatin1Char(',')};
    PollSequence sequence{images, options, reporter};
    SerialLink link;
};

class SerialLinkFixture : public ::testing::Test, protected LinkUnderTest {
protected:
    SerialLinkFixture() : LinkUnderTest(std::string(), FastTimings()) {}

    void SetUp() override { StartUnit(); }
    void TearDown() override {
        link.CloseLink();
        if (transport)
            transport->Stop();
    }

    void StartUnit(sim::UnitConfig config = {}) {
        config.journalFill = 900;
        transport = std::make_unique<sim::SimTransport>(config, sim::SimTransport::Options{});
        ASSERT_TRUE(transport->Start());
        transport->WithUnit([](sim::SimulatedUnit& u) {
            u.Freeze(true);
            return 0;
        });
        settings.portName = QString::fromStdString(transport->slavePath());
    }

    std::vector<Request> Received() {
        std::vector<Request> r;
        for (const auto& f : transport->received())
            r.push_back({f.frame[2] << 8 | f.frame[3], f.frame[4] << 8 | f.frame[5]});
        return r;
    }

    // Starts a cycle as the tick does and waits for its end.
    bool RunCycle(std::chrono::milliseconds timeout = 10s) { return Cycle(timeout); }

    void SetFaults(const sim::Faults& f) {
        transport->WithUnit([&](sim::SimulatedUnit& u) {
            u.SetFaults(f);
            return 0;
        });
    }

    std::unique_ptr<sim::SimTransport> transport;
};

TEST_F(SerialLinkFixture, CyclesSendTheScheduleAndFillTheImages) {
    ASSERT_TRUE(link.OpenLink(settings));
    EXPECT_EQ(events.lastPanel(0), QStringLiteral("Порт открыт успешно."));
    struct Case {
        bool settings, journal;
        int blocks;
    };
    for (const Case c : {Case{false, false, 6}, Case{true, false, 9}, Case{false, true, 31},
                         Case{true, true, 34}}) {
        SCOPED_TRACE(c.blocks);
        options.readSettings = c.settings;
        options.readJournal = c.journal;
        transport->ClearReceived();
        ASSERT_TRUE(RunCycle());
        EXPECT_FALSE(link.NoAnswer);
        const std::vector<Request> got = Received();
        ASSERT_EQ(got.size(), static_cast<std::size_t>(c.blocks));
        EXPECT_EQ(got.front(), Request(0, 50));
        EXPECT_EQ(got.back(), c.journal    ? Request(0x7FB8, 72)
                              : c.settings ? Request(0x7000, 49)
                                           : Request(550, 100));
    }
    const RegisterImages::Snapshot s = images.Take();
    transport->WithUnit([&](sim::SimulatedUnit& u) {
        // The unit's clock (registers 48, 49) runs on while the model stands.
        MonitorImage expected = u.monitor();
        expected[48] = s.monitor[48];
        expected[49] = s.monitor[49];
        EXPECT_EQ(s.monitor, expected);
        EXPECT_EQ(s.rs, u.rsSettings());
        EXPECT_EQ(s.charge, u.chargeSettings());
        EXPECT_EQ(s.journal, u.journal());
        return 0;
    });
    EXPECT_EQ(events.lastPanel(0), QStringLiteral("Передача прошла успешно"));
    EXPECT_EQ(events.lastPanel(2),
              QStringLiteral("Всего принято %1 байт").arg(link.BytesReceived.load()));
}

TEST_F(SerialLinkFixture, ExceptionAndCrcErrorLoseOnlyTheirBlock) {
    ASSERT_TRUE(link.OpenLink(settings));
    images.Store(RegisterImages::Area::Monitor, 175, std::vector<std::uint16_t>(125, 0xBEEF));
    sim::Faults f;
    f.exceptionEvery = 1;
    f.exceptionCode = 2;
    f.onlyRegister = 175;
    SetFaults(f);
    ASSERT_TRUE(RunCycle());
    EXPECT_EQ(Received().size(), 6u);
    EXPECT_EQ(images.Words(RegisterImages::Area::Monitor, 175, 125),
              std::vector<std::uint16_t>(125, 0xBEEF));
    EXPECT_TRUE(
        events.panel(1).contains(QStringLiteral("Ответ с ошибкой: Недоступный адрес регистра")));

    f = {};
    f.corruptCrcEvery = 1;
    f.onlyRegister = 300;
    SetFaults(f);
    ASSERT_TRUE(RunCycle());
    EXPECT_EQ(counters.crcErrors, 1u);
    EXPECT_TRUE(events.panel(1).contains(QStringLiteral("Ошибка CRC ответа!")));
}

TEST_F(SerialLinkFixture, SplitAnswersAndTrailingGarbageStillRead) {
    ASSERT_TRUE(link.OpenLink(settings));
    sim::Faults f;
    f.splitEvery = 1;
    f.splitPieces = 4;
    f.splitGap = 3ms;
    f.garbageEvery = 2;
    SetFaults(f);
    ASSERT_TRUE(RunCycle());
    EXPECT_EQ(counters.ok, 6u);
    EXPECT_EQ(counters.crcErrors, 0u);
}

TEST_F(SerialLinkFixture, SilenceAfterBlock2RepeatsAndTheNextCycleStartsOver) {
    options.logErrors = true;
    ASSERT_TRUE(link.OpenLink(settings));
    sim::Faults f;
    f.silentEvery = 1;
    f.onlyRegister = 50;
    SetFaults(f);
    ASSERT_TRUE(RunCycle());
    EXPECT_TRUE(link.NoAnswer);
    EXPECT_EQ(Received(), (std::vector<Request>{{0, 50}, {50, 125}}));
    // Still silent: reported again every silence period without a new tick.
    EXPECT_TRUE(events.WaitForPanel(1, QStringLiteral("Нет ответа!"), 3, 2s));
    EXPECT_GE(events.trace().count(QStringLiteral("Нет ответа! Адрес=50 Кол-во=125")), 3);
    EXPECT_TRUE(
        WaitUntil([&] { return events.dataLog().count(QStringLiteral(" Нет ответа")) >= 3; }, 1s));

    SetFaults({});
    transport->ClearReceived();
    ASSERT_TRUE(RunCycle());
    EXPECT_FALSE(link.NoAnswer);
    EXPECT_EQ(Received().front(), Request(0, 50));
    EXPECT_EQ(Received().size(), 6u);
}

TEST_F(SerialLinkFixture, PortThatDoesNotExist) {
    settings.portName = QStringLiteral("/dev/kelvra-no-such-port");
    EXPECT_FALSE(link.OpenLink(settings));
    EXPECT_FALSE(link.IsOpen());
    EXPECT_TRUE(link.CycleDone);
    EXPECT_EQ(events.lastPanel(0), QStringLiteral("Не удалось открыть порт"));
}

TEST_F(SerialLinkFixture, CloseLinkIsPromptFromAnyState) {
    link.CloseLink();  // nothing open
    link.CloseLink();
    EXPECT_TRUE(link.CycleDone);

    ASSERT_TRUE(link.OpenLink(settings));
    sim::Faults f;
    f.lateEvery = 1;
    f.lateBy = 2000ms;
    SetFaults(f);
    link.StartCycle();
    ASSERT_TRUE(transport->WaitForReceived(1, 2s));
    EXPECT_FALSE(link.CycleDone);
    const auto start = std::chrono::steady_clock::now();
    link.CloseLink();  // a request is outstanding
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    EXPECT_TRUE(link.CycleDone);
    link.CloseLink();
}

TEST_F(SerialLinkFixture, UnpluggedConverterNeitherSpinsNorFloodsAndANewRunWorks) {
    ASSERT_TRUE(link.OpenLink(settings));
    ASSERT_TRUE(RunCycle());
    transport->Stop();  // the far end vanishes
    link.StartCycle();
    const double cpuBefore = CpuSeconds();
    std::this_thread::sleep_for(1300ms);  // a little over three silence periods
    const double cpuUsed = CpuSeconds() - cpuBefore;
    EXPECT_LT(cpuUsed, 0.5) << "the link must wait, not spin";
    const int reports = events.countPanel(1, QStringLiteral("Нет ответа!"));
    EXPECT_GE(reports, 2);
    EXPECT_LE(reports, 4) << "one report per silence period";
    EXPECT_TRUE(link.CycleDone);
    link.CloseLink();

    StartUnit();  // the converter is back (at a new path, as a pty is)
    ASSERT_TRUE(link.OpenLink(settings));
    ASSERT_TRUE(RunCycle());
    EXPECT_FALSE(link.NoAnswer);
    EXPECT_EQ(Received().size(), 6u);
}

TEST(SerialLinkRealTimings, SixBlocksAndThreeSecondsOfSilence) {
    sim::SimTransport transport(sim::UnitConfig{}, sim::SimTransport::Options{});
    ASSERT_TRUE(transport.Start());
    LinkUnderTest t(transport.slavePath(), LinkTimings{});  // production timings
    ASSERT_TRUE(t.link.OpenLink(t.settings));

    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(t.Cycle(5s));
    const auto cycle = std::chrono::steady_clock::now() - start;
    // Each block waits 22 + 250 ms after its first character at 115200 baud.
    EXPECT_GE(cycle, 6 * 272ms);
    EXPECT_EQ(t.counters.ok, 6u);

    sim::Faults silent;
    silent.silentEvery = 1;
    transport.WithUnit([&](sim::SimulatedUnit& u) {
        u.SetFaults(silent);
        return 0;
    });
    start = std::chrono::steady_clock::now();
    ASSERT_TRUE(t.Cycle(5s));
    const auto silence = std::chrono::steady_clock::now() - start;
    EXPECT_GE(silence, 3000ms);
    EXPECT_LT(silence, 4000ms);  // generous: the machine may be busy
    EXPECT_TRUE(t.link.NoAnswer);
    t.link.CloseLink();
    transport.Stop();
}

}  // namespace
}  // namespace kelvra

#include "support/ModbusServer.h"

namespace kelvra {
namespace {

TEST(SerialLinkAgainstLibmodbus, CycleFillsTheImageWithItsRegisters) {
    ModbusServer server(238);
    ASSERT_TRUE(server.ok());
    for (int r = 0; r < 650; ++r)
        server.Set(r, static_cast<std::uint16_t>(r * 3 + 1));
    LinkUnderTest t(server.path(), FastTimings());
    ASSERT_TRUE(t.link.OpenLink(t.settings));
    ASSERT_TRUE(t.Cycle(10s));
    EXPECT_FALSE(t.link.NoAnswer);
    const MonitorImage monitor = t.images.Take().monitor;
    for (std::size_t r = 0; r < 650; ++r)
        ASSERT_EQ(monitor[r], r * 3 + 1) << r;
    t.link.CloseLink();
}

}  // namespace
}  // namespace kelvra
