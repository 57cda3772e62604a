#include "registers/Flags.h"

#include <gtest/gtest.h>

#include "support/QtPrinters.h"

namespace kelvra {
namespace {

TEST(Flags, TablesAreIndexedByBit) {
    for (std::size_t i = 0; i < SafetyFlags.size(); ++i)
        EXPECT_EQ(SafetyFlags[i].bit, static_cast<int>(i));
    for (std::size_t i = 0; i < ChargeFlags.size(); ++i)
        EXPECT_EQ(ChargeFlags[i].bit, static_cast<int>(i));
    for (std::size_t i = 0; i < CellFlags.size(); ++i) {
        EXPECT_EQ(CellFlags[i].bit, static_cast<int>(i));
        EXPECT_EQ(CellFlags[i].column, static_cast<int>(i) + 3);
        EXPECT_EQ(QString::fromUtf8(CellFlags[i].russian).size(), 38) << CellFlags[i].mnemonic;
    }
}

TEST(Flags, SafetyHighWordBitZeroIsOvcfOnly) {
    const std::uint32_t status = 0x00010000;
    int lit = 0;
    for (const SafetyFlag& flag : SafetyFlags) {
        if (BitSet(status, flag.bit)) {
            ++lit;
            EXPECT_STREQ(flag.lamp, "Shape_OVCF_");
        }
    }
    EXPECT_EQ(lit, 1);
}

TEST(Flags, NamesByMode) {
    EXPECT_EQ(FlagName(SafetyFlags[12], NameMode::Russian),
              QStringLiteral("Превышен максимальный ток заряда"));
    EXPECT_EQ(FlagName(SafetyFlags[12], NameMode::Mnemonic), QStringLiteral("SAFETY_STATUS_OCC"));
    EXPECT_EQ(FlagName(ChargeFlags[7], NameMode::Russian), QStringLiteral("Режим балансировки"));
    EXPECT_EQ(FlagName(CellFlags[cellbit::VMAX], NameMode::Mnemonic),
              QStringLiteral("CELL_STATUS_VMAX"));
    EXPECT_STREQ(CellFlags[cellbit::VMAX].header, "Vmax");
}

TEST(Flags, BatteryStatusLampsLightOnlyTheirBits) {
    // 0x4000 lights only "Запрет заряда (DOUT1)"; bits 0..3, 7, 8, 10 light none.
    for (const StatusLamp& lamp : BatteryStatusLamps) {
        EXPECT_EQ(BitSet(0x4000, lamp.bit), QByteArray(lamp.lamp) == "Shape_TERMINATE_CHARGE_");
        EXPECT_FALSE(BitSet(0x058F, lamp.bit)) << lamp.lamp;
    }
}

TEST(Flags, AlarmTextsAre44Characters) {
    for (unsigned code = 0; code < 32; ++code)
        EXPECT_EQ(AlarmText(code).size(), 44) << code;
    EXPECT_EQ(AlarmText(0), QStringLiteral("Высокое напряжение элемента.                "));
    EXPECT_EQ(AlarmText(20), QString(44, QLatin1Char('-')));
    EXPECT_EQ(AlarmText(31), QString(44, QLatin1Char('-')));
    EXPECT_EQ(AlarmText(32), QString());
    EXPECT_EQ(AlarmText(0xFFFF), QString());
}

}  // namespace
}  // namespace kelvra
