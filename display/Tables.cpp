#include "display/Tables.h"

#include <algorithm>

#include "registers/ClockValue.h"
#include "registers/Flags.h"
#include "registers/FormatGeneral.h"
#include "registers/MonitorMap.h"
#include "registers/SettingsTables.h"

namespace kelvra {

namespace {

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QStringList Headers(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* t : texts)
        list << Text(t);
    return list;
}

// Base-block rows shown as the trend graph's series, in series order.
constexpr int kGraphRegisters[17] = {
    reg::Pack_Voltage_Sum,
    reg::Pack_Current,
    reg::Pack_Current_Average,
    reg::Cell_Voltage_Average,
    reg::Cell_Voltage_Max,
    reg::Cell_Voltage_Min,
    reg::Cell_Temp_Average,
    reg::Cell_Temp_Max,
    reg::Cell_Temp_Min,
    reg::Temperature_Ambient,
    reg::Relative_State_of_Charge,
    reg::Absolute_State_of_Charge,
    reg::Remaining_Pack_Capacity,
    reg::Full_Charge_Capacity,
    reg::Run_Time_to_Empty,
    reg::Average_Time_to_Empty,
    reg::Average_Time_to_Full,
};

QString Flag(bool set) {
    return set ? QStringLiteral("1") : QStringLiteral("0");
}

std::int64_t Signed32(const Words& w, int reg) {
    return static_cast<std::int32_t>(w.pair(static_cast<std::size_t>(reg)));
}

}  // namespace

std::vector<Grid> AllGrids() {
    return {Grid::InfoBase, Grid::InfoCell, Grid::InfoAlarm, Grid::InfoCharge,
            Grid::SetRs,    Grid::SetAlarm, Grid::SetCharge, Grid::Log};
}

GridLayout LayoutOf(Grid grid, NameMode names) {
    GridLayout l{grid, "", 0, {}, {}, {}};
    switch (grid) {
        case Grid::InfoBase:
            l.objectName = "StringGrid_INFOBASE_";
            l.rows = 36;
            l.columnWidths = {25, 300, 120, 120};
            l.headers = Headers({"№", "Регистр", "Значение", "Ед.изм."});
            for (const BaseRow& row : BaseRows)
                l.rowNames << RowName(row, names);
            break;
        case Grid::InfoCell:
            l.objectName = "StringGrid_INFOCELL_";
            l.columnWidths = {25, 35, 30};
            l.columnWidths.resize(17, 28);
            l.headers = Headers({"№", "Напр.", "Темп."});
            for (const CellFlag& f : CellFlags)
                l.headers << Text(f.header);
            break;
        case Grid::InfoAlarm:
            l.objectName = "StringGrid_INFOALARM_";
            l.rows = 21;
            l.columnWidths = {25, 300, 100, 100};
            l.headers = Headers({"№", "Тип", "Предупреждение", "Авария"});
            for (const SafetyFlag& f : SafetyFlags)
                l.rowNames << FlagName(f, names);
            break;
        case Grid::InfoCharge:
            l.objectName = "StringGrid_INFOCHARGE_";
            l.rows = 9;
            l.columnWidths = {25, 200, 100, 100};
            l.headers = Headers({"№", "Тип", "Предупреждение", "Режим"});
            for (const ChargeFlag& f : ChargeFlags)
                l.rowNames << FlagName(f, names);
            break;
        case Grid::SetRs:
            l.objectName = "StringGrid_SETRS_";
            l.rows = 6;
            l.columnWidths = {25, 200, 100, 300};
            l.headers = Headers({"№", "Регистр", "Значение", "Расшифровка"});
            for (const RsSettingRow& r : RsSettingRows)
                l.rowNames << Text(r.mnemonic);
            break;
        case Grid::SetAlarm:
        case Grid::SetCharge: {
            const bool alarm = grid == Grid::SetAlarm;
            l.objectName = alarm ? "StringGrid_SETALARM_" : "StringGrid_SETCHARGE_";
            l.rows = alarm ? 46 : 35;
            l.columnWidths = {25, 300, 100, 0};  // column 3 keeps the form's width
            l.headers = Headers({"№", "Тип", "Значение", "Ед.изм."});
            if (alarm)
                for (const SettingRow& r : AlarmSettingRows)
                    l.rowNames << Text(r.mnemonic);
            else
                for (const SettingRow& r : ChargeSettingRows)
                    l.rowNames << Text(r.mnemonic);
            break;
        }
        case Grid::Log:
            l.objectName = "StringGrid_LOG_";
            l.columnWidths = {25, 140, 300, 100};
            l.headers = Headers({"№", "Дата-Время", "Авария", "Элемент"});
            break;
    }
    return l;
}

