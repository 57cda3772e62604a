#pragma once

#include <QString>
#include <array>

namespace kelvra {

// Texts of the Modbus exception codes 0..11, indexed by code. Codes without a
// text of their own hold a single space, not an empty text.
extern const std::array<const char*, 12> ExceptionTexts;

// The code's text for the status bar ("Ответ с ошибкой: " + text); a code
// above 11 has none, so its whole description stands in for it.
QString ExceptionText(unsigned code);

// "<text> (0xNN)" with NN the code as two upper-case hex digits. A code above
// 11 has no text in the table and reads "Неизвестный код исключения (0xNN)".
QString ExceptionDescription(unsigned code);

}  // namespace kelvra
