// The simulated unit on a real pseudo-terminal, checked by independent
// masters: libmodbus in-process and mbpoll against the kelvra-sim program.

#include "sim/SimTransport.h"

#include <gtest/gtest.h>
#include <modbus.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>

#include "link/ModbusFrame.h"
#include "registers/MonitorMap.h"
#include "support/RawPort.h"

namespace kelvra::sim {
namespace {

constexpr int kAddress = 238;

class LibmodbusAgainstSim : public ::testing::Test {
protected:
    void SetUp() override {
        UnitConfig config;
        config.journalFill = 900;
        transport_ = std::make_unique<SimTransport>(config, SimTransport::Options{});
        ASSERT_TRUE(transport_->Start()) << transport_->errorText();
        ctx_ = modbus_new_rtu(transport_->slavePath().c_str(), 115200, 'N', 8, 1);
        ASSERT_NE(ctx_, nullptr);
        modbus_set_slave(ctx_, kAddress);
        modbus_set_response_timeout(ctx_, 1, 0);
        ASSERT_EQ(modbus_connect(ctx_), 0) << modbus_strerror(errno);
    }
    void TearDown() override {
        if (ctx_) {
            modbus_close(ctx_);
            modbus_free(ctx_);
        }
        transport_->Stop();
    }
    template <typename F>
    auto Unit(F&& f) {
        return transport_->WithUnit(std::forward<F>(f));
    }

    std::unique_ptr<SimTransport> transport_;
    modbus_t* ctx_ = nullptr;
};

TEST_F(LibmodbusAgainstSim, ReadsSeeTheRegistersTheUnitHolds) {
    struct Area {
        int start;
        int count;
    };
    for (const Area a : {Area{0, 50}, Area{50, 125}, Area{550, 100}, Area{0x6800, 6},
                         Area{0x6C00, 48}, Area{0x7000, 50}, Area{0x7400, 125}, Area{0x7FB8, 72}}) {
        std::vector<std::uint16_t> got(static_cast<std::size_t>(a.count));
        ASSERT_EQ(modbus_read_registers(ctx_, a.start, a.count, got.data()), a.count)
            << a.start << ": " << modbus_strerror(errno);
        const std::vector<std::uint16_t> held = Unit([&](SimulatedUnit& u) {
            std::vector<std::uint16_t> words;
            for (int i = 0; i < a.count; ++i) {
                const int r = a.start + i;
                if (r < 650)
                    words.push_back(u.monitor()[static_cast<std::size_t>(r)]);
                else if (r < 0x6C00)
                    words.push_back(u.rsSettings()[static_cast<std::size_t>(r - 0x6800)]);
                else if (r < 0x7000)
                    words.push_back(u.chargeSettings()[static_cast<std::size_t>(r - 0x6C00)]);
                else if (r < 0x7400)
                    words.push_back(u.alarmSettings()[static_cast<std::size_t>(r - 0x7000)]);
                else
                    words.push_back(u.journal()[static_cast<std::size_t>(r - 0x7400)]);
            }
            return words;
        });
        EXPECT_EQ(got, held) << "area " << a.start;
    }
}

TEST_F(LibmodbusAgainstSim, WritesReachTheUnit) {
    std::vector<std::uint16_t> alarm(49);
    for (std::size_t i = 0; i < alarm.size(); ++i)
        alarm[i] = static_cast<std::uint16_t>(1000 + i);
    ASSERT_EQ(modbus_write_registers(ctx_, 0x7000, 49, alarm.data()), 49) << modbus_strerror(errno);
    Unit([&](SimulatedUnit& u) {
        EXPECT_TRUE(std::equal(alarm.begin(), alarm.end(), u.alarmSettings().begin()));
        return 0;
    });
    // The command mailbox: clear the journal.
    const std::uint16_t clear[3] = {3, 0, 0};
    ASSERT_EQ(modbus_write_registers(ctx_, 45, 3, clear), 3);
    EXPECT_EQ(Unit([](SimulatedUnit& u) { return u.journal()[0]; }), 0xFFFF);
}

TEST_F(LibmodbusAgainstSim, ExceptionsAndSilenceAsLibmodbusSeesThem) {
    std::uint16_t word = 0;
    EXPECT_EQ(modbus_read_registers(ctx_, 700, 1, &word), -1);
    EXPECT_EQ(errno, EMBXILADD);
    const std::uint16_t badAddress[1] = {0};
    EXPECT_EQ(modbus_write_registers(ctx_, 0x6800, 1, badAddress), -1);
    EXPECT_EQ(errno, EMBXILVAL);

    Faults f;
    f.silentEvery = 1;
    Unit([&](SimulatedUnit& u) {
        u.SetFaults(f);
        return 0;
    });
    modbus_set_response_timeout(ctx_, 0, 300000);
    EXPECT_EQ(modbus_read_registers(ctx_, 0, 1, &word), -1);
    EXPECT_EQ(errno, ETIMEDOUT);
}

TEST_F(LibmodbusAgainstSim, SplitAnswersStillArriveWhole) {
    Faults f;
    f.splitEvery = 1;
    f.splitPieces = 5;
    f.splitGap = std::chrono::milliseconds{20};
    Unit([&](SimulatedUnit& u) {
        u.SetFaults(f);
        return 0;
    });
    std::vector<std::uint16_t> got(125);
    EXPECT_EQ(modbus_read_registers(ctx_, 50, 125, got.data()), 125) << modbus_strerror(errno);
}

// --- the transport's framing, with raw bytes ---------------------------------------

TEST(SimTransport, FindsRequestsAfterGarbageAndRecordsThem) {
    SimTransport transport(UnitConfig{}, SimTransport::Options{});
    ASSERT_TRUE(transport.Start());
    RawPort port(transport.slavePath());
    ASSERT_TRUE(port.ok());

    // Garbage in front of a request: the reader slides over it.
    Bytes line{0x13, 0x37};
    const Bytes request = BuildReadRequest(kAddress, 0, 2);
    line.insert(line.end(), request.begin(), request.end());
    port.Write(line);
    Bytes answer = port.Read();
    ReadAnswer r = ValidateReadAnswer(answer.data(), answer.size(), 2);
    EXPECT_EQ(r.outcome, ReadAnswerOutcome::Accepted);

    // A cut request is dropped after the silence; the next one is answered.
    port.Write(Bytes(request.begin(), request.begin() + 5));
    EXPECT_TRUE(port.Read(std::chrono::milliseconds{100}).empty());
    port.Write(request);
    answer = port.Read();
    EXPECT_EQ(ValidateReadAnswer(answer.data(), answer.size(), 2).outcome,
              ReadAnswerOutcome::Accepted);

    // Requests to another unit are received but not answered.
    port.Write(BuildReadRequest(17, 0, 2));
    EXPECT_TRUE(port.Read(std::chrono::milliseconds{100}).empty());

    const auto received = transport.received();
    ASSERT_GE(received.size(), 3u);
    EXPECT_EQ(received.back().frame, BuildReadRequest(17, 0, 2));
    EXPECT_EQ(received.front().frame, request);
}

TEST(SimTransport, TurnaroundAndLateAnswersDelayTheAnswer) {
    SimTransport::Options options;
    options.turnaround = std::chrono::milliseconds{80};
    SimTransport transport(UnitConfig{}, options);
    ASSERT_TRUE(transport.Start());
    RawPort port(transport.slavePath());
    const auto start = std::chrono::steady_clock::now();
    port.Write(BuildReadRequest(kAddress, 0, 1));
    EXPECT_FALSE(port.Read().empty());
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds{80});
}

TEST(SimTransport, StoppingHangsUpTheLine) {
    SimTransport transport(UnitConfig{}, SimTransport::Options{});
    ASSERT_TRUE(transport.Start());
    RawPort port(transport.slavePath());
    transport.Stop();
    transport.Stop();  // harmless
    port.Read(std::chrono::milliseconds{200});
    EXPECT_TRUE(port.hungUp());
}

TEST(SimTransport, ExpectedRequestLengths) {
    const std::uint8_t write[] = {1, 0x10, 0, 0, 0, 3, 6};
    EXPECT_EQ(ExpectedRequestLength(write, 7), 15);
    EXPECT_EQ(ExpectedRequestLength(write, 6), 0);
    const std::uint8_t packet[] = {1, 0x21, 8, 0, 0x20, 0, 240};
    EXPECT_EQ(ExpectedRequestLength(packet, 7), 249);
    const std::uint8_t read[] = {1, 0x03};
    EXPECT_EQ(ExpectedRequestLength(read, 2), 8);
    const std::uint8_t init[] = {1, 0x30};
    EXPECT_EQ(ExpectedRequestLength(init, 2), 5);
    const std::uint8_t unknown[] = {1, 0x2B};
    EXPECT_EQ(ExpectedRequestLength(unknown, 2), -1);
    EXPECT_EQ(ExpectedRequestLength(unknown, 1), 0);
}

// --- kelvra-sim as a program, read by mbpoll ----------------------------------------

TEST(KelvraSimProgram, MbpollReadsItAndSigtermEndsIt) {
    const QString mbpoll = QStandardPaths::findExecutable(QStringLiteral("mbpoll"));
    if (mbpoll.isEmpty())
        GTEST_SKIP() << "mbpoll is not installed";
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("unit"));
    QProcess sim;
    sim.start(QStringLiteral(KELVRA_SIM_PATH),
              {QStringLiteral("--link"), link, QStringLiteral("--cells"), QStringLiteral("24"),
               QStringLiteral("--address"), QStringLiteral("17")});
    ASSERT_TRUE(sim.waitForStarted());
    ASSERT_TRUE(sim.waitForReadyRead(5000));
    const QString path = QString::fromLocal8Bit(sim.readLine()).trimmed();
    EXPECT_TRUE(path.startsWith(QStringLiteral("/dev/pts/"))) << path.toStdString();