QStringList GraphSeriesTitles(NameMode names) {
    QStringList titles;
    for (int r : kGraphRegisters)
        titles << RowName(*BaseRowOfRegister(r), names);
    return titles;
}

std::vector<ValueUnit> InfoBaseValues(const MonitorImage& image, ValueMode mode, QChar separator) {
    std::vector<ValueUnit> rows;
    for (const BaseRow& row : BaseRows)
        rows.push_back({BaseValueText(row, image, mode, separator), BaseUnitText(row, mode)});
    return rows;
}

CellTable InfoCellValues(const MonitorImage& image, ValueMode mode, QChar separator) {
    CellTable t;
    // The image holds 200 cells; a larger reported count shows those 200.
    t.cells = std::min<int>(image[reg::Design_Cell_Number], reg::kMaxCells);
    for (int k = 1; k <= t.cells; ++k) {
        QStringList row;
        row << QString::number(k) << CellVoltageText(image, k, mode, separator)
            << CellTemperatureText(image, k);
        const std::uint16_t status = CellStatusWord(image, k);
        for (int b = 0; b < 14; ++b)
            row << (BitSet(status, b) ? QStringLiteral("O") : QString());
        t.rows.push_back(row);
        t.voltages.push_back(image[static_cast<std::size_t>(reg::CellVoltageBase + k - 1)] * 0.001);
        t.temperatures.push_back(static_cast<std::int16_t>(
            image[static_cast<std::size_t>(reg::CellTemperatureBase + k - 1)]));
    }
    return t;
}

CellChartPage ComputeCellChartPage(int cells, int perScreen, int page) {
    CellChartPage p;
    p.perScreenMin = 10;
    // Below 10 cells the range would be upside down; keep a screen of 10.
    p.perScreenMax = std::max(cells, p.perScreenMin);
    p.perScreen = std::clamp(perScreen, p.perScreenMin, p.perScreenMax);
    p.pageMax = cells % p.perScreen != 0 ? cells / p.perScreen : cells / p.perScreen - 1;
    p.pageMax = std::max(p.pageMax, 0);
    p.page = std::clamp(page, 0, p.pageMax);
    const int start = p.page * p.perScreen;
    p.axisMin = start;
    p.axisMax = start + p.perScreen + 1;
    return p;
}

std::vector<std::pair<QString, QString>> InfoAlarmValues(const MonitorImage& image) {
    const Words w(image);
    const std::uint32_t alert = w.pair(reg::Safety_Alert);
    const std::uint32_t status = w.pair(reg::Safety_Status);
    std::vector<std::pair<QString, QString>> rows;
    for (const SafetyFlag& f : SafetyFlags)
        rows.push_back({Flag(BitSet(alert, f.bit)), Flag(BitSet(status, f.bit))});
    return rows;
}

std::vector<std::pair<QString, QString>> InfoChargeValues(const MonitorImage& image) {
    std::vector<std::pair<QString, QString>> rows;
    for (const ChargeFlag& f : ChargeFlags)
        rows.push_back({Flag(BitSet(image[reg::Charge_Alert], f.bit)),
                        Flag(BitSet(image[reg::Charge_Status], f.bit))});
    return rows;
}

std::vector<RsRow> SetRsValues(const RsSettingsImage& image) {
    std::vector<RsRow> rows;
    for (const RsSettingRow& r : RsSettingRows) {
        RsRow row{RsSettingValueText(r, image), std::nullopt};
        if (r.decoding != RsDecoding::None)
            row.decoding = RsDecodingText(r, image);
        rows.push_back(row);
    }
    return rows;
}

namespace {
template <std::size_t N, std::size_t M>
std::vector<ValueUnit> SettingValues(const std::array<SettingRow, N>& table,
                                     const std::array<std::uint16_t, M>& image, ValueMode mode,
                                     QChar separator) {
    std::vector<ValueUnit> rows;
    for (const SettingRow& r : table)
        rows.push_back({SettingValueText(r, image, mode, separator), SettingUnitText(r, mode)});
    return rows;
}
}  // namespace

