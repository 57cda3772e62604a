// Blocking transactions with the real QSerialPort code, against the simulated
// unit and against libmodbus acting as the unit.

#include "link/Transactions.h"

#include "link/Crc16.h"

#include <gtest/gtest.h>

#include <QSerialPort>

#include "sim/SimTransport.h"
#include "support/ModbusServer.h"
#include "support/QtPrinters.h"
#include "support/Recorders.h"

namespace kelvra {
namespace {

using namespace std::chrono_literals;

TransactionTimings Fast() {
    TransactionTimings t;
    t.afterWrite = 0ms;
    t.extraWaitOverride = 15ms;
    return t;
}

struct TransactionFixture : ::testing::Test {
    void SetUp() override {
        transport =
            std::make_unique<sim::SimTransport>(sim::UnitConfig{}, sim::SimTransport::Options{});
        ASSERT_TRUE(transport->Start());
        settings.portName = QString::fromStdString(transport->slavePath());
    }
    void TearDown() override { transport->Stop(); }

    void SetFaults(const sim::Faults& f) {
        transport->WithUnit([&](sim::SimulatedUnit& u) {
            u.SetFaults(f);
            return 0;
        });
    }
    QStringList Boxes() const {
        QStringList texts;
        for (const auto& b : dialogs.boxes)
            texts << b.caption + QStringLiteral(": ") + b.text;
        return texts;
    }

    std::unique_ptr<sim::SimTransport> transport;
    FixedConnectionSettings settings;
    ScriptedDialogs dialogs;
    LinkCounters counters;
    RecordingEvents events;
    LinkReporter reporter{events, counters, true, QLatin1Char(',')};
    Transactions transactions{settings, MakeSystemSerialPort, dialogs, reporter, Fast()};
};

TEST_F(TransactionFixture, WritingSixRegistersSendsOneFrameAndReportsSuccess) {
    transactions.WriteRegisters(0x6800, {238, 4, 0, 0, 0, 0});
    const auto received = transport->received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].frame.size(), 21u);
    EXPECT_EQ(transactions.LastRxCount, 8u);
    EXPECT_EQ(Boxes(), QStringList{QStringLiteral("Успешная запись: Настройки изменены")});
    EXPECT_EQ(dialogs.boxes[0].icon, DialogIcon::None);
}

TEST_F(TransactionFixture, ExceptionAnswerShowsItsDescription) {
    transactions.WriteRegisters(50, {1});  // the cell area is not writable
    EXPECT_EQ(Boxes(),
              QStringList{QStringLiteral("Ответ с ошибкой: Недоступный адрес регистра (0x02)")});
    EXPECT_EQ(events.trace(), QStringList{QStringLiteral("Недоступный адрес регистра (0x02)")});
    EXPECT_TRUE(events.percent().isEmpty()) << "no new percentage after an exception";
}

TEST_F(TransactionFixture, CrcErrorsOfWritesAndReadsAreCounted) {
    sim::Faults f;
    f.corruptCrcEvery = 1;
    SetFaults(f);
    transactions.WriteRegisters(0x6800, {238, 4, 0, 0, 0, 0});
    EXPECT_EQ(Boxes().back(), QStringLiteral("Ошибка: Ошибка CRC ответа"));
    EXPECT_EQ(counters.crcErrors, 1u);
    EXPECT_FALSE(transactions.ReadRegisters(0, 10).has_value());
    EXPECT_EQ(events.lastPanel(1), QStringLiteral("Ошибка CRC ответа!"));
    EXPECT_EQ(counters.crcErrors, 2u);
    EXPECT_TRUE(events.trace().contains(QStringLiteral("Ошибка CRC ответа: 0")));
}

TEST_F(TransactionFixture, ReadRegistersReturnsTheUnitsWords) {
    const auto words = transactions.ReadRegisters(0x7000, 49);
    ASSERT_TRUE(words.has_value());
    transport->WithUnit([&](sim::SimulatedUnit& u) {
        EXPECT_TRUE(std::equal(words->begin(), words->end(), u.alarmSettings().begin()));
        return 0;
    });
    EXPECT_EQ(events.lastPanel(1), QStringLiteral("Ответ принят корректно"));
    EXPECT_EQ(events.trace(), QStringList{QStringLiteral("Ответ получен по: 28672")});
    EXPECT_TRUE(dialogs.boxes.empty());

    EXPECT_FALSE(transactions.ReadRegisters(700, 1).has_value());
    EXPECT_EQ(events.lastPanel(1), QStringLiteral("Ответ с ошибкой: Недоступный адрес регистра"));
}

