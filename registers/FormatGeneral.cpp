#include "registers/FormatGeneral.h"

#include <QLocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kelvra {

QString FormatGeneral(double x, int digits, QChar decimalSeparator) {
    if (digits < 1)
        digits = 1;
    if (digits > 15)
        digits = 15;
    if (std::isnan(x))
        return QStringLiteral("NAN");
    if (std::isinf(x))
        return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (x == 0.0)
        return QStringLiteral("0");

    // 15 significant digits: d.dddddddddddddde±XX
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(x));
    std::string mantissa;
    const char* p = buffer;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            mantissa.push_back(*p);
    int exponent = std::atoi(p + 1);

    // Round the 15 digits to `digits`, half away from zero.
    std::string kept = mantissa.substr(0, static_cast<std::size_t>(digits));
    if (mantissa[static_cast<std::size_t>(digits)] >= '5') {
        int k = digits - 1;
        while (k >= 0 && kept[static_cast<std::size_t>(k)] == '9') {
            kept[static_cast<std::size_t>(k)] = '0';
            --k;
        }
        if (k >= 0) {
            ++kept[static_cast<std::size_t>(k)];
        } else {
            kept.insert(kept.begin(), '1');
            kept.pop_back();
            ++exponent;
        }
    }
    while (kept.size() > 1 && kept.back() == '0')
        kept.pop_back();

    QString text;
    if (x < 0)
        text += QLatin1Char('-');
    const int length = static_cast<int>(kept.size());
    if (exponent >= -4 && exponent < digits) {
        if (exponent < 0) {
            text += QLatin1Char('0');
            text += decimalSeparator;
            text += QString(-exponent - 1, QLatin1Char('0'));
            text += QString::fromLatin1(kept.c_str());
        } else if (length <= exponent + 1) {
            text += QString::fromLatin1(kept.c_str());
            text += QString(exponent + 1 - length, QLatin1Char('0'));
        } else {
            text += QString::fromLatin1(kept.c_str(), exponent + 1);
            text += decimalSeparator;
            text += QString::fromLatin1(kept.c_str() + exponent + 1);
        }
    } else {
        text += QLatin1Char(kept[0]);
        if (length > 1) {
            text += decimalSeparator;
            text += QString::fromLatin1(kept.c_str() + 1);
        }
        text += QLatin1Char('E');
        text += QString::number(exponent);
    }
    return text;
}

QChar LocaleDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point.isEmpty() ? QLatin1Char('.') : point.at(0);
}

}  // namespace kelvra