    // Registers 0..2 (zero-based): Design_Capacity low and high words, then
    // Design_Cell_Number.
    QProcess client;
    client.start(mbpoll, {QStringLiteral("-m"), QStringLiteral("rtu"), QStringLiteral("-a"),
                          QStringLiteral("17"), QStringLiteral("-b"), QStringLiteral("115200"),
                          QStringLiteral("-P"), QStringLiteral("none"), QStringLiteral("-t"),
                          QStringLiteral("4"), QStringLiteral("-0"), QStringLiteral("-r"),
                          QStringLiteral("0"), QStringLiteral("-c"), QStringLiteral("3"),
                          QStringLiteral("-1"), link});
    ASSERT_TRUE(client.waitForFinished(10000));
    const QString out =
        QString::fromLocal8Bit(client.readAllStandardOutput() + client.readAllStandardError());
    EXPECT_EQ(client.exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("[2]: \t24"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("[1]: \t1"))) << out.toStdString();

    ::kill(static_cast<pid_t>(sim.processId()), SIGTERM);
    ASSERT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(link)) << "the link is removed at exit";
}

TEST(KelvraSimProgram, RefusesBadOptions) {
    QProcess sim;
    sim.start(QStringLiteral(KELVRA_SIM_PATH), {QStringLiteral("--cells"), QStringLiteral("201")});
    ASSERT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitCode(), 2);
    EXPECT_TRUE(sim.readAllStandardError().contains("--cells"));
}

}  // namespace
}  // namespace kelvra::sim
