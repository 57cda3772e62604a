#include "display/Tables.h"

#include <gtest/gtest.h>

#include "registers/ClockValue.h"
#include "registers/Flags.h"
#include "registers/MonitorMap.h"
#include "support/QtPrinters.h"

namespace kelvra {
namespace {

const QChar kPoint(QLatin1Char('.'));

void Put32(MonitorImage& m, int reg, std::uint32_t v) {
    m[static_cast<std::size_t>(reg)] = static_cast<std::uint16_t>(v & 0xFFFF);
    m[static_cast<std::size_t>(reg) + 1] = static_cast<std::uint16_t>(v >> 16);
}

TEST(GridLayouts, NamesFollowTheNamingModeExceptInSettingsGrids) {
    const GridLayout base = LayoutOf(Grid::InfoBase, NameMode::Russian);
    EXPECT_EQ(base.rows, 36);
    EXPECT_EQ(base.rowNames.size(), 35);
    EXPECT_EQ(base.rowNames[4], QStringLiteral("Напряжение АБ"));
    EXPECT_EQ(LayoutOf(Grid::InfoAlarm, NameMode::Mnemonic).rowNames[0],
              QStringLiteral("SAFETY_STATUS_COV"));
    EXPECT_EQ(LayoutOf(Grid::InfoAlarm, NameMode::Russian).rowNames[0],
              QStringLiteral("Высокое напряжение элемента"));
    for (NameMode mode : {NameMode::Mnemonic, NameMode::Russian}) {
        EXPECT_EQ(LayoutOf(Grid::SetRs, mode).rowNames[0], QStringLiteral("RS485_Address"));
        EXPECT_EQ(LayoutOf(Grid::SetAlarm, mode).rowNames[0], QStringLiteral("COV_Threshold"));
        EXPECT_EQ(LayoutOf(Grid::SetCharge, mode).rowNames[0], QStringLiteral("CF_Voltage"));
    }
    const GridLayout cell = LayoutOf(Grid::InfoCell, NameMode::Russian);
    EXPECT_EQ(cell.headers.size(), 17);
    EXPECT_EQ(cell.headers[16], QStringLiteral("PCH"));
    EXPECT_EQ(cell.columnWidths.size(), 17u);
    const QStringList titles = GraphSeriesTitles(NameMode::Russian);
    ASSERT_EQ(titles.size(), 17);
    EXPECT_EQ(titles[0], QStringLiteral("Напряжение АБ"));
    EXPECT_EQ(GraphSeriesTitles(NameMode::Mnemonic)[16], QStringLiteral("Average_Time_to_Full"));
}

TEST(CellTable, RowsFlagsAndChartPoints) {
    MonitorImage m{};
    m[reg::Design_Cell_Number] = 3;
    m[50] = 3312;
    m[250] = static_cast<std::uint16_t>(-5);
    m[450] = 0x3FFF;
    m[452] = 0xC000;  // bits 14 and 15 are not shown
    const CellTable raw = InfoCellValues(m, ValueMode::Raw, kPoint);
    ASSERT_EQ(raw.rows.size(), 3u);
    EXPECT_EQ(raw.rows[0][1], QStringLiteral("3312"));
    EXPECT_EQ(raw.rows[0][2], QStringLiteral("-5"));
    for (int c = 3; c < 17; ++c) {
        EXPECT_EQ(raw.rows[0][c], QStringLiteral("O"));
        EXPECT_EQ(raw.rows[2][c], QString());
    }
    const CellTable converted = InfoCellValues(m, ValueMode::Converted, kPoint);
    EXPECT_EQ(converted.rows[0][1], QStringLiteral("3.312"));
    EXPECT_DOUBLE_EQ(converted.voltages[0], 3.312);
    EXPECT_DOUBLE_EQ(raw.voltages[0], 3.312) << "the chart is in volts in both modes";
    EXPECT_DOUBLE_EQ(raw.temperatures[0], -5);

    m[reg::Design_Cell_Number] = 0;
    const Images images{m, {}, {}, {}, {}};
    const auto grid = GridTexts(Grid::InfoCell, images, NameMode::Russian, ValueMode::Raw, kPoint);
    ASSERT_EQ(grid.size(), 2u) << "header and one empty row";
    EXPECT_EQ(grid[1], QStringList(17, QString()));
    m[reg::Design_Cell_Number] = 250;
    EXPECT_EQ(InfoCellValues(m, ValueMode::Raw, kPoint).rows.size(), 200u);
}

TEST(CellChartPage, PagingKeepsTheWindowInRange) {
    CellChartPage p = ComputeCellChartPage(24, 10, 2);
    EXPECT_EQ(p.pageMax, 2);
    EXPECT_EQ(p.page, 2);
    EXPECT_EQ(p.axisMin, 20);
    EXPECT_EQ(p.axisMax, 31);
    p = ComputeCellChartPage(24, 20, 2);
    EXPECT_EQ(p.pageMax, 1);
    EXPECT_EQ(p.page, 1);
    EXPECT_EQ(p.axisMin, 20);
    EXPECT_EQ(p.axisMax, 41);
    p = ComputeCellChartPage(20, 10, 5);
    EXPECT_EQ(p.pageMax, 1);
    p = ComputeCellChartPage(0, 10, 3);
    EXPECT_EQ(p.page, 0);
    EXPECT_EQ(p.perScreen, 10);
    p = ComputeCellChartPage(5, 10, 0);
    EXPECT_GE(p.perScreenMax, p.perScreenMin);
    EXPECT_EQ(p.pageMax, 0);
}

TEST(StatusGrids, OnesAndZerosByBit) {
    MonitorImage m{};
    Put32(m, reg::Safety_Status, 0x00080000);
    Put32(m, reg::Safety_Alert, 0xFFF00000);  // bits 20..31 show nowhere
    const auto alarm = InfoAlarmValues(m);
    ASSERT_EQ(alarm.size(), 20u);
    for (std::size_t r = 0; r < 20; ++r) {
        EXPECT_EQ(alarm[r].second, r == 19 ? QStringLiteral("1") : QStringLiteral("0"));
        EXPECT_EQ(alarm[r].first, QStringLiteral("0"));
    }
    m[reg::Charge_Status] = 0x0081;
    const auto charge = InfoChargeValues(m);
    ASSERT_EQ(charge.size(), 8u);
    EXPECT_EQ(charge[0].second, QStringLiteral("1"));
    EXPECT_EQ(charge[7].second, QStringLiteral("1"));
    EXPECT_EQ(charge[3].second, QStringLiteral("0"));
}

TEST(SettingsGrids, ValuesAndUnitsByMode) {
    RsSettingsImage rs{238, 2, 1, 0, 0, 0};
    const auto rsRows = SetRsValues(rs);
    EXPECT_EQ(rsRows[1].value, QStringLiteral("2"));
    EXPECT_EQ(rsRows[1].decoding, QStringLiteral(" 38400"));
    EXPECT_EQ(rsRows[2].decoding, QStringLiteral("   8E1"));
    EXPECT_FALSE(rsRows[0].decoding.has_value()) << "row 1 keeps its column 3";

    AlarmSettingsImage alarm{};
    alarm[0] = 4200;
    alarm[12] = static_cast<std::uint16_t>(-20);
    EXPECT_EQ(SetAlarmValues(alarm, ValueMode::Converted, kPoint)[0].value, QStringLiteral("4.2"));
    EXPECT_EQ(SetAlarmValues(alarm, ValueMode::Converted, kPoint)[0].unit, QStringLiteral("В"));
    EXPECT_EQ(SetAlarmValues(alarm, ValueMode::Raw, kPoint)[0].value, QStringLiteral("4200"));
    EXPECT_EQ(SetAlarmValues(alarm, ValueMode::Raw, kPoint)[0].unit, QStringLiteral("мВ"));
    EXPECT_EQ(SetAlarmValues(alarm, ValueMode::Converted, kPoint)[12].value, QStringLiteral("-20"));

    ChargeSettingsImage charge{};
    charge[9] = 30;
    charge[32] = 65486;
    EXPECT_EQ(SetChargeValues(charge, ValueMode::Converted, kPoint)[6].value,
              QStringLiteral("0.5"));
    EXPECT_EQ(SetChargeValues(charge, ValueMode::Raw, kPoint)[6].unit, QStringLiteral("мин"));
    EXPECT_EQ(SetChargeValues(charge, ValueMode::Converted, kPoint)[22].value,
              QStringLiteral("-0.05"));
    EXPECT_EQ(SetChargeValues(charge, ValueMode::Raw, kPoint)[22].value, QStringLiteral("-50"));
}

// --- journal ------------------------------------------------------------------------------

JournalImage Journal(int filled, bool wrapped) {
    JournalImage j;
    j.fill(0xFFFF);
    auto put = [&](int r) {
        const auto w = static_cast<std::size_t>(r) * 4;
        j[w] = static_cast<std::uint16_t>(1000 + r);
        j[w + 1] = 0;
        j[w + 2] = static_cast<std::uint16_t>(r % 20);
        j[w + 3] = static_cast<std::uint16_t>(r % 5);
    };
    for (int r = 0; r < filled; ++r)
        put(r);
    if (wrapped)
        for (int r = (filled / 256 + 1) * 256; r < 768; ++r)
            put(r);
    return j;
}

TEST(JournalGrid, NewestFirstWithTheWrappedPagesAfter) {
    struct Case {
        int free;
        bool wrapped;
        int rows;
        int lastRecord;  // record shown in the last row
    };
    for (const Case c : {Case{0, false, 0, -1}, Case{10, false, 10, 0}, Case{300, true, 556, 512},
                         Case{256, true, 512, 512}, Case{255, true, 767, 256}}) {
        SCOPED_TRACE(c.free);
        const auto rows = JournalRows(Journal(c.free, c.wrapped));
        ASSERT_TRUE(rows.has_value());
        ASSERT_EQ(static_cast<int>(rows->size()), c.rows);
        if (c.rows == 0)
            continue;
        EXPECT_EQ(rows->front()[0], QString::number(c.rows));
        EXPECT_EQ(rows->back()[0], QStringLiteral("1"));
        EXPECT_EQ(rows->front()[1], JournalTimeText(1000 + static_cast<std::uint32_t>(c.free - 1)));
        EXPECT_EQ(rows->back()[1],
                  JournalTimeText(1000 + static_cast<std::uint32_t>(c.lastRecord)));
    }
}

TEST(JournalGrid, FullJournalLeavesTheGridAloneAndEventTexts) {
    JournalImage full{};
    EXPECT_FALSE(JournalRows(full).has_value()) << "no empty record: keep the grid";

    JournalImage j;
    j.fill(0xFFFF);
    const std::uint16_t records[3][4] = {{0, 0, 7, 3}, {0, 0, 25, 0}, {0, 0, 40, 0}};
    for (int r = 0; r < 3; ++r)
        for (int w = 0; w < 4; ++w)
            j[static_cast<std::size_t>(r * 4 + w)] = records[r][w];
    const auto rows = JournalRows(j);
    ASSERT_EQ(rows->size(), 3u);
    EXPECT_EQ((*rows)[2],
              (QStringList{QStringLiteral("1"), QStringLiteral("0.1.1 - 0:0:0"),
                           QStringLiteral("Ошибка схемы балансировки.                  "),
                           QStringLiteral("3")}));
    EXPECT_EQ((*rows)[1][2], QString(44, QLatin1Char('-')));
    EXPECT_EQ((*rows)[1][3], QString());
    EXPECT_EQ((*rows)[0][2], QString());
    EXPECT_EQ(JournalTimeText(EncodeClockValue({3, 5, 9, 11, 12, 19})),
              QStringLiteral("19.12.11 - 9:5:3"));
}

// --- main page ------------------------------------------------------------------------------

TEST(MainIndicators, ValuesLampsAndBar) {
    MonitorImage m{};
    m[reg::Design_Cell_Number] = 8;
    Put32(m, reg::Pack_Current, static_cast<std::uint32_t>(-2000));
    Put32(m, reg::Pack_Voltage_Sum, 50000);
    m[reg::Temperature_Ambient] = 235;
    m[reg::Cell_Voltage_Max] = 3650;
    m[reg::Absolute_State_of_Charge] = 21;
    m[reg::Battery_Status] = 0x4000;
    m[reg::Battery_Mode] = 0x0020;
    m[449 + 3] = 1u << cellbit::TMAX;
    m[449 + 7] = (1u << cellbit::TMAX) | (1u << cellbit::BALANCE);
    m[449 + 2] = 1u << cellbit::BALANCE;
    m[449 + 9] = 1u << cellbit::VMAX;  // beyond the 8 cells present: not looked at
    MainIndicators i = BuildMainIndicators(m, kPoint);
    EXPECT_EQ(i.power, QStringLiteral("-100"));
    EXPECT_EQ(i.temperatureAmbient, QStringLiteral("23.5"));
    EXPECT_EQ(i.cellVoltageMax, QStringLiteral("3.65"));
    EXPECT_EQ(i.temperatureMaxCell, QStringLiteral("7"));
    EXPECT_FALSE(i.voltageMaxCell.has_value());
    EXPECT_EQ(i.balancingCells, QStringLiteral("2"));
    EXPECT_EQ(i.socColor, kSocHigh);
    EXPECT_TRUE(i.loggedIn);
    for (std::size_t k = 0; k < BatteryStatusLamps.size(); ++k)
        EXPECT_EQ(i.batteryLamps[k],
                  QByteArray(BatteryStatusLamps[k].lamp) == "Shape_TERMINATE_CHARGE_");

    m[reg::Absolute_State_of_Charge] = 20;
    m[reg::Temperature_Ambient] = static_cast<std::uint16_t>(-1000);
    Put32(m, reg::Safety_Status, 0x00010000);
    i = BuildMainIndicators(m, kPoint);
    EXPECT_EQ(i.socColor, kSocLow);
    EXPECT_EQ(i.temperatureAmbient, QStringLiteral("NC"));
    for (std::size_t b = 0; b < 20; ++b)
        EXPECT_EQ(i.safetyLamps[b], b == 16) << "only OVCF";
}

}  // namespace
}  // namespace kelvra
