// The real main window, offscreen, against the simulated unit on a
// pseudo-terminal; every message box goes through scripted dialogs.

#include <gtest/gtest.h>

#include <qcustomplot.h>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <deque>

#include "app/TForm1.h"
#include "connection/TForm4.h"
#include "display/StringGrid.h"
#include "display/TForm3.h"
#include "display/Widgets.h"
#include "graph/TForm2.h"
#include "registers/FormatGeneral.h"
#include "registers/MonitorMap.h"
#include "sim/SimTransport.h"
#include "support/QtPrinters.h"

namespace kelvra {
namespace {

using namespace std::chrono_literals;

class ScriptedQtDialogs : public QtUserDialogs {
public:
    struct Box {
        QString text, caption;
        DialogIcon icon;
    };
    void Message(const QString& text, const QString& caption, DialogIcon icon) override {
        boxes.push_back({text, caption, icon});
    }
    QString ChooseFile(const QString&, const QString& name, const QString&) override {
        proposedNames.push_back(name);
        if (files.empty())
            return QString();
        const QString f = files.front();
        files.pop_front();
        return f;
    }
    std::vector<Box> boxes;
    std::deque<QString> files;
    QStringList proposedNames;
};

LinkTimings Fast() {
    LinkTimings t;
    t.silence = 400ms;
    t.extraWait = 0ms;
    t.frameDelayOverride = 20ms;
    return t;
}

template <typename F>
bool WaitFor(F&& done, int timeoutMs = 15000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QTest::qWait(20);
    }
    return true;
}

std::vector<QStringList> Texts(const StringGrid* grid) {
    std::vector<QStringList> rows;
    for (int r = 0; r < grid->RowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < grid->ColCount(); ++c)
            row << grid->Cell(c, r);
        rows.push_back(row);
    }
    return rows;
}

struct Window {
    explicit Window(bool diagnostic = false)
        : form1(dialogs, MakeSystemSerialPort, Fast(), diagnostic) {
        form1.SetDialogs(&form2, &form3, &form4);
        form1.FormCreate();
    }
    ScriptedQtDialogs dialogs;
    TForm1 form1;
    TForm2 form2{&form1};
    TForm3 form3{form1.options(), [this] { form1.SetupGrids(); },
                 [this] { form1.RefillForValueMode(); }, &form1};
    TForm4 form4{dialogs, &form1};
    ~Window() { form1.link().CloseLink(); }
};

