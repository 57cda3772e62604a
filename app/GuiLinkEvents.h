#pragma once

#include <QObject>

#include "link/LinkEvents.h"

namespace kelvra {

// Carries the link's reports to the window's thread: each call from the I/O
// thread becomes a queued signal, so controls are only touched by the GUI.
class GuiLinkEvents : public QObject, public LinkEvents {
    Q_OBJECT
public:
    using QObject::QObject;

    void StatusText(int panel, const QString& text) override { Q_EMIT status(panel, text); }
    void TraceLines(const QStringList& lines) override { Q_EMIT trace(lines); }
    void CountersChanged(std::uint32_t ok, std::uint32_t crc, std::uint32_t none) override {
        Q_EMIT counters(ok, crc, none);
    }
    void ErrorPercentChanged(const QString& text) override { Q_EMIT percent(text); }
    void DataLogError(const QDateTime& stamp, const QString& text) override {
        Q_EMIT dataLogError(stamp, text);
    }

Q_SIGNALS:
    void status(int panel, const QString& text);
    void trace(const QStringList& lines);
    void counters(quint32 ok, quint32 crc, quint32 none);
    void percent(const QString& text);
    void dataLogError(const QDateTime& stamp, const QString& text);
};

}  // namespace kelvra
