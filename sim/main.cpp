// kelvra-sim: a simulated battery controller on a pseudo-terminal (or a real
// serial device), for trying Kelvra, mbpoll or any Modbus master without a unit.

#include <pthread.h>
#include <unistd.h>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QStringEncoder>
#include <csignal>
#include <cstdio>

#include "registers/ClockValue.h"
#include "sim/SimTransport.h"

using namespace kelvra;
using namespace kelvra::sim;

namespace {

struct IntOption {
    const char* name;
    const char* description;
    const char* defaultValue;
};

void PrintHex(const char* label, const Bytes& bytes) {
    std::fprintf(stderr, "%s", label);
    for (std::uint8_t b : bytes)
        std::fprintf(stderr, " %02X", b);
    std::fprintf(stderr, "\n");
}

}  // namespace

int main(int argc, char** argv) {
    // SIGINT and SIGTERM are taken by sigwait below; block them before any
    // thread starts so that every thread inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kelvra-sim"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A simulated battery controller: a Modbus RTU slave with a live battery model, settings,\n"
        "event journal, command mailbox and bootloader. It opens a pseudo-terminal pair and "
        "prints\n"
        "the path to connect to as its first line, then answers until SIGINT or SIGTERM.\n"
        "A fault option with period K applies to every K-th answer (1: every answer)."));
    parser.addHelpOption();

    const IntOption intOptions[] = {
        {"address", "Modbus address of the unit.", "238"},
        {"cells", "Number of cells, 1..200.", "16"},
        {"seed", "Seed of the battery model; the same seed gives the same values.", "1"},
        {"journal", "Journal records to write before start (over 768 wraps the journal).", "0"},
        {"flash-free", "Free flash for the application, KiB (bootloader register FLASH_FREE).",
         "120"},
        {"erase-time", "Time the bootloader takes to erase the flash, ms.", "2000"},
        {"turnaround", "Time from the end of a request to the answer, ms.", "2"},
        {"baud", "Baud rate of a real device given with --device.", "115200"},
        {"silent-every", "Fault: no answer to every K-th request.", "0"},
        {"corrupt-crc-every", "Fault: a wrong CRC in every K-th answer.", "0"},
        {"exception-every", "Fault: an exception answer to every K-th request.", "0"},
        {"exception-code", "Exception code of --exception-every.", "4"},
        {"late-every", "Fault: every K-th answer comes late.", "0"},
        {"late-by", "Delay of a late answer, ms.", "3500"},
        {"split-every", "Fault: every K-th answer is sent in pieces.", "0"},
        {"split-pieces", "Pieces of a split answer.", "3"},
        {"split-gap", "Gap between the pieces of a split answer, ms.", "5"},
        {"garbage-every", "Fault: trailing garbage after every K-th answer.", "0"},
        {"garbage-bytes", "Bytes of trailing garbage.", "3"},
        {"wrong-byte-count-every",
         "Fault: every K-th read answer claims two bytes more (good CRC).", "0"},
        {"fault-register", "Apply the faults only to requests for this first register.", "-1"},
    };
    for (const IntOption& o : intOptions)
        parser.addOption(QCommandLineOption(QString::fromLatin1(o.name),
                                            QString::fromUtf8(o.description), QStringLiteral("N"),
                                            QString::fromLatin1(o.defaultValue)));
    parser.addOption({QStringLiteral("device"),
                      QStringLiteral("Answer on this serial device instead of a pseudo-terminal."),
                      QStringLiteral("PATH")});
    parser.addOption({QStringLiteral("parity"),
                      QStringLiteral("Parity of a real device: N, E or O (default N)."),
                      QStringLiteral("P"), QStringLiteral("N")});
    parser.addOption(
        {QStringLiteral("link"),
         QStringLiteral("Make a symbolic link PATH to the pseudo-terminal (removed at exit)."),
         QStringLiteral("PATH")});
    parser.addOption({QStringLiteral("bootloader"), QStringLiteral("Start in bootloader mode.")});
    parser.addOption(
        {QStringLiteral("clock"),
         QStringLiteral("Start time of the unit's clock, yyyy-MM-dd hh:mm:ss (default: now)."),
         QStringLiteral("TIME")});
    parser.addOption({QStringLiteral("password"),
                      QStringLiteral("The unit's four-character password (default 0000)."),
                      QStringLiteral("TEXT"), QStringLiteral("0000")});
    parser.addOption(
        {QStringLiteral("freeze"), QStringLiteral("Hold the battery model still (the clock runs "
                                                  "on): every read gives the same values.")});
    parser.addOption(
        {QStringLiteral("verbose"), QStringLiteral("Print every request and answer in hex.")});
    parser.process(app);

    auto number = [&](const char* name, int low, int high) {
        bool ok = false;
        const int v = parser.value(QString::fromLatin1(name)).toInt(&ok);
        if (!ok || v < low || v > high) {
            std::fprintf(stderr, "kelvra-sim: --%s must be a number from %d to %d\n", name, low,
                         high);
            std::exit(2);
        }
        return v;
    };

    UnitConfig unit;
    unit.address = static_cast<std::uint8_t>(number("address", 1, 247));
    unit.cells = number("cells", 1, 200);
    unit.seed = static_cast<std::uint32_t>(number("seed", 0, 0x7FFFFFFF));
    unit.journalFill = number("journal", 0, 100000);
    unit.startInBootloader = parser.isSet(QStringLiteral("bootloader"));
    unit.flashFreeKiB = static_cast<std::uint16_t>(number("flash-free", 1, 65535));
    unit.eraseTime = milliseconds{number("erase-time", 0, 600000)};
    QDateTime start = QDateTime::currentDateTime();
    if (parser.isSet(QStringLiteral("clock"))) {
        start = QDateTime::fromString(parser.value(QStringLiteral("clock")),
                                      QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        if (!start.isValid() || start.date().year() < 2000 || start.date().year() > 2099) {
            std::fprintf(stderr,
                         "kelvra-sim: --clock must be yyyy-MM-dd hh:mm:ss between 2000 and 2099\n");
            return 2;
        }
    }
    unit.clockStart = EncodeClockValue(ClockFieldsOf(start));
    QStringEncoder cp1251("windows-1251");
    const QByteArray password = cp1251.encode(parser.value(QStringLiteral("password")));
    if (password.size() != 4) {
        std::fprintf(stderr, "kelvra-sim: --password must be four characters\n");
        return 2;
    }
    unit.password = password.toStdString();

    Faults faults;
    faults.silentEvery = number("silent-every", 0, 1 << 30);
    faults.corruptCrcEvery = number("corrupt-crc-every", 0, 1 << 30);
    faults.exceptionEvery = number("exception-every", 0, 1 << 30);
    faults.exceptionCode = static_cast<std::uint8_t>(number("exception-code", 0, 255));
    faults.lateEvery = number("late-every", 0, 1 << 30);
    faults.lateBy = milliseconds{number("late-by", 0, 600000)};
    faults.splitEvery = number("split-every", 0, 1 << 30);
    faults.splitPieces = number("split-pieces", 1, 255);
    faults.splitGap = milliseconds{number("split-gap", 0, 60000)};
    faults.garbageEvery = number("garbage-every", 0, 1 << 30);
    faults.garbageBytes = number("garbage-bytes", 0, 255);
    faults.wrongByteCountEvery = number("wrong-byte-count-every", 0, 1 << 30);
    faults.onlyRegister = number("fault-register", -1, 65535);

    SimTransport::Options options;
    options.device = parser.value(QStringLiteral("device")).toStdString();
    options.baud = number("baud", 1200, 115200);
    const QByteArray parity = parser.value(QStringLiteral("parity")).toUpper().toLatin1();
    options.parity = parity.isEmpty() ? 'N' : parity.at(0);
    options.turnaround = milliseconds{number("turnaround", 0, 60000)};

    SimTransport transport(unit, options);
    const bool freeze = parser.isSet(QStringLiteral("freeze"));
    transport.WithUnit([&](SimulatedUnit& u) {
        u.SetFaults(faults);
        u.Freeze(freeze);
        return 0;
    });
    if (parser.isSet(QStringLiteral("verbose")))
        transport.SetTrace([](const Bytes& request, const Reply& reply) {
            PrintHex("<-", request);
            if (reply.silent())
                std::fprintf(stderr, "-> (no answer)\n");
            else
                PrintHex("->", reply.bytes());
        });
    if (!transport.Start()) {
        std::fprintf(stderr, "kelvra-sim: %s\n", transport.errorText().c_str());
        return 1;
    }

    const QString link = parser.value(QStringLiteral("link"));
    const QByteArray linkPath = link.toLocal8Bit();
    if (!link.isEmpty()) {
        unlink(linkPath.constData());
        if (symlink(transport.slavePath().c_str(), linkPath.constData()) != 0) {
            std::perror("kelvra-sim: --link");
            transport.Stop();
            return 1;
        }
    }

    // The path goes out only once the link exists, so whoever reads it can
    // connect at once by either name.
    std::printf("%s\n", transport.slavePath().c_str());
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    transport.Stop();
    if (!link.isEmpty())
        unlink(linkPath.constData());
    return 0;
}