TEST(MainWindow, StartUpState) {
    Window w;
    TForm1& f = w.form1;
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Kelvra. Версия 2.0"));
    const QStringList captions = {QStringLiteral("Главная"),   QStringLiteral("Состояние"),
                                  QStringLiteral("Настройки"), QStringLiteral("Журнал"),
                                  QStringLiteral("График"),    QStringLiteral("Обновление"),
                                  QStringLiteral("Тест связи")};
    ASSERT_EQ(f.PageControl_MAIN_->count(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(f.PageControl_MAIN_->tabText(i), captions[i]);
    EXPECT_EQ(f.PageControl_MAIN_->currentIndex(), 2);
    EXPECT_EQ(f.PageControl_SET_->tabText(f.PageControl_SET_->currentIndex()),
              QStringLiteral("Заряд"));
    EXPECT_EQ(f.PageControl_INFO_->tabText(f.PageControl_INFO_->currentIndex()),
              QStringLiteral("Элементы"));
    // The delivered build hides the link-test page and the expert controls.
    EXPECT_FALSE(f.PageControl_MAIN_->isTabVisible(6));
    EXPECT_TRUE(f.Edit3->isHidden());
    EXPECT_TRUE(f.BitBtn_BOOTLOADERAUTOBOOT_->isHidden());
    EXPECT_FALSE(f.BitBtn_BOOTLOADERAUTO_->isHidden());
    EXPECT_EQ(f.StatusPanels[0]->width(), 200);
    EXPECT_EQ(f.StatusPanels[2]->width(), 50);
    for (QCheckBox* box : {f.CheckBox_LOGEN_, f.CheckBox_READSETTINGS_, f.CheckBox_READLOG_})
        EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(f.BitBtn_SETMODE_->isEnabled());
    EXPECT_TRUE(f.BitBtn_CALIBERCURR_->isEnabled());
    EXPECT_EQ(f.SpeedButton_PASSWORD_->text(), QStringLiteral("Войти"));
    EXPECT_TRUE(f.SpeedButton_CONNECT_->isCheckable());
    EXPECT_EQ(f.StringGrid_INFOBASE_->RowCount(), 36);
    EXPECT_EQ(f.StringGrid_INFOBASE_->Cell(1, 1), QStringLiteral("Емкость АБ"));
    EXPECT_EQ(f.StringGrid_INFOBASE_->ColWidth(1), 300);
    EXPECT_EQ(f.StringGrid_SETALARM_->Cell(1, 1), QStringLiteral("COV_Threshold"));
    EXPECT_EQ(f.GraphSeries[0]->name(), QStringLiteral("Напряжение АБ"));
    EXPECT_EQ(f.UpDown_GRAPHBOTMAX_->value(), 300);
    EXPECT_EQ(f.Chart_GRAPH_->yAxis->range().upper, 300);
    EXPECT_EQ(f.Label15->text(), QStringLiteral("0"));
    // The dialogs.
    EXPECT_EQ(w.form4.ComboBox_BAUDRATE_->currentText(), QStringLiteral("115200"));
    EXPECT_EQ(w.form4.ComboBox_FORMAT_->currentText(), QStringLiteral("8N1"));
    EXPECT_EQ(w.form4.Edit_ADDRESS_->text(), QStringLiteral("238"));
    EXPECT_EQ(w.form4.ComboBox_FREQ_->currentText(), QStringLiteral("1"));
    EXPECT_EQ(w.form3.RadioGroup_VIEWNAME_->itemIndex(), 1);
    EXPECT_EQ(w.form3.RadioGroup_VIEWVALUE_->itemIndex(), -1);
    EXPECT_TRUE(w.form3.CheckBox_LOGSAVEERROR_->isChecked());
    EXPECT_EQ(w.form3.PageControl->currentIndex(), 1);
    EXPECT_EQ(w.form2.CheckListBox_FORM2_->count(), 17);
}

TEST(MainWindow, AddressIsCheckedByTheConnectButtonAndTheDialog) {
    Window w;
    struct Case {
        const char* text;
        const char* message;
    };
    for (const Case c : {Case{"abc", "Введите адрес десятичным числом от 0 до 255!"},
                         Case{"256", "Адрес должен быть в диапазоне от 0 до 255!"},
                         Case{"-1", "Адрес должен быть в диапазоне от 0 до 255!"}}) {
        w.dialogs.boxes.clear();
        w.form4.Edit_ADDRESS_->setText(QString::fromUtf8(c.text));
        w.form1.SpeedButton_CONNECT_->click();
        ASSERT_EQ(w.dialogs.boxes.size(), 1u) << c.text;
        EXPECT_EQ(w.dialogs.boxes[0].text, QString::fromUtf8(c.message));
        EXPECT_EQ(w.dialogs.boxes[0].caption, QStringLiteral("Ошибка!"));
        EXPECT_EQ(w.dialogs.boxes[0].icon, DialogIcon::Error);
        EXPECT_FALSE(w.form1.SpeedButton_CONNECT_->isChecked());
        EXPECT_FALSE(w.form1.link().IsOpen());
        w.form4.Button_FORM4OK_->click();
        EXPECT_EQ(w.dialogs.boxes.size(), 2u);
        EXPECT_NE(w.form4.result(), QDialog::Accepted) << "the dialog stays open";
    }
}

class MonitoringRun : public ::testing::Test {
protected:
    void SetUp() override {
        sim::UnitConfig config;
        config.journalFill = 768 + 300;  // wrapped, first empty record 300
        transport = std::make_unique<sim::SimTransport>(config, sim::SimTransport::Options{});
        ASSERT_TRUE(transport->Start());
        Unit([](sim::SimulatedUnit& u) { u.Freeze(true); });
        w.form4.SelectPort(QString::fromStdString(transport->slavePath()));
        w.form4.ComboBox_FREQ_->setCurrentIndex(0);  // 0,25 s
    }
    void TearDown() override {
        w.form1.link().CloseLink();
        transport->Stop();
    }
    template <typename F>
    void Unit(F&& f) {
        transport->WithUnit([&](sim::SimulatedUnit& u) {
            f(u);
            return 0;
        });
    }
    Images UnitImages() {
        Unit([this](sim::SimulatedUnit& u) {
            monitor = u.monitor();
            rs = u.rsSettings();
            charge = u.chargeSettings();
            alarm = u.alarmSettings();
            alarm[49] = 0;  // never polled
            journal = u.journal();
        });
        return Images{monitor, rs, charge, alarm, journal};
    }
    // Every grid as the unit's registers imply, the clock row aside.
    void ExpectGridsMatchUnit(NameMode names, ValueMode values) {
        const Images images = UnitImages();
        const std::map<Grid, StringGrid*> grids = {
            {Grid::InfoBase, w.form1.StringGrid_INFOBASE_},
            {Grid::InfoCell, w.form1.StringGrid_INFOCELL_},
            {Grid::InfoAlarm, w.form1.StringGrid_INFOALARM_},
            {Grid::InfoCharge, w.form1.StringGrid_INFOCHARGE_},
            {Grid::SetRs, w.form1.StringGrid_SETRS_},
            {Grid::SetAlarm, w.form1.StringGrid_SETALARM_},
            {Grid::SetCharge, w.form1.StringGrid_SETCHARGE_},
            {Grid::Log, w.form1.StringGrid_LOG_}};
        for (const auto& [id, grid] : grids) {
            SCOPED_TRACE(grid->objectName().toStdString());
            auto expected = GridTexts(id, images, names, values, LocaleDecimalSeparator());
            auto shown = Texts(grid);
            ASSERT_EQ(shown.size(), expected.size());
            if (id == Grid::InfoBase) {
                expected.pop_back();
                shown.pop_back();
            }
            EXPECT_EQ(shown, expected);
        }
    }
    bool WaitForRefresh() {
        // The first tick shows the images as they stand (all zero); wait for
        // a tick after a whole cycle with the journal.
        return WaitFor([this] {
            return w.form1.StringGrid_INFOBASE_->Cell(2, 2) == QStringLiteral("16") &&
                   w.form1.StringGrid_LOG_->RowCount() != 769 &&
                   w.form1.StringGrid_SETRS_->Cell(2, 1) != QStringLiteral("0");
        });
    }

    Window w;
    std::unique_ptr<sim::SimTransport> transport;
    MonitorImage monitor{};
    RsSettingsImage rs{};
    ChargeSettingsImage charge{};
    AlarmSettingsImage alarm{};
    JournalImage journal{};
};

TEST_F(MonitoringRun, FillsEveryDisplayInBothModesAndStops) {
    TForm1& f = w.form1;
    f.CheckBox_READSETTINGS_->setChecked(true);
    f.CheckBox_READLOG_->setChecked(true);
    f.SpeedButton_CONNECT_->click();
    ASSERT_TRUE(f.link().IsOpen()) << f.StatusPanels[0]->text().toStdString();
    EXPECT_EQ(f.Timer_POLLING_->interval(), 250);
    // Every control that opens the port itself is off during the run.
    for (QWidget* control : std::initializer_list<QWidget*>{
             f.CheckBox_LOGEN_, f.BitBtn_WRITESETRS_, f.BitBtn_BOOTLOADERAUTO_,
             f.SpeedButton_PASSWORD_, f.BitBtn_CALIBERCURR_, f.BitBtn_TIMEREAD_, f.BitBtn_CLEARLOG_,
             w.form4.ComboBox_PORT_, w.form4.Edit_ADDRESS_, w.form4.BitBtn_PORTSCAN_})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_TRUE(f.BitBtn_TIMEWIN_->isEnabled());
    EXPECT_TRUE(f.CheckBox_READLOG_->isEnabled());

    ASSERT_TRUE(WaitForRefresh());
    ExpectGridsMatchUnit(NameMode::Russian, ValueMode::Converted);
    EXPECT_EQ(f.StringGrid_LOG_->RowCount(), 557) << "768 - 512 + 300 records and the header";

    // The main page.
    const MainIndicators expected = BuildMainIndicators(monitor, LocaleDecimalSeparator());
    EXPECT_EQ(f.LabeledEdit_VOLTDCU_->text(), expected.packVoltage);
    EXPECT_EQ(f.LabeledEdit_POWER_->text(), expected.power);
    EXPECT_EQ(f.LabeledEdit_CELLNUMBER_->text(), QStringLiteral("16"));
    EXPECT_EQ(f.LabeledEdit_VOLTCMAXCELL_->text(), expected.voltageMaxCell.value_or(QString()));
    EXPECT_EQ(f.ProgressBar_SOC_->value(), monitor[reg::Absolute_State_of_Charge]);
    for (std::size_t k = 0; k < 9; ++k)
        EXPECT_EQ(f.BatteryLamps[k]->color(),
                  expected.batteryLamps[k] ? QColor(255, 0, 0) : QColor(0, 255, 0));
    for (std::size_t b = 0; b < 20; ++b)
        EXPECT_EQ(f.SafetyLamps[b]->color(),
                  expected.safetyLamps[b] ? QColor(255, 0, 0) : QColor(0, 255, 0));
    EXPECT_EQ(f.Series_VOLTC_->data()->size(), 16);
    EXPECT_EQ(f.Series_TEMPC_->data()->size(), 16);
    EXPECT_EQ(f.StatusPanels[1]->text(), QStringLiteral("Ответ принят корректно"));
    EXPECT_TRUE(f.StatusPanels[2]->text().startsWith(QStringLiteral("Всего принято ")));

    // Raw values, then mnemonic names, through the options dialog.
    w.form3.RadioGroup_VIEWVALUE_->setItemIndex(0);
    w.form3.RadioGroup_VIEWNAME_->setItemIndex(1);
    w.form3.Button_FORM3OK_->click();
    EXPECT_EQ(f.options().values, ValueMode::Raw);
    ExpectGridsMatchUnit(NameMode::Russian, ValueMode::Raw);
    w.form3.RadioGroup_VIEWNAME_->setItemIndex(0);
    w.form3.Button_FORM3OK_->click();
    EXPECT_EQ(f.StringGrid_INFOBASE_->Cell(1, 1), QStringLiteral("Design_Capacity"));
    ASSERT_TRUE(WaitFor([&] { return f.link().CycleDone.load(); }));
    QTest::qWait(600);
    ExpectGridsMatchUnit(NameMode::Mnemonic, ValueMode::Raw);

    f.SpeedButton_CONNECT_->click();
    EXPECT_FALSE(f.link().IsOpen());
    EXPECT_FALSE(f.Timer_POLLING_->isActive());
    EXPECT_TRUE(f.BitBtn_CALIBERCURR_->isEnabled());
    EXPECT_TRUE(w.form4.Edit_ADDRESS_->isEnabled());
    EXPECT_EQ(f.Label15->text(), QStringLiteral("100"))
        << "no counted answers in the delivered build";
    EXPECT_TRUE(w.dialogs.boxes.empty());
}

TEST_F(MonitoringRun, SilenceKeepsTheDisplaysAsTheyWere) {
    TForm1& f = w.form1;
    f.SpeedButton_CONNECT_->click();
    ASSERT_TRUE(
        WaitFor([&] { return f.StringGrid_INFOBASE_->Cell(2, 2) == QStringLiteral("16"); }));
    sim::Faults silent;
    silent.silentEvery = 1;
    Unit([&](sim::SimulatedUnit& u) { u.SetFaults(silent); });
    ASSERT_TRUE(
        WaitFor([&] { return f.StatusPanels[1]->text() == QStringLiteral("Нет ответа!"); }));
    const auto before = Texts(f.StringGrid_INFOBASE_);
    QTest::qWait(1500);  // several ticks and silences; the unit's clock runs on meanwhile
    EXPECT_EQ(Texts(f.StringGrid_INFOBASE_), before);
    EXPECT_TRUE(f.link().NoAnswer);

    Unit([](sim::SimulatedUnit& u) { u.SetFaults({}); });
    ASSERT_TRUE(WaitFor([&] { return Texts(f.StringGrid_INFOBASE_) != before; }));
}

TEST_F(MonitoringRun, DataLogFileIsChosenAndCreatedOrTheRunDoesNotStart) {
    TForm1& f = w.form1;
    f.CheckBox_LOGEN_->setChecked(true);
    f.SpeedButton_CONNECT_->click();  // the file dialog is cancelled
    EXPECT_FALSE(f.link().IsOpen());
    EXPECT_FALSE(f.SpeedButton_CONNECT_->isChecked());
    ASSERT_EQ(w.dialogs.proposedNames.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{6}_\\d\\d-\\d\\d-\\d\\d_log\\.csv$"))
                    .match(w.dialogs.proposedNames[0])
                    .hasMatch())
        << w.dialogs.proposedNames[0].toStdString();

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run_log.csv"));
    w.dialogs.files.push_back(path);
    f.SpeedButton_CONNECT_->click();
    EXPECT_TRUE(f.link().IsOpen());
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(f.dataLogFileName(), path);
}

TEST(MainWindowDiagnostic, ShowsTheLinkTestPageCountsAndTraces) {
    Window w(true);
    TForm1& f = w.form1;
    EXPECT_TRUE(f.PageControl_MAIN_->isTabVisible(6));
    EXPECT_FALSE(f.Edit3->isHidden());
    EXPECT_FALSE(f.BitBtn_BOOTLOADERAUTOBOOT_->isHidden());

    sim::SimTransport transport(sim::UnitConfig{}, sim::SimTransport::Options{});
    ASSERT_TRUE(transport.Start());
    sim::Faults crc;
    crc.corruptCrcEvery = 1;
    crc.onlyRegister = 300;
    transport.WithUnit([&](sim::SimulatedUnit& u) {
        u.SetFaults(crc);
        return 0;
    });
    w.form4.SelectPort(QString::fromStdString(transport.slavePath()));
    w.form4.ComboBox_FREQ_->setCurrentIndex(0);
    f.SpeedButton_CONNECT_->click();
    ASSERT_TRUE(WaitFor([&] { return f.Label12->text().toInt() >= 2; }));
    f.SpeedButton_CONNECT_->click();
    QTest::qWait(50);  // the last queued reports
    const int ok = f.Label11->text().toInt();
    const int crcErrors = f.Label12->text().toInt();
    EXPECT_GE(ok, 5);
    EXPECT_EQ(f.Label13->text(), QStringLiteral("0"));
    EXPECT_EQ(f.Label15->text(),
              ErrorPercentText(static_cast<std::uint32_t>(ok),
                               static_cast<std::uint32_t>(crcErrors), 0, LocaleDecimalSeparator()));
    const QString memo = f.Memo1->toPlainText();
    EXPECT_TRUE(memo.contains(QStringLiteral("Ответ получен. Адрес=0 Кол-во=50")));
    EXPECT_TRUE(memo.contains(QStringLiteral("Ошибка CRC ответа! Адрес=300 Кол-во=125")));

    f.Button2->click();
    EXPECT_TRUE(f.Memo1->toPlainText().isEmpty());
    for (QLabel* label : {f.Label11, f.Label12, f.Label13, f.Label15})
        EXPECT_EQ(label->text(), QStringLiteral("0"));
    EXPECT_EQ(f.counters().ok, 0u);
    transport.Stop();
}

TEST(MainWindowPages, CellChartPagingAndOptionsCancel) {
    Window w;
    TForm1& f = w.form1;
    MonitorImage m{};
    m[reg::Design_Cell_Number] = 24;
    for (int k = 0; k < 24; ++k)
        m[static_cast<std::size_t>(50 + k)] = static_cast<std::uint16_t>(3300 + k);
    f.images().Store(RegisterImages::Area::Monitor, 0,
                     std::vector<std::uint16_t>(m.begin(), m.end()));
    f.RefillForValueMode();
    EXPECT_EQ(f.StringGrid_INFOCELL_->RowCount(), 25);
    f.UpDown_INFOCELLPAGE_->setValue(2);
    EXPECT_EQ(f.Chart_INFOCELL_->yAxis->range().lower, 20);
    EXPECT_EQ(f.Chart_INFOCELL_->yAxis->range().upper, 31);
    f.UpDown_INFOCELLPT_->setValue(20);
    EXPECT_EQ(f.UpDown_INFOCELLPAGE_->value(), 1);
    EXPECT_EQ(f.Chart_INFOCELL_->yAxis->range().upper, 41);

    m[reg::Design_Cell_Number] = 0;
    f.images().Store(RegisterImages::Area::Monitor, 0,
                     std::vector<std::uint16_t>(m.begin(), m.end()));
    f.RefillForValueMode();
    EXPECT_EQ(f.StringGrid_INFOCELL_->RowCount(), 2);
    EXPECT_EQ(f.Series_VOLTC_->data()->size(), 0);

    // Cancel restores the dialog to the options in force.
    w.form3.RadioGroup_VIEWNAME_->setItemIndex(0);
    w.form3.RadioGroup_VIEWVALUE_->setItemIndex(0);
    w.form3.CheckBox_LOGSAVEERROR_->setChecked(false);
    w.form3.Button_FORM3CANCEL_->click();
    EXPECT_EQ(f.options().names, NameMode::Russian);
    EXPECT_EQ(f.options().values, ValueMode::Converted);
    EXPECT_TRUE(f.options().logErrors);
    EXPECT_EQ(w.form3.RadioGroup_VIEWNAME_->itemIndex(), 1);
    EXPECT_EQ(w.form3.RadioGroup_VIEWVALUE_->itemIndex(), 1);
    EXPECT_TRUE(w.form3.CheckBox_LOGSAVEERROR_->isChecked());
    // Switching only the names keeps the values until the next refill.
    f.StringGrid_INFOBASE_->SetCell(2, 1, QStringLiteral("kept"));
    w.form3.RadioGroup_VIEWNAME_->setItemIndex(0);
    w.form3.Button_FORM3OK_->click();
    EXPECT_EQ(f.StringGrid_INFOBASE_->Cell(1, 1), QStringLiteral("Design_Capacity"));
    EXPECT_EQ(f.StringGrid_INFOBASE_->Cell(2, 1), QStringLiteral("kept"));
}

}  // namespace
}  // namespace kelvra

