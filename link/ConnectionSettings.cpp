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

}  // namespace kelvra
