#include "link/ConnectionSettings.h"

namespace kelvra {

std::optional<int> ParseDecimalInt(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    for (int i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (!(c.isDigit() && c.unicode() < 128) &&
            !(i == 0 && (c == QLatin1Char('-') || c == QLatin1Char('+'))))
            return std::nullopt;
    }
    bool ok = false;
    const int value = t.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

QString AddressProblem(const QString& text) {
    const std::optional<int> address = ParseDecimalInt(text);
    if (!address)
        return QStringLiteral("Введите адрес десятичным числом от 0 до 255!");
    if (*address < 0 || *address > 255)
        return QStringLiteral("Адрес должен быть в диапазоне от 0 до 255!");
    return QString();
}

}  // namespace kelvra
