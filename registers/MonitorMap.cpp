#include "registers/MonitorMap.h"

#include "registers/ClockValue.h"
#include "registers/FormatGeneral.h"

namespace kelvra {

namespace {
constexpr auto U16 = RegType::U16;
constexpr auto S16 = RegType::S16;
constexpr auto U32 = RegType::U32;
constexpr auto S32 = RegType::S32;
constexpr auto Int = Conversion::Integer;
constexpr auto AsRaw = Conversion::SameAsRaw;
constexpr auto Scaled = Conversion::Scaled;
constexpr const char* kBitField = "Битовое поле";
}  // namespace

// row, register, mnemonic, Russian name, type, Raw unit, Converted unit,
// conversion, divisor, digits. The double spaces in some names are the unit's
// own texts.
const std::array<BaseRow, 35> BaseRows = {{
    {1, 0, "Design_Capacity", "Емкость АБ", U32, "мА*ч", "А*ч", Scaled, 1000, 4},
    {2, 2, "Design_Cell_Number", "Число элементов АБ", U16, "шт.", "шт.", Int, 1, 0},
    {3, 4, "RESERVED", "ЗАРЕЗЕРВИРОВАНО", S32, "-", "-", Int, 1, 0},
    {4, 6, "Firmware_Version", "Версия ПО модуля контроллера", U32, "-", "-",
     Conversion::FirmwareVersion, 1, 0},
    {5, 8, "Pack_Voltage_Sum", "Напряжение АБ", U32, "мВ", "В", Scaled, 1000, 6},
    {6, 10, "Pack_Current", "Ток АБ", S32, "мА", "А", Scaled, 1000, 6},
    {7, 12, "Pack_Current_Leakage", "Ток с учетом утечки", S32, "мА", "-", Scaled, 1000, 6},
    {8, 14, "Pack_Current_Average", "Средний ток АБ за минуту", S32, "мА", "А", Scaled, 1000, 6},
    {9, 16, "Cell_Voltage_Average", "Среднее напряжение элементов АБ", U16, "мВ", "В", Scaled, 1000,
     4},
    {10, 17, "Cell_Voltage_Max", "Максимальное  напряжение элемента АБ", U16, "мВ", "В", Scaled,
     1000, 4},
    {11, 18, "Cell_Voltage_Min", "Минимальное  напряжение элемента АБ", U16, "мВ", "В", Scaled,
     1000, 4},
    {12, 19, "Cell_Temp_Average", "Средняя температура элементов АБ", S16, "°С", "°С", Int, 1, 0},
    {13, 20, "Cell_Temp_Max", "Максимальная температура элемента АБ", S16, "°С", "°С", Int, 1, 0},
    {14, 21, "Cell_Temp_Min", "Минимальная температура  элемента АБ", S16, "°С", "°С", Int, 1, 0},
    {15, 22, "Temperature_Ambient", "Температура окружающей среды", S16, "0.1°С", "°С", Scaled, 10,
     4},
    {16, 23, "Relative_State_of_Charge", "Степень заряда АБ от полной емкости", U16, "%", "%", Int,
     1, 0},
    {17, 24, "Absolute_State_of_Charge", "Степень заряда АБ от номинальной емкости", U16, "%", "%",
     Int, 1, 0},
    {18, 26, "Remaining_Pack_Capacity", "Текущий заряд АБ", S32, "мА*ч", "А*ч", Scaled, 1000, 4},
    {19, 28, "Full_Charge_Capacity", "Максимально полученный заряд АБ", U32, "мА*ч", "А*ч", Scaled,
     1000, 4},
    {20, 30, "Run_Time_to_Empty", "Время до полного разряда", U16, "мин", "ч", Scaled, 60, 4},
    {21, 31, "Average_Time_to_Empty", "Время до полного разряда при среднем токе", U16, "мин", "ч",
     Scaled, 60, 4},
    {22, 32, "Average_Time_to_Full", "Время до полного заряда при среднем токе", U16, "мин", "ч",
     Scaled, 60, 4},
    {23, 33, "Battery_Mode", "Регистр режима АБ", U16, kBitField, kBitField, AsRaw, 1, 0},
    {24, 34, "Battery_Status", "Регистр состояния АБ", U16, kBitField, kBitField, AsRaw, 1, 0},
    {25, 35, "Cycle_Count", "Кол-во циклов заряда/разряда", U16, kBitField, kBitField, AsRaw, 1, 0},
    {26, 36, "Safety_Alert", "Регистр аварийных  предупреждений", U32, kBitField, kBitField, AsRaw,
     1, 0},
    {27, 38, "Safety_Status", "Регистр аварийных событий", U32, kBitField, kBitField, AsRaw, 1, 0},
    {28, 40, "Charge_Alert", "Регистр предупреждений событий заряда", U16, kBitField, kBitField,
     AsRaw, 1, 0},
    {29, 41, "Charge_Status", "Регистр событий заряда", U16, kBitField, kBitField, AsRaw, 1, 0},
    {30, 42, "DinDout_Status", "Регистр состояния дискретных входов/выходов", U16, kBitField,
     kBitField, AsRaw, 1, 0},
    {31, 43, "Charging_Current", "Ток заряда", U16, "10мА", "А", Scaled, 100, 4},
    {32, 44, "Charging_Voltage", "Напряжение заряда", U16, "10мВ", "В", Scaled, 100, 4},
    {33, 45, "Command", "Команда", U16, "Код команды", "Код команды", AsRaw, 1, 0},
    {34, 46, "Command_Value", "Параметр команды", U32, "Параметр команды", "Параметр команды",
     AsRaw, 1, 0},
    // "c" here is the Latin letter c.
    {35, 48, "RTC_Time_Value", "Текущее время BMS", U32, "c", "c", Conversion::ClockText, 1, 0},
}};

QString RowName(const BaseRow& row, NameMode mode) {
    return QString::fromUtf8(mode == NameMode::Mnemonic ? row.mnemonic : row.russian);
}

QString BaseUnitText(const BaseRow& row, ValueMode mode) {
    return QString::fromUtf8(mode == ValueMode::Raw ? row.rawUnit : row.convertedUnit);
}

QString BaseValueText(const BaseRow& row, const MonitorImage& image, ValueMode mode,
                      QChar decimalSeparator) {
    const Words words(image);
    if (row.reg == reg::Temperature_Ambient &&
        static_cast<std::int16_t>(words.at(row.reg)) == kAmbientNotConnected)
        return QStringLiteral("NC");
    if (mode == ValueMode::Raw)
        return IntegerText(RawValue(words, row.reg, row.type));

    const std::int64_t value = TypedValue(words, row.reg, row.type);
    switch (row.conversion) {
        case Conversion::Integer:
            return IntegerText(value);
        case Conversion::SameAsRaw:
            return IntegerText(RawValue(words, row.reg, row.type));
        case Conversion::Scaled:
            return FormatGeneral(static_cast<double>(value) / row.divisor, row.digits,
                                 decimalSeparator);
        case Conversion::FirmwareVersion:
            return FirmwareVersionText(static_cast<std::uint32_t>(value));
        case Conversion::ClockText:
            return ClockDateTimeText(static_cast<std::uint32_t>(value));
    }
    return QString();
}

const BaseRow* BaseRowOfRegister(int r) {
    for (const BaseRow& row : BaseRows)
        if (row.reg == r)
            return &row;
    return nullptr;
}

QString FirmwareVersionText(std::uint32_t version) {
    return QString::number(version / 1000) + QLatin1Char('.') +
           QString::number((version / 100) % 10) + QString::number((version / 10) % 10) +
           QString::number(version % 10);
}

QString ClockDateTimeText(std::uint32_t clockValue) {
    const ClockFields f = DecodeClockValue(clockValue);
    return QStringLiteral("%1:%2:%3 %4-%5-%6")
        .arg(f.hour)
        .arg(f.minute)
        .arg(f.second)
        .arg(f.day)
        .arg(f.month)
        .arg(2000 + f.year);
}

QString CellVoltageText(const MonitorImage& image, int cell, ValueMode mode,
                        QChar decimalSeparator) {
    if (cell < 1 || cell > reg::kMaxCells)
        return QString();
    const std::uint16_t mv = Words(image).at(reg::CellVoltageBase + cell - 1);
    if (mode == ValueMode::Raw)
        return IntegerText(mv);
    return FormatGeneral(mv / 1000.0, 4, decimalSeparator);
}

QString CellTemperatureText(const MonitorImage& image, int cell) {
    if (cell < 1 || cell > reg::kMaxCells)
        return QString();
    return IntegerText(
        static_cast<std::int16_t>(Words(image).at(reg::CellTemperatureBase + cell - 1)));
}

std::uint16_t CellStatusWord(const MonitorImage& image, int cell) {
    if (cell < 1 || cell > reg::kMaxCells)
        return 0;
    return Words(image).at(reg::CellStatusBase + cell - 1);
}

}  // namespace kelvra
