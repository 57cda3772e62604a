#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>

namespace kelvra {

// What the link, the poll and the transactions report. The GUI posts these to
// its thread, the command-line tool prints them, tests record them. Calls may
// come from the link's I/O thread.
class LinkEvents {
public:
    virtual ~LinkEvents() = default;

    // Status bar panel 0 (port and transmission), 1 (last answer), 2 (bytes).
    virtual void StatusText(int panel, const QString& text) = 0;
    // Lines for the link-test trace memo (written only in diagnostic builds).
    virtual void TraceLines(const QStringList& lines) = 0;
    // The link counters changed; the texts of the three counter labels follow.
    virtual void CountersChanged(std::uint32_t ok, std::uint32_t crcErrors,
                                 std::uint32_t noAnswers) = 0;
    // The error percentage label's new text.
    virtual void ErrorPercentChanged(const QString& text) = 0;
    // A communication error for the data log: " Ошибка CRC ответа" or
    // " Нет ответа", with the time stamp taken when the answer was handled.
    virtual void DataLogError(const QDateTime& stamp, const QString& text) = 0;
};

// The three link-test counters, program-wide. Changed only in diagnostic
// builds; read by the percentage whatever the build.
struct LinkCounters {
    std::atomic<std::uint32_t> ok{0};
    std::atomic<std::uint32_t> crcErrors{0};
    std::atomic<std::uint32_t> noAnswers{0};

    void Reset() {
        ok = 0;
        crcErrors = 0;
        noAnswers = 0;
    }
};

// "100" while no answer has been counted, else (errors / answers * 100) as a
// single-precision value in FormatGeneral with 4 digits.
QString ErrorPercentText(std::uint32_t ok, std::uint32_t crcErrors, std::uint32_t noAnswers,
                         QChar decimalSeparator);

// Whether this build writes trace lines and counts answers (the service
// build); off in the delivered program.
#ifdef KELVRA_DIAGNOSTIC_MODE
constexpr bool kDiagnosticMode = true;
#else
constexpr bool kDiagnosticMode = false;
#endif

// Shared by the poll and the transactions: counter increments, trace lines
// and the percentage, reported only where the build asks for them.
class LinkReporter {
public:
    LinkReporter(LinkEvents& events, LinkCounters& counters, bool diagnostic, QChar separator)
        : events_(events), counters_(counters), diagnostic_(diagnostic), separator_(separator) {}

    LinkEvents& events() { return events_; }
    bool diagnostic() const { return diagnostic_; }

    void Status(int panel, const QString& text) { events_.StatusText(panel, text); }
    void Trace(const QStringList& lines) {
        if (diagnostic_)
            events_.TraceLines(lines);
    }
    enum class Counter { Ok, CrcError, NoAnswer };
    void Count(Counter which);
    void ShowErrorPercent();

private:
    LinkEvents& events_;
    LinkCounters& counters_;
    bool diagnostic_;
    QChar separator_;
};

}  // namespace kelvra
