// kelvra-cli: the unit from a terminal. It runs the same link, poll sequence,
// transactions and table builders as the window, and prints what the window
// would show.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSerialPortInfo>
#include <QTextStream>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <thread>

#include "display/Tables.h"
#include "link/SerialLink.h"
#include "link/Transactions.h"
#include "registers/ClockValue.h"
#include "registers/FormatGeneral.h"
#include "sim/SimTransport.h"

using namespace kelvra;
using namespace std::chrono_literals;

namespace {

enum Exit { kOk = 0, kUnitFailed = 1, kUsage = 2 };

std::atomic<bool> interrupted{false};

void Out(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void Err(const QString& text) {
    std::fputs(text.toUtf8().constData(), stderr);
    std::fputc('\n', stderr);
}

// Message boxes become lines on standard error; the caption tells success.
class TerminalDialogs : public UserDialogs {
public:
    void Message(const QString& text, const QString& caption, DialogIcon) override {
        lastCaption = caption;
        lastText = text;
        if (caption == QStringLiteral("Успешная запись"))
            Out(text);
        else
            Err(caption.isEmpty() ? text : caption + QStringLiteral(": ") + text);
    }
    QString lastCaption, lastText;
};

// The link's reports: answers that went wrong go to standard error.
class TerminalEvents : public LinkEvents {
public:
    void StatusText(int panel, const QString& text) override {
        if (panel == 0 && (text == QStringLiteral("Не удалось открыть порт") ||
                           text == QStringLiteral("Не удалось установить DCB") ||
                           text == QStringLiteral("Ошибка передачи")))
            Err(text);
        if (panel == 1 && text != QStringLiteral("Ответ принят корректно")) {
            Err(text);
            failures.fetch_add(1);
        }
    }
    void TraceLines(const QStringList&) override {}
    void CountersChanged(std::uint32_t, std::uint32_t, std::uint32_t) override {}
    void ErrorPercentChanged(const QString&) override {}
    void DataLogError(const QDateTime&, const QString&) override {}
    std::atomic<int> failures{0};
};

struct Common {
    FixedConnectionSettings settings;
    std::unique_ptr<sim::SimTransport> demo;
};

const QStringList kBauds = {QStringLiteral("9600"), QStringLiteral("19200"),
                            QStringLiteral("38400"), QStringLiteral("57600"),
                            QStringLiteral("115200")};
const QStringList kFormats = {QStringLiteral("8N1"), QStringLiteral("8E1"), QStringLiteral("8O1")};

int Usage(const QCommandLineParser& parser, const QString& problem) {
    Err(QStringLiteral("kelvra-cli: ") + problem);
    Err(parser.helpText());
    return kUsage;
}

void AddCommonOptions(QCommandLineParser& p) {
    p.addOption({QStringLiteral("port"), QStringLiteral("Serial port (name or path)."),
                 QStringLiteral("PATH")});
    p.addOption({QStringLiteral("baud"),
                 QStringLiteral("9600|19200|38400|57600|115200 (default 115200)."),
                 QStringLiteral("RATE"), QStringLiteral("115200")});
    p.addOption({QStringLiteral("format"), QStringLiteral("8N1|8E1|8O1 (default 8N1)."),
                 QStringLiteral("FORMAT"), QStringLiteral("8N1")});
    p.addOption({QStringLiteral("address"),
                 QStringLiteral("Modbus address of the unit, 0..255 (default 238)."),
                 QStringLiteral("N"), QStringLiteral("238")});
    p.addOption({QStringLiteral("demo"),
                 QStringLiteral("Start the simulated unit in-process and use it.")});
}

// Reads the common options into `common`; an empty text when they are fine.
QString ReadCommon(const QCommandLineParser& p, Common& common) {
    const int baud = static_cast<int>(kBauds.indexOf(p.value(QStringLiteral("baud"))));
    if (baud < 0)
        return QStringLiteral("--baud must be one of 9600, 19200, 38400, 57600, 115200");
    const int format =
        static_cast<int>(kFormats.indexOf(p.value(QStringLiteral("format")).toUpper()));
    if (format < 0)
        return QStringLiteral("--format must be one of 8N1, 8E1, 8O1");
    const QString address = p.value(QStringLiteral("address"));
    const QString problem = AddressProblem(address);
    if (!problem.isEmpty())
        return problem;
    const int a = *ParseDecimalInt(address);
    common.settings.baudIndex = baud;
    common.settings.formatIndex = format;
    common.settings.addressText = QString::number(a);
    if (p.isSet(QStringLiteral("demo"))) {
        sim::UnitConfig unit;
        unit.address = static_cast<std::uint8_t>(std::clamp(a, 1, 247));
        unit.journalFill = 40;
        unit.clockStart = EncodeClockValue(ClockFieldsOf(QDateTime::currentDateTime()));
        common.demo = std::make_unique<sim::SimTransport>(unit, sim::SimTransport::Options{});
        if (!common.demo->Start())
            return QStringLiteral("cannot start the simulated unit: ") +
                   QString::fromStdString(common.demo->errorText());
        common.settings.portName = QString::fromStdString(common.demo->slavePath());
    } else if (p.isSet(QStringLiteral("port"))) {
        common.settings.portName = p.value(QStringLiteral("port"));
    } else {
        return QStringLiteral("give --port PATH or --demo");
    }
    return QString();
}

std::optional<int> Number(const QString& text, int low, int high) {
    const std::optional<int> v = ParseDecimalInt(text);
    if (!v || *v < low || *v > high)
        return std::nullopt;
    return v;
}

// --- commands ---------------------------------------------------------------------------

int Ports() {
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        Out(info.portName());
    return kOk;
}

void PrintCycle(const RegisterImages& images, const QList<Grid>& grids, NameMode names,
                ValueMode mode, bool json) {
    const RegisterImages::Snapshot s = images.Take();
    const Images view{s.monitor, s.rs, s.charge, s.alarm, s.journal};
    const QChar separator = LocaleDecimalSeparator();
    QJsonObject object;
    for (Grid grid : grids) {
        const auto rows = GridTexts(grid, view, names, mode, separator);
        const QString name = QString::fromLatin1(LayoutOf(grid, names).objectName);
        if (json) {
            QJsonArray table;
            for (const QStringList& row : rows)
                table.append(QJsonArray::fromStringList(row));
            object.insert(name, table);
        } else {
            Out(QStringLiteral("# ") + name);
            for (const QStringList& row : rows)
                Out(row.join(QLatin1Char('\t')));
        }
    }
    if (json)
        Out(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}

int Poll(const QCommandLineParser& p, Common& common) {
    int cycles = -1;  // until interrupted
    if (p.isSet(QStringLiteral("once")))
        cycles = 1;
    if (p.isSet(QStringLiteral("cycles"))) {
        const auto n = Number(p.value(QStringLiteral("cycles")), 1, 1 << 30);
        if (!n)
            return Usage(p, QStringLiteral("--cycles must be a positive number"));
        cycles = *n;
    }
    QString periodText = p.value(QStringLiteral("period"));
    periodText.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double period = periodText.toDouble(&ok);
    if (!ok || period <= 0 || period > 3600)
        return Usage(p, QStringLiteral("--period must be a number of seconds"));

    RegisterImages images;
    PollOptions options;
    options.readSettings = p.isSet(QStringLiteral("settings"));
    options.readJournal = p.isSet(QStringLiteral("journal"));
    options.address = common.settings.addressText.toInt();
    LinkCounters counters;
    TerminalEvents events;
    LinkReporter reporter(events, counters, false, LocaleDecimalSeparator());
    PollSequence sequence(images, options, reporter);
    SerialLink link(sequence, reporter, MakeSystemSerialPort);
    if (!link.OpenLink(common.settings))
        return kUnitFailed;

    QList<Grid> grids = {Grid::InfoBase, Grid::InfoCell, Grid::InfoAlarm, Grid::InfoCharge};
    if (options.readSettings)
        grids << Grid::SetRs << Grid::SetAlarm << Grid::SetCharge;
    if (options.readJournal)
        grids << Grid::Log;
    const NameMode names =
        p.isSet(QStringLiteral("mnemonic")) ? NameMode::Mnemonic : NameMode::Russian;
    const ValueMode mode = p.isSet(QStringLiteral("raw")) ? ValueMode::Raw : ValueMode::Converted;
    const bool json = p.isSet(QStringLiteral("json"));

    int result = kOk;
    const auto periodMs = std::chrono::milliseconds(static_cast<long long>(period * 1000));
    for (int done = 0; (cycles < 0 || done < cycles) && !interrupted; ++done) {
        const auto tick = std::chrono::steady_clock::now();
        events.failures = 0;
        link.StartCycle();
        while (!link.CycleDone && !interrupted)
            std::this_thread::sleep_for(5ms);
        if (interrupted)
            break;
        if (link.NoAnswer || events.failures > 0) {
            result = kUnitFailed;
            if (link.NoAnswer) {
                if (cycles == 1)
                    break;  // the silence was reported on standard error
                continue;
            }
        }
        PrintCycle(images, grids, names, mode, json);
        if (cycles < 0 || done + 1 < cycles)
            while (std::chrono::steady_clock::now() - tick < periodMs && !interrupted)
                std::this_thread::sleep_for(10ms);
    }
    link.CloseLink();
    return result;
}

int Read(const QCommandLineParser& p, Common& common) {
    const auto start = Number(p.value(QStringLiteral("start")), 0, 65535);
    const auto count = Number(p.value(QStringLiteral("count")), 1, 125);
    if (!start || !count)
        return Usage(p, QStringLiteral("read needs --start 0..65535 and --count 1..125"));
    TerminalDialogs dialogs;
    LinkCounters counters;
    TerminalEvents events;
    LinkReporter reporter(events, counters, false, LocaleDecimalSeparator());
    Transactions transactions(common.settings, MakeSystemSerialPort, dialogs, reporter);
    const auto words = transactions.ReadRegisters(static_cast<std::uint16_t>(*start),
                                                  static_cast<std::uint16_t>(*count));
    if (!words) {
        if (transactions.LastRxCount == 0)
            Err(QStringLiteral("Нет ответа"));
        return kUnitFailed;
    }
    for (int i = 0; i < *count; ++i)
        Out(QStringLiteral("%1\t%2").arg(*start + i).arg((*words)[static_cast<std::size_t>(i)]));
    return kOk;
}

int Write(const QCommandLineParser& p, Common& common, const QStringList& valueTexts) {
    const auto start = Number(p.value(QStringLiteral("start")), 0, 65535);
    if (!start || valueTexts.isEmpty() || valueTexts.size() > 123)
        return Usage(p, QStringLiteral("write needs --start 0..65535 and 1..123 values"));
    std::vector<std::uint16_t> values;
    for (const QString& t : valueTexts) {
        const auto v = Number(t, -32768, 65535);
        if (!v)
            return Usage(p, QStringLiteral("a value must be a number from -32768 to 65535: ") + t);
        values.push_back(static_cast<std::uint16_t>(*v));
    }
    TerminalDialogs dialogs;
    LinkCounters counters;
    TerminalEvents events;
    LinkReporter reporter(events, counters, false, LocaleDecimalSeparator());
    Transactions transactions(common.settings, MakeSystemSerialPort, dialogs, reporter);
    transactions.WriteRegisters(static_cast<std::uint16_t>(*start), values);
    return dialogs.lastCaption == QStringLiteral("Успешная запись") ? kOk : kUnitFailed;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kelvra-cli"));
    std::signal(SIGINT, [](int) { interrupted = true; });
    std::signal(SIGTERM, [](int) { interrupted = true; });

    const QStringList args = app.arguments();
    const QString command = args.size() > 1 ? args.at(1) : QString();

    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Kelvra from a terminal: monitor a battery controller and read or write its registers.\n\n"
        "Commands:\n"
        "  ports   the serial ports found, one per line\n"
        "  poll    poll the unit like the window and print its tables\n"
        "  read    read holding registers: register<TAB>value lines\n"
        "  write   write holding registers\n\n"
        "Exit status: 0 success, 1 the unit did not answer properly, 2 wrong usage.\n"
        "Use 'kelvra-cli COMMAND --help' for a command's options."));
    p.addHelpOption();
    p.addPositionalArgument(QStringLiteral("command"),
                            QStringLiteral("ports, poll, read or write"));

    if (command == QStringLiteral("poll")) {
        AddCommonOptions(p);
        p.addOption({QStringLiteral("once"),
                     QStringLiteral("One cycle, then exit (1 if it ended in silence).")});
        p.addOption({QStringLiteral("cycles"), QStringLiteral("Stop after N cycles."),
                     QStringLiteral("N")});
        p.addOption({QStringLiteral("period"),
                     QStringLiteral("Poll period in seconds (default 1)."),
                     QStringLiteral("SECONDS"), QStringLiteral("1")});
        p.addOption(
            {QStringLiteral("settings"), QStringLiteral("Also read the three settings blocks.")});
        p.addOption({QStringLiteral("journal"), QStringLiteral("Also read the event journal.")});
        p.addOption({QStringLiteral("raw"),
                     QStringLiteral("Register values instead of engineering units.")});
        p.addOption({QStringLiteral("mnemonic"),
                     QStringLiteral("Modbus mnemonics instead of Russian names.")});
        p.addOption({QStringLiteral("json"),
                     QStringLiteral("One JSON object per cycle instead of tables.")});
    } else if (command == QStringLiteral("read")) {
        AddCommonOptions(p);
        p.addOption({QStringLiteral("start"), QStringLiteral("First register, 0..65535."),
                     QStringLiteral("N")});
        p.addOption({QStringLiteral("count"), QStringLiteral("Number of registers, 1..125."),
                     QStringLiteral("N")});
    } else if (command == QStringLiteral("write")) {
        AddCommonOptions(p);
        p.addOption({QStringLiteral("start"), QStringLiteral("First register, 0..65535."),
                     QStringLiteral("N")});
        p.addPositionalArgument(
            QStringLiteral("values"),
            QStringLiteral("Register values, -32768..65535 (put -- before a negative one)."),
            QStringLiteral("VALUE..."));
    }
    if (!p.parse(args))
        return Usage(p, p.errorText());
    if (p.isSet(QStringLiteral("help"))) {
        Out(p.helpText());
        return kOk;
    }

    if (command == QStringLiteral("ports"))
        return Ports();
    if (command != QStringLiteral("poll") && command != QStringLiteral("read") &&
        command != QStringLiteral("write"))
        return Usage(p, command.isEmpty() ? QStringLiteral("no command given")
                                          : QStringLiteral("unknown command: ") + command);
    Common common;
    const QString problem = ReadCommon(p, common);
    if (!problem.isEmpty())
        return Usage(p, problem);
    if (command == QStringLiteral("poll"))
        return Poll(p, common);
    if (command == QStringLiteral("read"))
        return Read(p, common);
    return Write(p, common, p.positionalArguments().mid(1));
}
