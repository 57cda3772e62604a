#include "registers/SettingsTables.h"

#include <gtest/gtest.h>

#include "support/QtPrinters.h"

namespace kelvra {
namespace {

const QChar kPoint(QLatin1Char('.'));

template <std::size_t N>
const SettingRow& Find(const std::array<SettingRow, N>& rows, const char* mnemonic) {
    for (const SettingRow& row : rows)
        if (qstrcmp(row.mnemonic, mnemonic) == 0)
            return row;
    ADD_FAILURE() << "no row " << mnemonic;
    return rows[0];
}

template <std::size_t N>
void ExpectRowsCoverImage(const std::array<SettingRow, N>& rows, std::vector<int> fillers,
                          int words) {
    std::vector<int> owner(static_cast<std::size_t>(words), 0);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].row, static_cast<int>(i) + 1);
        owner[static_cast<std::size_t>(rows[i].word)] += 1;
        if (IsPair(rows[i].type)) {
            EXPECT_EQ(rows[i].word % 2, 0) << rows[i].mnemonic;
            owner[static_cast<std::size_t>(rows[i].word) + 1] += 1;
        }
    }
    for (int w = 0; w < words; ++w) {
        const bool filler = std::find(fillers.begin(), fillers.end(), w) != fillers.end();
        EXPECT_EQ(owner[static_cast<std::size_t>(w)], filler ? 0 : 1) << "word " << w;
    }
}

TEST(SettingsTables, RowsCoverEveryWordOnce) {
    ExpectRowsCoverImage(ChargeSettingRows, {3, 17, 27, 46, 47}, 48);
    ExpectRowsCoverImage(AlarmSettingRows, {35}, 50);
}

TEST(SettingsTables, RsDecoding) {
    RsSettingsImage image{};
    image[1] = 4;
    image[2] = 1;
    EXPECT_EQ(RsDecodingText(RsSettingRows[1], image), QStringLiteral("115200"));
    EXPECT_EQ(RsDecodingText(RsSettingRows[2], image), QStringLiteral("   8E1"));
    EXPECT_EQ(RsDecodingText(RsSettingRows[0], image), QString());
    image[1] = 0;
    EXPECT_EQ(RsDecodingText(RsSettingRows[1], image), QStringLiteral("  9600"));
    // Values outside the tables decode to nothing rather than reading past them.
    image[1] = 5;
    image[2] = 3;
    EXPECT_EQ(RsDecodingText(RsSettingRows[1], image), QString());
    EXPECT_EQ(RsDecodingText(RsSettingRows[2], image), QString());
    image[4] = 0xFFFF;
    image[5] = 0xFFFF;
    EXPECT_EQ(RsSettingValueText(RsSettingRows[4], image), QStringLiteral("-1"));
}

struct SettingCase {
    const char* name;
    friend void PrintTo(const SettingCase& c, std::ostream* os) { *os << c.name; }
    bool alarm;  // alarm table, else charge table
    const char* mnemonic;
    std::uint32_t value;
    const char* raw;
    const char* rawUnit;
    const char* converted;
    const char* convertedUnit;
};

class SettingTexts : public ::testing::TestWithParam<SettingCase> {};

TEST_P(SettingTexts, BothModes) {
    const SettingCase& c = GetParam();
    const SettingRow& row =
        c.alarm ? Find(AlarmSettingRows, c.mnemonic) : Find(ChargeSettingRows, c.mnemonic);
    std::array<std::uint16_t, 50> image{};
    image[static_cast<std::size_t>(row.word)] = static_cast<std::uint16_t>(c.value & 0xFFFF);
    if (IsPair(row.type))
        image[static_cast<std::size_t>(row.word) + 1] = static_cast<std::uint16_t>(c.value >> 16);
    EXPECT_EQ(SettingValueText(row, image, ValueMode::Raw, kPoint), QString::fromUtf8(c.raw));
    EXPECT_EQ(SettingUnitText(row, ValueMode::Raw), QString::fromUtf8(c.rawUnit));
    EXPECT_EQ(SettingValueText(row, image, ValueMode::Converted, kPoint),
              QString::fromUtf8(c.converted));
    EXPECT_EQ(SettingUnitText(row, ValueMode::Converted), QString::fromUtf8(c.convertedUnit));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingTexts,
    ::testing::Values(
        SettingCase{"CfTimeHours", false, "CF_Time", 90, "90", "мин", "1.5", "ч"},
        SettingCase{"CfVoltage", false, "CF_Voltage", 54000, "54000", "мВ", "54", "В"},
        SettingCase{"OvcfTimeLatinC", false, "OVCF_Time", 30, "30", "c", "30", "c"},
        SettingCase{"CompletionTimeCyrillicEs", false, "Charge_Completion_Time", 600, "600", "с",
                    "600", "с"},
        SettingCase{"NegativeS16", false, "Transition_to_Idle_Current", 0xFF9Cu, "-100", "мА",
                    "-0.1", "А"},
        SettingCase{"UnsignedPairAboveS32", false, "Charge_Current", 0xFFFFFFFFu, "-1", "мА",
                    "4.295E6", "А"},
        SettingCase{"WattHours", false, "Design_Capacity_1Wh", 4800000, "4800000", "мВт*ч", "4800",
                    "Вт*ч"},
        SettingCase{"Periodicity", false, "Cell_Periodicity", 500, "500", "мс", "500", "мс"},
        SettingCase{"OccNegativeLatinA", true, "OCC_Threshold", 0xFFFF3CB0u, "-50000", "мА", "-50",
                    "A"},
        SettingCase{"CovVolts", true, "COV_Threshold", 3650, "3650", "мВ", "3.65", "В"},
        SettingCase{"CutNegative", true, "CUT_Threshold", 0xFFF6u, "-10", "°С", "-10", "°С"},
        SettingCase{"OtdsMinutes", true, "OTDS_Time", 120, "120", "мин", "120", "мин"},
        SettingCase{"DinMixedLetters", true, "DIN_Time", 50, "50", "мc", "50", "мc"}),
    [](const ::testing::TestParamInfo<SettingCase>& info) { return std::string(info.param.name); });

TEST(SettingsTables, UnitLettersAreTheUnitsOwn) {
    // "c" Latin, "с" Cyrillic, "A" Latin in the current rows of the alarm table.
    EXPECT_EQ(QString::fromUtf8(Find(AlarmSettingRows, "COV_Time").rawUnit), QString(QChar(0x63)));
    EXPECT_EQ(QString::fromUtf8(Find(ChargeSettingRows, "Transition_to_Idle_Time").rawUnit),
              QString(QChar(0x0441)));
    EXPECT_EQ(QString::fromUtf8(Find(AlarmSettingRows, "OCD_Recovery").convertedUnit),
              QString(QChar(0x41)));
    EXPECT_EQ(QString::fromUtf8(Find(ChargeSettingRows, "CF_Current").convertedUnit),
              QString(QChar(0x0410)));
    EXPECT_EQ(QString::fromUtf8(Find(AlarmSettingRows, "DIN_Time").rawUnit),
              QString(QChar(0x043C)) + QChar(0x63));
}

}  // namespace
}  // namespace kelvra
