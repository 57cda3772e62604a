#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

#include "registers/RegisterValue.h"

namespace kelvra {

// The core half of every display: register images and display modes in,
// texts, lamp states and chart points out. The window binds these to its
// grids, lamps and series; the command-line tool prints them. Neither builds
// a display text of its own.

// --- layout of the grids --------------------------------------------------------------

enum class Grid { InfoBase, InfoCell, InfoAlarm, InfoCharge, SetRs, SetAlarm, SetCharge, Log };

struct GridLayout {
    Grid grid;
    const char* objectName;         // the grid's component name
    int rows;                       // including the header row; 0: set by the grid's fill
    std::vector<int> columnWidths;  // a width of 0 keeps the form's width
    QStringList headers;
    QStringList rowNames;  // names of rows 1.., by the naming mode
};

// The layout of a grid: row count, column widths, header texts, row names.
GridLayout LayoutOf(Grid grid, NameMode names);
// All eight, in the order they are laid out.
std::vector<Grid> AllGrids();

// Titles of the 17 trend-graph series, by the naming mode.
QStringList GraphSeriesTitles(NameMode names);

// --- fills ----------------------------------------------------------------------------------

struct ValueUnit {
    QString value;
    QString unit;
};

// Rows 1..35 of the base information grid.
std::vector<ValueUnit> InfoBaseValues(const MonitorImage& image, ValueMode mode, QChar separator);

// The cell grid and chart: rows 1..n (n = Design_Cell_Number, at most 200),
// 17 columns each; the chart's voltages (V) and temperatures (°C).
struct CellTable {
    int cells = 0;
    std::vector<QStringList> rows;
    std::vector<double> voltages;
    std::vector<double> temperatures;
};
CellTable InfoCellValues(const MonitorImage& image, ValueMode mode, QChar separator);

// The cell chart's window: the ranges of the two up-downs and the visible
// range of the cell axis for n cells, perScreen cells a screen and a page.
struct CellChartPage {
    int perScreenMin = 10;
    int perScreenMax = 10;
    int perScreen = 10;
    int pageMax = 0;
    int page = 0;
    double axisMin = 0;
    double axisMax = 11;
};
CellChartPage ComputeCellChartPage(int cells, int perScreen, int page);

// Columns 2 and 3 ("1"/"0") of the safety and charge status grids.
std::vector<std::pair<QString, QString>> InfoAlarmValues(const MonitorImage& image);
std::vector<std::pair<QString, QString>> InfoChargeValues(const MonitorImage& image);

// The RS-485 settings grid: value of rows 1..5; decoding of rows 2 and 3
// (other rows keep their column 3).
struct RsRow {
    QString value;
    std::optional<QString> decoding;
};
std::vector<RsRow> SetRsValues(const RsSettingsImage& image);
std::vector<ValueUnit> SetAlarmValues(const AlarmSettingsImage& image, ValueMode mode,
                                      QChar separator);
std::vector<ValueUnit> SetChargeValues(const ChargeSettingsImage& image, ValueMode mode,
                                       QChar separator);

// The journal grid's rows 1..N, newest first; nothing when the journal holds
// no empty record (the grid then keeps what it showed).
std::optional<std::vector<QStringList>> JournalRows(const JournalImage& image);
// "yy.m.d - h:m:s" of a ClockValue: 19.12.11 - 9:5:3.
QString JournalTimeText(std::uint32_t clockValue);

// --- the main page --------------------------------------------------------------------

constexpr std::uint32_t kLampOn = 0xFF0000;   // red
constexpr std::uint32_t kLampOff = 0x00FF00;  // lime
constexpr std::uint32_t kSocHigh = 0x008000;  // green
constexpr std::uint32_t kSocLow = 0xFF0000;   // red

struct MainIndicators {
    QString capacity, cellNumber, packVoltage, packCurrent, averageCurrent, power, averagePower;
    QString cellVoltageAverage, cellVoltageMax, cellVoltageMin;
    // The highest-numbered cell carrying the flag; nothing when none does
    // (the edit keeps its text).
    std::optional<QString> voltageMaxCell, voltageMinCell, temperatureMaxCell, temperatureMinCell;
    QString temperatureAverage, temperatureMax, temperatureMin, temperatureAmbient;
    QString balancingCells;
    QString chargeAh, chargePercent, timeToEmpty, averageTimeToEmpty;
    int socPosition = 0;                 // the bar's position; the bar limits it to 0..100
    std::uint32_t socColor = 0;          // 0xRRGGBB
    std::array<bool, 9> batteryLamps{};  // in the order of BatteryStatusLamps
    std::array<bool, 20> safetyLamps{};  // Safety_Status bits 0..19
    bool loggedIn = false;               // Battery_Mode bit 5
};
MainIndicators BuildMainIndicators(const MonitorImage& image, QChar separator);

// --- whole grids as text ----------------------------------------------------------------

// Every row of a grid as the window shows it after SetupGrids and a fill from
// the images, header row included. The command-line tool prints these.
struct Images {
    const MonitorImage& monitor;
    const RsSettingsImage& rs;
    const ChargeSettingsImage& charge;
    const AlarmSettingsImage& alarm;
    const JournalImage& journal;
};
std::vector<QStringList> GridTexts(Grid grid, const Images& images, NameMode names, ValueMode mode,
                                   QChar separator);

}  // namespace kelvra