#include <QProcess>

namespace kelvra {
namespace {

TEST(KelvraProgram, ListControlsPrintsEveryNamedComponent) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // listing needs no display
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KELVRA_APP_PATH), {QStringLiteral("--list-controls")});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'));
    auto line = [&](const QString& name) {
        for (const QString& l : lines)
            if (l.startsWith(name + QLatin1Char('\t')))
                return l;
        return QString();
    };
    EXPECT_EQ(line(QStringLiteral("SpeedButton_CONNECT_")),
              QStringLiteral(
                  "SpeedButton_CONNECT_\tQPushButton\tОпрос модуля контроллера\tenabled\tvisible"));
    EXPECT_EQ(line(QStringLiteral("BitBtn_SETMODE_")),
              QStringLiteral("BitBtn_SETMODE_\tQPushButton\tУстановить\tdisabled\tvisible"));
    EXPECT_TRUE(line(QStringLiteral("Edit3")).endsWith(QStringLiteral("\thidden")));
    EXPECT_TRUE(line(QStringLiteral("TabSheet2")).endsWith(QStringLiteral("\thidden")));
    EXPECT_EQ(line(QStringLiteral("Edit_ADDRESS_")),
              QStringLiteral("Edit_ADDRESS_\tQLineEdit\t238\tenabled\tvisible"));
    EXPECT_FALSE(line(QStringLiteral("Button_FORM3OK_")).isEmpty());
    EXPECT_FALSE(line(QStringLiteral("CheckListBox_FORM2_")).isEmpty());
    EXPECT_FALSE(line(QStringLiteral("N6")).isEmpty());
    for (const QString& l : lines) {
        if (!l.isEmpty()) {
            EXPECT_EQ(l.count(QLatin1Char('\t')), 4) << l.toStdString();
        }
    }
}

TEST(KelvraProgram, SaysSoWhenThereIsNoDisplay) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KELVRA_APP_PATH), {QStringLiteral("--demo")});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(p.readAllStandardError().contains("no graphical display"));
}

}  // namespace
}  // namespace kelvra
