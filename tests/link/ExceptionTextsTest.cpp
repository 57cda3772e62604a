#include "link/ExceptionTexts.h"

#include <gtest/gtest.h>

#include "support/QtPrinters.h"

namespace kelvra {
namespace {

TEST(ExceptionTexts, DescriptionCarriesTextAndTwoHexDigits) {
    EXPECT_EQ(ExceptionDescription(2), QStringLiteral("Недоступный адрес регистра (0x02)"));
    EXPECT_EQ(ExceptionDescription(1), QStringLiteral("Код функции не поддерживается (0x01)"));
    EXPECT_EQ(ExceptionDescription(8), QStringLiteral("Ошибка паритета (0x08)"));
    EXPECT_EQ(ExceptionDescription(6),
              QStringLiteral("Канал занят, повторите запрос позже (0x06)"));
}

TEST(ExceptionTexts, CodesWithoutTextAreASingleSpace) {
    for (unsigned code : {0u, 7u, 9u, 10u, 11u})
        EXPECT_STREQ(ExceptionTexts[code], " ");
    EXPECT_EQ(ExceptionDescription(0), QStringLiteral("  (0x00)"));
    EXPECT_EQ(ExceptionDescription(7), QStringLiteral("  (0x07)"));
    EXPECT_EQ(ExceptionDescription(10), QStringLiteral("  (0x0A)"));
    EXPECT_EQ(ExceptionDescription(11), QStringLiteral("  (0x0B)"));
}

TEST(ExceptionTexts, CodesAboveTheTableStillDescribeTheCode) {
    EXPECT_EQ(ExceptionDescription(12), QStringLiteral("Неизвестный код исключения (0x0C)"));
    EXPECT_EQ(ExceptionDescription(0xFF), QStringLiteral("Неизвестный код исключения (0xFF)"));
}

}  // namespace
}  // namespace kelvra
