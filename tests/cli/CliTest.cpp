// kelvra-cli run as a process against kelvra-sim on a pseudo-terminal.

#include <gtest/gtest.h>
#include <modbus.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>

#include "display/Tables.h"
#include "registers/FormatGeneral.h"
#include "support/QtPrinters.h"

namespace kelvra {
namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun Cli(const QStringList& args, int timeoutMs = 20000) {
    QProcess p;
    p.start(QStringLiteral(KELVRA_CLI_PATH), args);
    CliRun r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("timed out");
        return r;
    }
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// kelvra-sim in its own process, the model held still.
class SimProcess {
public:
    explicit SimProcess(QStringList extra = {}) {
        extra << QStringLiteral("--freeze") << QStringLiteral("--journal") << QStringLiteral("900");
        process_.start(QStringLiteral(KELVRA_SIM_PATH), extra);
        if (process_.waitForStarted() && process_.waitForReadyRead(5000))
            path_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    }
    ~SimProcess() {
        ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
        process_.waitForFinished(5000);
    }
    const QString& path() const { return path_; }

    // The unit's registers, read with libmodbus.
    std::vector<std::uint16_t> Registers(int start, int count) {
        std::vector<std::uint16_t> words;
        modbus_t* ctx = modbus_new_rtu(path_.toLocal8Bit().constData(), 115200, 'N', 8, 1);
        modbus_set_slave(ctx, 238);
        if (modbus_connect(ctx) == 0) {
            for (int at = start; at < start + count; at += 125) {
                const int n = std::min(125, start + count - at);
                std::vector<std::uint16_t> chunk(static_cast<std::size_t>(n));
                if (modbus_read_registers(ctx, at, n, chunk.data()) != n)
                    break;
                words.insert(words.end(), chunk.begin(), chunk.end());
            }
            modbus_close(ctx);
        }
        modbus_free(ctx);
        return words;
    }

private:
    QProcess process_;
    QString path_;
};

template <std::size_t N>
std::array<std::uint16_t, N> ImageOf(const std::vector<std::uint16_t>& words) {
    std::array<std::uint16_t, N> image{};
    std::copy_n(words.begin(), std::min(N, words.size()), image.begin());
    return image;
}

// Splits the tool's output into grids: object name -> rows of cells.
std::map<QString, std::vector<QStringList>> ParseTables(const QString& out) {
    std::map<QString, std::vector<QStringList>> tables;
    QString current;
    for (const QString& line : out.split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("# "))) {
            current = line.mid(2);
            tables[current];
        } else if (!current.isEmpty() && !line.isEmpty()) {
            tables[current].push_back(line.split(QLatin1Char('\t')));
        }
    }
    return tables;
}

TEST(KelvraCli, PollOncePrintsTheTablesTheRegistersImply) {
    SimProcess sim;
    ASSERT_FALSE(sim.path().isEmpty());
    struct Mode {
        QStringList flags;
        NameMode names;
        ValueMode values;
    };
    for (const Mode& mode : {Mode{{}, NameMode::Russian, ValueMode::Converted},
                             Mode{{QStringLiteral("--raw"), QStringLiteral("--mnemonic")},
                                  NameMode::Mnemonic,
                                  ValueMode::Raw}}) {
        SCOPED_TRACE(mode.flags.join(QLatin1Char(' ')).toStdString());
        QStringList args{
            QStringLiteral("poll"),   QStringLiteral("--port"),     sim.path(),
            QStringLiteral("--once"), QStringLiteral("--settings"), QStringLiteral("--journal")};
        args << mode.flags;
        const CliRun run = Cli(args);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const auto tables = ParseTables(run.out);

        const MonitorImage monitor = ImageOf<650>(sim.Registers(0, 650));
        const RsSettingsImage rs = ImageOf<6>(sim.Registers(0x6800, 6));
        const ChargeSettingsImage charge = ImageOf<48>(sim.Registers(0x6C00, 48));
        AlarmSettingsImage alarm = ImageOf<50>(sim.Registers(0x7000, 49));
        const JournalImage journal = ImageOf<3072>(sim.Registers(0x7400, 3072));
        const Images images{monitor, rs, charge, alarm, journal};
        ASSERT_EQ(tables.size(), 8u);
        for (Grid grid : AllGrids()) {
            const QString name = QString::fromLatin1(LayoutOf(grid, mode.names).objectName);
            SCOPED_TRACE(name.toStdString());
            auto expected =
                GridTexts(grid, images, mode.names, mode.values, LocaleDecimalSeparator());
            auto got = tables.at(name);
            ASSERT_EQ(got.size(), expected.size());
            if (grid == Grid::InfoBase) {  // the unit's clock runs between the two reads
                expected.pop_back();
                got.pop_back();
            }
            EXPECT_EQ(got, expected);
        }
    }
}