TEST_F(TransactionFixture, SilentUnitAtRealTimings) {
    Transactions real(settings, MakeSystemSerialPort, dialogs, reporter);  // production waits
    sim::Faults f;
    f.silentEvery = 1;
    SetFaults(f);
    auto start = std::chrono::steady_clock::now();
    real.WriteRegisters(0x6800, {238, 4, 0, 0, 0, 0});
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 1000ms);
    EXPECT_LT(took, 2500ms);  // generous: the machine may be busy
    EXPECT_EQ(Boxes(), QStringList{QStringLiteral("Ошибка: Нет ответа")});
    EXPECT_EQ(counters.noAnswers, 1u);

    events.Clear();
    EXPECT_FALSE(real.ReadRegisters(0, 50).has_value());
    EXPECT_TRUE(events.panel(1).isEmpty()) << "no status text for a missing read answer";
    EXPECT_EQ(events.trace(), QStringList{QStringLiteral("Нет ответа: 0")});
    EXPECT_EQ(events.percent(), QStringLiteral("100"));
}

TEST_F(TransactionFixture, PortHeldByAnotherProgram) {
    QSerialPort other;
    other.setPortName(settings.portName);
    ASSERT_TRUE(other.open(QIODevice::ReadWrite));
    transactions.WriteRegisters(0x6800, {238, 4, 0, 0, 0, 0});
    EXPECT_EQ(Boxes(), (QStringList{QStringLiteral("Error: Ошибка открытия порта"),
                                    QStringLiteral("Ошибка: Нет ответа")}));
    EXPECT_TRUE(transport->received().empty());
}

TEST_F(TransactionFixture, AddressThatIsNotANumberSendsNothing) {
    settings.addressText = QStringLiteral("2x8");
    transactions.WriteRegisters(0x6800, {238, 4, 0, 0, 0, 0});
    EXPECT_FALSE(transactions.ReadRegisters(0, 1).has_value());
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].text, QStringLiteral("'2x8' is not a valid integer value"));
    EXPECT_TRUE(transport->received().empty());
}

TEST_F(TransactionFixture, LongExchangeWaitsForASlowAnswerAndLetsTheWindowRun) {
    // A bootloader erase that takes 700 ms.
    sim::UnitConfig config;
    config.startInBootloader = true;
    config.eraseTime = 700ms;
    transport->Stop();
    transport = std::make_unique<sim::SimTransport>(config, sim::SimTransport::Options{});
    ASSERT_TRUE(transport->Start());
    settings.portName = QString::fromStdString(transport->slavePath());
    TransactionTimings t = Fast();
    t.longPollInterval = 50ms;
    Transactions slow(settings, MakeSystemSerialPort, dialogs, reporter, t);
    const std::uint8_t erase[5] = {238, 0x20, 0x00, 0, 0};
    std::copy(erase, erase + 3, slow.TxFrame.begin());
    const std::uint16_t crc = Crc16(slow.TxFrame.data(), 3);
    slow.TxFrame[3] = static_cast<std::uint8_t>(crc >> 8);
    slow.TxFrame[4] = static_cast<std::uint8_t>(crc & 0xFF);
    int pumped = 0;
    EXPECT_GE(slow.ExchangeFrameLong(5, [&] { ++pumped; }), 6u);
    EXPECT_GE(pumped, 10);
    EXPECT_EQ(slow.RxFrame[3], 1) << "erase status";
}

// --- libmodbus as the unit ----------------------------------------------------------

TEST(TransactionsAgainstLibmodbus, ReadsAndWritesAgree) {
    ModbusServer server(238);
    ASSERT_TRUE(server.ok());
    for (int i = 0; i < 6; ++i)
        server.Set(0x6800 + i, static_cast<std::uint16_t>(100 + i));
    FixedConnectionSettings settings;
    settings.portName = QString::fromStdString(server.path());
    ScriptedDialogs dialogs;
    LinkCounters counters;
    RecordingEvents events;
    LinkReporter reporter(events, counters, true, QLatin1Char(','));
    Transactions transactions(settings, MakeSystemSerialPort, dialogs, reporter, Fast());

    const auto words = transactions.ReadRegisters(0x6800, 6);
    ASSERT_TRUE(words.has_value());
    EXPECT_EQ(*words, (std::vector<std::uint16_t>{100, 101, 102, 103, 104, 105}));

    std::vector<std::uint16_t> alarm(49);
    for (std::size_t i = 0; i < alarm.size(); ++i)
        alarm[i] = static_cast<std::uint16_t>(0xA000 + i);
    transactions.WriteRegisters(0x7000, alarm);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, QStringLiteral("Настройки изменены"));
    for (int i = 0; i < 49; ++i)
        ASSERT_EQ(server.Get(0x7000 + i), 0xA000 + i);

    // libmodbus's own exception for a register beyond its map.
    EXPECT_FALSE(transactions.ReadRegisters(0x8000, 1).has_value());
    EXPECT_EQ(events.lastPanel(1), QStringLiteral("Ответ с ошибкой: Недоступный адрес регистра"));
}

}  // namespace
}  // namespace kelvra
