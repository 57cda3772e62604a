#pragma once

#include <QString>
#include <optional>

namespace kelvra {

// The five connection settings, read at the moment of use: the window reads
// its connection dialog's controls, the command-line tool its options.
class ConnectionSettings {
public:
    virtual ~ConnectionSettings() = default;
    virtual QString PortName() const = 0;
    virtual int BaudIndex() const = 0;    // 0..4: 9600 .. 115200
    virtual int FormatIndex() const = 0;  // 0..2: 8N1, 8E1, 8O1
    virtual QString AddressText() const = 0;
    virtual QString PeriodText() const = 0;  // seconds, comma as separator
};

// Settings held in plain fields, for the command-line tool and tests.
struct FixedConnectionSettings : ConnectionSettings {
    QString portName;
    int baudIndex = 4;
    int formatIndex = 0;
    QString addressText = QStringLiteral("238");
    QString periodText = QStringLiteral("1");

    QString PortName() const override { return portName; }
    int BaudIndex() const override { return baudIndex; }
    int FormatIndex() const override { return formatIndex; }
    QString AddressText() const override { return addressText; }
    QString PeriodText() const override { return periodText; }
};

// A decimal integer with an optional sign and surrounding blanks; nothing
// else (no hex prefixes, no fractions, nothing beyond 32 bits).
std::optional<int> ParseDecimalInt(const QString& text);

// The unit address rule: a decimal number 0..255. Empty when the text passes,
// otherwise the message that refuses it.
QString AddressProblem(const QString& text);

}  // namespace kelvra