std::vector<ValueUnit> SetAlarmValues(const AlarmSettingsImage& image, ValueMode mode,
                                      QChar separator) {
    return SettingValues(AlarmSettingRows, image, mode, separator);
}

std::vector<ValueUnit> SetChargeValues(const ChargeSettingsImage& image, ValueMode mode,
                                       QChar separator) {
    return SettingValues(ChargeSettingRows, image, mode, separator);
}

QString JournalTimeText(std::uint32_t clockValue) {
    const ClockFields f = DecodeClockValue(clockValue);
    return QStringLiteral("%1.%2.%3 - %4:%5:%6")
        .arg(f.year)
        .arg(f.month)
        .arg(f.day)
        .arg(f.hour)
        .arg(f.minute)
        .arg(f.second);
}

std::optional<std::vector<QStringList>> JournalRows(const JournalImage& image) {
    constexpr int kRecords = 768;
    constexpr int kPage = 256;
    auto time = [&](int j) { return Words(image).pair(static_cast<std::size_t>(j) * 4); };
    int free = -1;
    for (int j = 0; j < kRecords && free < 0; ++j)
        if (time(j) == 0xFFFFFFFFu)
            free = j;
    if (free < 0)
        return std::nullopt;
    const bool wrapped = time(kRecords - 1) != 0xFFFFFFFFu;
    const int page = free / kPage + 1;
    const int n = wrapped ? kRecords - kPage * page + free : free;

    std::vector<int> order;
    for (int j = free - 1; j >= 0; --j)
        order.push_back(j);
    if (wrapped)
        for (int j = kRecords - 1; j >= kPage * page; --j)
            order.push_back(j);

    std::vector<QStringList> rows;
    int number = n;
    for (int j : order) {
        const auto w = static_cast<std::size_t>(j) * 4;
        const std::uint16_t code = image[w + 2];
        const std::uint16_t cell = image[w + 3];
        rows.push_back({QString::number(number--), JournalTimeText(time(j)), AlarmText(code),
                        cell != 0 ? QString::number(cell) : QString()});
    }
    return rows;
}

