// Prints how long a monitoring poll cycle takes at 115200 baud against the
// simulated unit, next to the time the same traffic needs on the wire, so the
// cost of the fixed waits after each answer's first character is visible.
//
//   cmake -S . -B build/bench -DKELVRA_BUILD_BENCH=ON && cmake --build build/bench
//   build/bench/bench/kelvra-bench-cycle

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <thread>

#include "link/SerialLink.h"
#include "sim/SimTransport.h"

using namespace kelvra;
using namespace std::chrono_literals;

namespace {

class QuietEvents : public LinkEvents {
public:
    void StatusText(int, const QString&) override {}
    void TraceLines(const QStringList&) override {}
    void CountersChanged(std::uint32_t, std::uint32_t, std::uint32_t) override {}
    void ErrorPercentChanged(const QString&) override {}
    void DataLogError(const QDateTime&, const QString&) override {}
};

// 10 bits a character (start, 8 data, stop) at 115200 baud.
double WireMs(int characters) {
    return characters * 10.0 / 115200.0 * 1000.0;
}

// Characters on the wire for a cycle: each block is an 8-byte request and an
// answer of 5 + 2 * count bytes.
int CycleCharacters(bool settings, bool journal) {
    int registers = 650, blocks = 6;
    if (settings) {
        registers += 6 + 48 + 49;
        blocks += 3;
    }
    if (journal) {
        registers += 3072;
        blocks += 25;
    }
    return blocks * (8 + 5) + 2 * registers;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    sim::SimTransport transport(sim::UnitConfig{}, sim::SimTransport::Options{});
    if (!transport.Start()) {
        std::fprintf(stderr, "cannot start the simulated unit: %s\n",
                     transport.errorText().c_str());
        return 1;
    }
    FixedConnectionSettings settings;
    settings.portName = QString::fromStdString(transport.slavePath());
    RegisterImages images;
    PollOptions options;
    LinkCounters counters;
    QuietEvents events;
    LinkReporter reporter(events, counters, false, QLatin1Char('.'));
    PollSequence sequence(images, options, reporter);
    SerialLink link(sequence, reporter, MakeSystemSerialPort);  // production waits
    if (!link.OpenLink(settings)) {
        std::fprintf(stderr, "cannot open %s\n", transport.slavePath().c_str());
        return 1;
    }

    std::printf("%-28s %10s %10s %8s\n", "cycle at 115200 baud", "measured", "wire", "ratio");
    struct Run {
        const char* name;
        bool settings, journal;
        int repeat;
    };
    for (const Run r : {Run{"6 blocks (monitoring)", false, false, 3},
                        Run{"34 blocks (+settings+journal)", true, true, 1}}) {
        options.readSettings = r.settings;
        options.readJournal = r.journal;
        double best = 1e9;
        for (int i = 0; i < r.repeat; ++i) {
            const auto start = std::chrono::steady_clock::now();
            link.StartCycle();
            while (!link.CycleDone)
                std::this_thread::sleep_for(1ms);
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count();
            best = std::min(best, ms);
        }
        const double wire = WireMs(CycleCharacters(r.settings, r.journal));
        std::printf("%-28s %8.0f ms %8.0f ms %7.1fx\n", r.name, best, wire, best / wire);
    }
    std::printf("(each block waits 22 + 250 ms after the first character of its answer)\n");
    link.CloseLink();
    transport.Stop();
    return 0;
}