TEST(KelvraCli, JsonHasOneObjectPerCycle) {
    SimProcess sim;
    const CliRun run =
        Cli({QStringLiteral("poll"), QStringLiteral("--port"), sim.path(),
             QStringLiteral("--cycles"), QStringLiteral("2"), QStringLiteral("--period"),
             QStringLiteral("0,25"), QStringLiteral("--json")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.trimmed().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    const QJsonObject cycle = QJsonDocument::fromJson(lines[0].toUtf8()).object();
    EXPECT_EQ(cycle.keys().size(), 4);
    const QJsonArray base = cycle.value(QStringLiteral("StringGrid_INFOBASE_")).toArray();
    ASSERT_EQ(base.size(), 36);
    EXPECT_EQ(base[2].toArray()[2].toString(), QStringLiteral("16")) << "Design_Cell_Number";
}

TEST(KelvraCli, ReadAndWriteRoundTrip) {
    SimProcess sim;
    CliRun run = Cli({QStringLiteral("write"), QStringLiteral("--port"), sim.path(),
                      QStringLiteral("--start"), QStringLiteral("28672"), QStringLiteral("--"),
                      QStringLiteral("3700"), QStringLiteral("3600"), QStringLiteral("-1")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(), QStringLiteral("Настройки изменены"));
    run = Cli({QStringLiteral("read"), QStringLiteral("--port"), sim.path(),
               QStringLiteral("--start"), QStringLiteral("28672"), QStringLiteral("--count"),
               QStringLiteral("3")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("28672\t3700\n28673\t3600\n28674\t65535\n"));

    // The unit refuses: its exception, exit status 1.
    run = Cli({QStringLiteral("write"), QStringLiteral("--port"), sim.path(),
               QStringLiteral("--start"), QStringLiteral("50"), QStringLiteral("1")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Недоступный адрес регистра (0x02)")))
        << run.err.toStdString();
}

TEST(KelvraCli, SilentUnitFailsWithTheWindowsText) {
    SimProcess sim({QStringLiteral("--silent-every"), QStringLiteral("1")});
    CliRun run = Cli(
        {QStringLiteral("poll"), QStringLiteral("--port"), sim.path(), QStringLiteral("--once")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Нет ответа!"))) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    run = Cli({QStringLiteral("read"), QStringLiteral("--port"), sim.path(),
               QStringLiteral("--start"), QStringLiteral("0"), QStringLiteral("--count"),
               QStringLiteral("2")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Нет ответа"))) << run.err.toStdString();
}

TEST(KelvraCli, WrongUsageExitsWithTwo) {
    const QStringList bad[] = {
        {},
        {QStringLiteral("frobnicate")},
        {QStringLiteral("poll")},  // no port
        {QStringLiteral("poll"), QStringLiteral("--demo"), QStringLiteral("--baud"),
         QStringLiteral("1234")},
        {QStringLiteral("poll"), QStringLiteral("--demo"), QStringLiteral("--address"),
         QStringLiteral("256")},
        {QStringLiteral("read"), QStringLiteral("--demo"), QStringLiteral("--start"),
         QStringLiteral("0")},
        {QStringLiteral("read"), QStringLiteral("--demo"), QStringLiteral("--start"),
         QStringLiteral("0"), QStringLiteral("--count"), QStringLiteral("126")},
        {QStringLiteral("write"), QStringLiteral("--demo"), QStringLiteral("--start"),
         QStringLiteral("0")},
        {QStringLiteral("poll"), QStringLiteral("--demo"), QStringLiteral("--no-such-option")},
    };
    for (const QStringList& args : bad) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("Usage:"))) << run.err.toStdString();
    }
    const CliRun help = Cli({QStringLiteral("poll"), QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--journal")));
}

TEST(KelvraCli, DemoPollsTheSimulatedUnitInProcess) {
    const CliRun run = Cli({QStringLiteral("poll"), QStringLiteral("--demo"),
                            QStringLiteral("--once"), QStringLiteral("--mnemonic")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("2\tDesign_Cell_Number\t16\tшт.")));
}

}  // namespace
}  // namespace kelvra