MainIndicators BuildMainIndicators(const MonitorImage& m, QChar sep) {
    const Words w(m);
    MainIndicators i;
    const double volts = w.pair(reg::Pack_Voltage_Sum) * 0.001;
    i.capacity = FormatGeneral(w.pair(reg::Design_Capacity) * 0.001, 4, sep);
    i.cellNumber = QString::number(m[reg::Design_Cell_Number]);
    i.packVoltage = FormatGeneral(volts, 6, sep);
    i.packCurrent = FormatGeneral(Signed32(w, reg::Pack_Current_Leakage) * 0.001, 6, sep);
    i.averageCurrent = FormatGeneral(Signed32(w, reg::Pack_Current_Average) * 0.001, 6, sep);
    i.power = FormatGeneral(Signed32(w, reg::Pack_Current) * 0.001 * volts, 6, sep);
    i.averagePower = FormatGeneral(Signed32(w, reg::Pack_Current_Average) * 0.001 * volts, 6, sep);
    i.cellVoltageAverage = FormatGeneral(m[reg::Cell_Voltage_Average] * 0.001, 15, sep);
    i.cellVoltageMax = FormatGeneral(m[reg::Cell_Voltage_Max] * 0.001, 15, sep);
    i.cellVoltageMin = FormatGeneral(m[reg::Cell_Voltage_Min] * 0.001, 15, sep);

    int balancing = 0;
    const int cells = std::min<int>(m[reg::Design_Cell_Number], reg::kMaxCells);
    for (int k = 1; k <= cells; ++k) {
        const std::uint16_t s = CellStatusWord(m, k);
        const QString number = QString::number(k);
        if (BitSet(s, cellbit::VMAX))
            i.voltageMaxCell = number;
        if (BitSet(s, cellbit::VMIN))
            i.voltageMinCell = number;
        if (BitSet(s, cellbit::TMAX))
            i.temperatureMaxCell = number;
        if (BitSet(s, cellbit::TMIN))
            i.temperatureMinCell = number;
        if (BitSet(s, cellbit::BALANCE))
            ++balancing;
    }
    i.balancingCells = QString::number(balancing);

    i.temperatureAverage = QString::number(static_cast<std::int16_t>(m[reg::Cell_Temp_Average]));
    i.temperatureMax = QString::number(static_cast<std::int16_t>(m[reg::Cell_Temp_Max]));
    i.temperatureMin = QString::number(static_cast<std::int16_t>(m[reg::Cell_Temp_Min]));
    const auto ambient = static_cast<std::int16_t>(m[reg::Temperature_Ambient]);
    i.temperatureAmbient = ambient == kAmbientNotConnected ? QStringLiteral("NC")
                                                           : FormatGeneral(ambient * 0.1, 4, sep);

    i.chargeAh = FormatGeneral(Signed32(w, reg::Remaining_Pack_Capacity) * 0.001, 4, sep);
    i.chargePercent = QString::number(m[reg::Absolute_State_of_Charge]);
    i.timeToEmpty = FormatGeneral(m[reg::Run_Time_to_Empty] / 60.0, 4, sep);
    i.averageTimeToEmpty = FormatGeneral(m[reg::Average_Time_to_Empty] / 60.0, 4, sep);
    i.socPosition = m[reg::Absolute_State_of_Charge];
    i.socColor = m[reg::Absolute_State_of_Charge] > 20 ? kSocHigh : kSocLow;

    for (std::size_t k = 0; k < BatteryStatusLamps.size(); ++k)
        i.batteryLamps[k] = BitSet(m[reg::Battery_Status], BatteryStatusLamps[k].bit);
    const std::uint32_t safety = w.pair(reg::Safety_Status);
    for (std::size_t b = 0; b < i.safetyLamps.size(); ++b)
        i.safetyLamps[b] = BitSet(safety, static_cast<int>(b));
    i.loggedIn = BitSet(m[reg::Battery_Mode], kBatteryModeLoggedInBit);
    return i;
}

std::vector<QStringList> GridTexts(Grid grid, const Images& images, NameMode names, ValueMode mode,
                                   QChar separator) {
    const GridLayout layout = LayoutOf(grid, names);
    std::vector<QStringList> rows{layout.headers};
    auto named = [&](int r) {
        return QStringList{QString::number(r), layout.rowNames.value(r - 1)};
    };
    switch (grid) {
        case Grid::InfoBase: {
            const auto values = InfoBaseValues(images.monitor, mode, separator);
            for (int r = 1; r <= static_cast<int>(values.size()); ++r)
                rows.push_back(named(r) << values[r - 1].value << values[r - 1].unit);
            break;
        }
        case Grid::InfoCell: {
            const CellTable t = InfoCellValues(images.monitor, mode, separator);
            if (t.rows.empty())
                rows.push_back(QStringList(17, QString()));
            for (const QStringList& row : t.rows)
                rows.push_back(row);
            break;
        }
        case Grid::InfoAlarm:
        case Grid::InfoCharge: {
            const auto values = grid == Grid::InfoAlarm ? InfoAlarmValues(images.monitor)
                                                        : InfoChargeValues(images.monitor);
            for (int r = 1; r <= static_cast<int>(values.size()); ++r)
                rows.push_back(named(r) << values[r - 1].first << values[r - 1].second);
            break;
        }
        case Grid::SetRs: {
            const auto values = SetRsValues(images.rs);
            for (int r = 1; r <= static_cast<int>(values.size()); ++r)
                rows.push_back(named(r) << values[r - 1].value
                                        << values[r - 1].decoding.value_or(QString()));
            break;
        }
        case Grid::SetAlarm:
        case Grid::SetCharge: {
            const auto values = grid == Grid::SetAlarm
                                    ? SetAlarmValues(images.alarm, mode, separator)
                                    : SetChargeValues(images.charge, mode, separator);
            for (int r = 1; r <= static_cast<int>(values.size()); ++r)
                rows.push_back(named(r) << values[r - 1].value << values[r - 1].unit);
            break;
        }
        case Grid::Log:
            if (const auto journal = JournalRows(images.journal))
                rows.insert(rows.end(), journal->begin(), journal->end());
            break;
    }
    return rows;
}

}  // namespace kelvra
