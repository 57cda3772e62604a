#include "registers/SettingsTables.h"

#include "registers/FormatGeneral.h"

namespace kelvra {

namespace {
constexpr auto U16 = RegType::U16;
constexpr auto S16 = RegType::S16;
constexpr auto U32 = RegType::U32;
constexpr auto S32 = RegType::S32;
// "c" is the Latin letter c, "с" the Cyrillic es; "A" in kAmpLatin is Latin,
// every other "А" is Cyrillic. The unit's own firmware uses these texts.
constexpr const char* kSecLatin = "c";
constexpr const char* kSecCyrillic = "с";
constexpr const char* kAmpLatin = "A";
constexpr const char* kDeg = "°С";
}  // namespace

const std::array<RsSettingRow, 5> RsSettingRows = {{
    {1, 0, "RS485_Address", U16, RsDecoding::None},
    {2, 1, "RS485_Baudrate", U16, RsDecoding::BaudRate},
    {3, 2, "RS485_Format", U16, RsDecoding::FrameFormat},
    {4, 3, "Battery_Mode", U16, RsDecoding::None},
    {5, 4, "Safety_Status_Save", U32, RsDecoding::None},
}};

// row, word, mnemonic, type, Raw unit, Converted unit, divisor (0: unscaled)
const std::array<SettingRow, 34> ChargeSettingRows = {{
    {1, 0, "CF_Voltage", U16, "мВ", "В", 1000},
    {2, 1, "CF_Voltage_Tolerance", U16, "мВ", "В", 1000},
    {3, 2, "OVCF_Time", U16, kSecLatin, kSecLatin, 0},
    {4, 4, "CF_Current", S32, "мА", "А", 1000},
    {5, 6, "CF_Current_Tolerance", S32, "мА", "А", 1000},
    {6, 8, "OCCF_Time", U16, kSecLatin, kSecLatin, 0},
    {7, 9, "CF_Time", U16, "мин", "ч", 60},
    {8, 10, "CF_Current_Delta", S32, "мА", "А", 1000},
    {9, 12, "PreCharge_Voltage_Threshold", U16, "мВ", "В", 1000},
    {10, 13, "PreCharge_Voltage_Recovery", U16, "мВ", "В", 1000},
    {11, 14, "PreCharge_Current", U32, "мА", "А", 1000},
    {12, 16, "Charge_Voltage", U16, "мВ", "В", 1000},
    {13, 18, "Charge_Current", U32, "мА", "А", 1000},
    {14, 20, "Charge_To_Disable_Or_Float_Current", U32, "мА", "А", 1000},
    {15, 22, "Balance_Difference_Threshold", U16, "мВ", "В", 1000},
    {16, 23, "Balance_Difference_Recovery", U16, "мВ", "В", 1000},
    {17, 24, "Balance_Difference_Time", U16, kSecLatin, kSecLatin, 0},
    {18, 25, "Balance_Voltage_Threshold", U16, "мВ", "В", 1000},
    {19, 26, "Balance_Voltage_Recovery", U16, "мВ", "В", 1000},
    {20, 28, "Balance_Current", U32, "мА", "А", 1000},
    {21, 30, "Charge_Completion_Time", U16, kSecCyrillic, kSecCyrillic, 0},
    {22, 31, "Discharge_Completion_Time", U16, kSecCyrillic, kSecCyrillic, 0},
    {23, 32, "Transition_to_Idle_Current", S16, "мА", "А", 1000},
    {24, 33, "Transition_to_Idle_Time", U16, kSecCyrillic, kSecCyrillic, 0},
    {25, 34, "Transition_to_Discharge_Current", S16, "мА", "А", 1000},
    {26, 35, "Transition_to_Charge_Current", S16, "мА", "А", 1000},
    {27, 36, "Design_Capacity_1Ah", U32, "мА*ч", "А*ч", 1000},
    {28, 38, "Design_Capacity_1Wh", U32, "мВт*ч", "Вт*ч", 1000},
    {29, 40, "Design_Cell_Number", U16, "шт.", "шт.", 0},
    {30, 41, "Remaining_Capacity_Alarm_Percent", U16, "%", "%", 0},
    {31, 42, "Max_Charge_Capacity_Alarm_Percent", U16, "%", "%", 0},
    {32, 43, "Leakage_Current", U16, "мА", "А", 1000},
    {33, 44, "Balance_Resistor", U16, "мОм", "мОм", 0},
    {34, 45, "Cell_Periodicity", U16, "мс", "мс", 0},
}};

// row, word, mnemonic, type, Raw unit, Converted unit, divisor (0: unscaled)
const std::array<SettingRow, 45> AlarmSettingRows = {{
    {1, 0, "COV_Threshold", U16, "мВ", "В", 1000},
    {2, 1, "COV_Recovery", U16, "мВ", "В", 1000},
    {3, 2, "COV_Time", U16, kSecLatin, kSecLatin, 0},
    {4, 3, "CUV_Threshold", U16, "мВ", "В", 1000},
    {5, 4, "CUV_Recovery", U16, "мВ", "В", 1000},
    {6, 5, "CUV_Time", U16, kSecLatin, kSecLatin, 0},
    {7, 6, "COVA_Threshold", U16, "мВ", "В", 1000},
    {8, 7, "COVA_Recovery", U16, "мВ", "В", 1000},
    {9, 8, "COVA_Time", U16, kSecLatin, kSecLatin, 0},
    {10, 9, "CUVA_Threshold", U16, "мВ", "В", 1000},
    {11, 10, "CUVA_Recovery", U16, "мВ", "В", 1000},
    {12, 11, "CUVA_Time", U16, kSecLatin, kSecLatin, 0},
    {13, 12, "COT_Threshold", S16, kDeg, kDeg, 0},
    {14, 13, "COT_Recovery", S16, kDeg, kDeg, 0},
    {15, 14, "COT_Time", U16, kSecLatin, kSecLatin, 0},
    {16, 15, "CUT_Threshold", S16, kDeg, kDeg, 0},
    {17, 16, "CUT_Recovery", S16, kDeg, kDeg, 0},
    {18, 17, "CUT_Time", U16, kSecLatin, kSecLatin, 0},
    {19, 18, "COTA_Threshold", S16, kDeg, kDeg, 0},
    {20, 19, "COTA_Recovery", S16, kDeg, kDeg, 0},
    {21, 20, "COTA_Time", U16, kSecLatin, kSecLatin, 0},
    {22, 21, "OTAA_Threshold", S16, kDeg, kDeg, 0},
    {23, 22, "OTAA_Recovery", S16, kDeg, kDeg, 0},
    {24, 23, "OTAA_Time", U16, kSecLatin, kSecLatin, 0},
    {25, 24, "AOT_Threshold", S16, kDeg, kDeg, 0},
    {26, 25, "AOT_Recovery", S16, kDeg, kDeg, 0},
    {27, 26, "AOT_Time", U16, kSecLatin, kSecLatin, 0},
    {28, 27, "OTAMB_Threshold", S16, kDeg, kDeg, 0},
    {29, 28, "OTAMB_Recovery", S16, kDeg, kDeg, 0},
    {30, 29, "OTAMB_Time", U16, kSecLatin, kSecLatin, 0},
    {31, 30, "OCC_Threshold", S32, "мА", kAmpLatin, 1000},
    {32, 32, "OCC_Recovery", S32, "мА", kAmpLatin, 1000},
    {33, 34, "OCC_Time", U16, kSecLatin, kSecLatin, 0},
    {34, 36, "OCD_Threshold", S32, "мА", kAmpLatin, 1000},
    {35, 38, "OCD_Recovery", S32, "мА", kAmpLatin, 1000},
    {36, 40, "OCD_Time", U16, kSecLatin, kSecLatin, 0},
    {37, 41, "UTC_Threshold", S16, kDeg, kDeg, 0},
    {38, 42, "UTC_Recovery", S16, kDeg, kDeg, 0},
    {39, 43, "UTC_Time", U16, kSecLatin, kSecLatin, 0},
    {40, 44, "UTD_Threshold", S16, kDeg, kDeg, 0},
    {41, 45, "UTD_Recovery", S16, kDeg, kDeg, 0},
    {42, 46, "UTD_Time", U16, kSecLatin, kSecLatin, 0},
    {43, 47, "DWDG_Time", U16, kSecLatin, kSecLatin, 0},
    {44, 48, "OTDS_Time", U16, "мин", "мин", 0},
    {45, 49, "DIN_Time", U16, "мc", "мc", 0},  // Cyrillic м, Latin c
}};

const std::array<const char*, 5> BaudRateTexts = {"  9600", " 19200", " 38400", " 57600", "115200"};
const std::array<const char*, 3> FrameFormatTexts = {"   8N1", "   8E1", "   8O1"};

QString SettingValueText(const SettingRow& row, Words image, ValueMode mode,
                         QChar decimalSeparator) {
    if (mode == ValueMode::Converted && row.divisor != 0)
        return FormatGeneral(
            static_cast<double>(TypedValue(image, row.word, row.type)) / row.divisor, 4,
            decimalSeparator);
    return IntegerText(RawValue(image, row.word, row.type));
}

QString SettingUnitText(const SettingRow& row, ValueMode mode) {
    return QString::fromUtf8(mode == ValueMode::Raw ? row.rawUnit : row.convertedUnit);
}

QString RsSettingValueText(const RsSettingRow& row, Words image) {
    return IntegerText(RawValue(image, row.word, row.type));
}

QString RsDecodingText(const RsSettingRow& row, Words image) {
    const std::uint16_t value = image.at(row.word);
    switch (row.decoding) {
        case RsDecoding::BaudRate:
            return value < BaudRateTexts.size() ? QString::fromUtf8(BaudRateTexts[value])
                                                : QString();
        case RsDecoding::FrameFormat:
            return value < FrameFormatTexts.size() ? QString::fromUtf8(FrameFormatTexts[value])
                                                   : QString();
        case RsDecoding::None:
            break;
    }
    return QString();
}

}  // namespace kelvra
