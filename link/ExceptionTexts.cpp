#include "link/ExceptionTexts.h"

namespace kelvra {

const std::array<const char*, 12> ExceptionTexts = {
    " ",                                    // 0
    "Код функции не поддерживается",        // 1 illegal function
    "Недоступный адрес регистра",           // 2 illegal data address
    "Недопустимое значение регистра",       // 3 illegal data value
    "Невосстанавливаемая ошибка",           // 4 unit failure
    "Запрос принят, идет обработка",        // 5 acknowledge
    "Канал занят, повторите запрос позже",  // 6 busy
    " ",                                    // 7
    "Ошибка паритета",                      // 8 memory parity error
    " ",                                    // 9
    " ",                                    // 10
    " ",                                    // 11
};

QString ExceptionDescription(unsigned code) {
    const QString text = code < ExceptionTexts.size()
                             ? QString::fromUtf8(ExceptionTexts[code])
                             : QStringLiteral("Неизвестный код исключения");
    return text + QStringLiteral(" (0x") +
           QStringLiteral("%1").arg(code & 0xFF, 2, 16, QLatin1Char('0')).toUpper() +
           QLatin1Char(')');
}

QString ExceptionText(unsigned code) {
    return code < ExceptionTexts.size() ? QString::fromUtf8(ExceptionTexts[code])
                                        : ExceptionDescription(code);
}

}  // namespace kelvra
