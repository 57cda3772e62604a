#include "registers/Flags.h"

namespace kelvra {

const std::array<SafetyFlag, 20> SafetyFlags = {{
    {0, "SAFETY_STATUS_COV", "Высокое напряжение элемента", "Shape_COV_", "COV"},
    {1, "SAFETY_STATUS_CUV", "Низкое напряжение элемента", "Shape_CUV_", "CUV"},
    {2, "SAFETY_STATUS_COVA", "Напряжение элемента выше среднего", "Shape_COVA_", "COVA"},
    {3, "SAFETY_STATUS_CUVA", "Напряжение элемента ниже среднего", "Shape_CUVA_", "CUVA"},
    {4, "SAFETY_STATUS_COT", "Высокая температура элемента", "Shape_COT_", "COT"},
    {5, "SAFETY_STATUS_CUT", "Низкая температура элемента", "Shape_CUT_", "CUT"},
    {6, "SAFETY_STATUS_COTA", "Температура элемента выше средней", "Shape_COTA_", "COTA"},
    {7, "SAFETY_STATUS_BALANCE_FAIL", "Ошибка схемы балансировки", "Shape_BFAIL_", "BFAIL"},
    {8, "SAFETY_STATUS_OTAA", "Средняя температура АБ выше окружающей", "Shape_OTAA_", "OTAA"},
    {9, "SAFETY_STATUS_AOT", "Высокая средняя температура АБ", "Shape_AOT_", "AOT"},
    {10, "SAFETY_STATUS_OTAMB", "Высокая температура окружающей среды", "Shape_OTAMB_", "OTAMB"},
    {11, "SAFETY_STATUS_OTDS", "Превышено время разряженного состояния", "Shape_OTDS_", "OTDS"},
    {12, "SAFETY_STATUS_OCC", "Превышен максимальный ток заряда", "Shape_OCC_", "OCC"},
    {13, "SAFETY_STATUS_OCD", "Превышен максимальный ток разряда", "Shape_OCD_", "OCD"},
    {14, "SAFETY_STATUS_UTC", "Заряд при температуре ниже допустимой", "Shape_UTC_", "UTC"},
    {15, "SAFETY_STATUS_UTD", "Разряд при температуре ниже допустимой", "Shape_UTD_", "UTD"},
    {16, "SAFETY_STATUS_OVCF", "Высокое напряжение буферного режима", "Shape_OVCF_", "OVCF"},
    {17, "SAFETY_STATUS_OCCF", "Высокий ток буферного режима", "Shape_OCCF_", "OCCF"},
    {18, "SAFETY_STATUS_DWDG", "Потеря связи с датчиками", "Shape_DWDG_", "DWDG"},
    {19, "SAFETY_STATUS_DCNT", "Кол-во датчиков не соответствует", "Shape_DCNT_", "DCNT"},
}};

const std::array<ChargeFlag, 8> ChargeFlags = {{
    {0, "CHARGE_STATUS_CC", "АБ полностью заряжена"},
    {1, "CHARGE_STATUS_DC", "АБ полностью разряжена"},
    {2, "CHARGE_STATUS_CF", "Буферный режим"},
    {3, "CHARGE_STATUS_DS", "АБ разряжается"},
    {4, "CHARGE_STATUS_RCA", "Низкий заряд АБ"},
    {5, "CHARGE_STATUS_MCA", "Высокий заряд АБ"},
    {6, "CHARGE_STATUS_PCH", "Режим предзаряда"},
    {7, "CHARGE_STATUS_BAL", "Режим балансировки"},
}};

const std::array<CellFlag, 14> CellFlags = {{
    {0, "CELL_STATUS_OV", "Высокое напряжение элемента           ", 3, "OV"},
    {1, "CELL_STATUS_UV", "Низкое напряжение элемента            ", 4, "UV"},
    {2, "CELL_STATUS_OVA", "Напряжение элемента выше среднего     ", 5, "OVA"},
    {3, "CELL_STATUS_UVA", "Напряжение элемента ниже среднего     ", 6, "UVA"},
    {4, "CELL_STATUS_OT", "Высокая температура элемента          ", 7, "OT"},
    {5, "CELL_STATUS_UT", "Низкая температура элемента           ", 8, "UT"},
    {6, "CELL_STATUS_OTA", "Температура элемента выше средней     ", 9, "OTA"},
    {7, "CELL_STATUS_BALANCE_FAIL", "Ошибка схемы балансировки             ", 10, "FAIL"},
    {8, "CELL_STATUS_TMAX", "Максимальная температура элемента в АБ", 11, "Tmax"},
    {9, "CELL_STATUS_TMIN", "Минимальное температура элемента в АБ ", 12, "Tmin"},
    {10, "CELL_STATUS_VMAX", "Максимальное напряжение элемента в АБ ", 13, "Vmax"},
    {11, "CELL_STATUS_VMIN", "Минимальное напряжение элемента в АБ  ", 14, "Vmin"},
    {12, "CELL_STATUS_BALANCE", "Балансировка                          ", 15, "BAL"},
    {13, "CELL_STATUS_PCH", "Элемент нуждается в предзаряде        ", 16, "PCH"},
}};

const std::array<StatusLamp, 9> BatteryStatusLamps = {{
    {4, "Shape_FULLY_DISCHARGED_", "АБ полностью разряжена"},
    {5, "Shape_FULLY_CHARGED_", "АБ полностью заряжена"},
    {6, "Shape_DISCHARGING_", "АБ разряжается"},
    {9, "Shape_RCA_", "Низкий заряд АБ (DOUT4)"},
    {11, "Shape_TERMINATE_DISCHARGE_", "Запрет разряда (DOUT2)"},
    {12, "Shape_OVERTEMP_", "Перегрев АБ"},
    {13, "Shape_REDUCED_CHARGE_", "Заряд малым током (DOUT3)"},
    {14, "Shape_TERMINATE_CHARGE_", "Запрет заряда (DOUT1)"},
    {15, "Shape_OVERCHARGED_", "Перезаряд АБ"},
}};

namespace {
constexpr const char* kNoEvent = "--------------------------------------------";
}

const std::array<const char*, 32> AlarmTexts = {
    "Высокое напряжение элемента.                ",
    "Низкое напряжение элемента.                 ",
    "Напряжение элемента выше среднего.          ",
    "Напряжение элемента ниже среднего.          ",
    "Высокая температура элемента.               ",
    "Низкая температура элемента.                ",
    "Температура элемента выше средней           ",
    "Ошибка схемы балансировки.                  ",
    "Средняя температура АБ выше окружающей.     ",
    "Высокая средняя температура АБ.             ",
    "Высокая температура помещения.              ",
    "Превышено время разряженного состояния.     ",
    "Превышен максимальный ток заряда.           ",
    "Превышен максимальный ток разряда.          ",
    "Заряд при температуре ниже допустимой.      ",
    "Разряд при температуре ниже допустимой.     ",
    "Высокое напряжение буферного режима.        ",
    "Высокий ток буферного режима.               ",
    "Потеря связи с датчиками.                   ",
    "Кол-во датчиков не соответствует.           ",
    kNoEvent,
    kNoEvent,
    kNoEvent,
    kNoEvent,
    kNoEvent,
    kNoEvent,
    kNoEvent,
    kNoEvent,
    kNoEvent,
    kNoEvent,
    kNoEvent,
    kNoEvent,
};

QString AlarmText(unsigned code) {
    return code < AlarmTexts.size() ? QString::fromUtf8(AlarmTexts[code]) : QString();
}

}  // namespace kelvra
