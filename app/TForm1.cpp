#include "app/TForm1.h"

#include <qcustomplot.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "connection/TForm4.h"
#include "display/StringGrid.h"
#include "display/TForm3.h"
#include "display/Widgets.h"
#include "graph/TForm2.h"
#include "registers/FormatGeneral.h"
#include "registers/MonitorMap.h"

namespace kelvra {

namespace {
const QColor kRed(255, 0, 0);
const QColor kLime(0, 255, 0);

QColor Rgb(std::uint32_t rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}
}  // namespace

TForm1::TForm1(QtUserDialogs& dialogs, PortFactory ports, LinkTimings timings, bool diagnostic,
               QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), diagnostic_(diagnostic) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Kelvra. Версия 2.0"));
    setMinimumSize(800, 600);
    resize(792, 554 + 40);

    reporter_ =
        std::make_unique<LinkReporter>(events_, counters_, diagnostic_, LocaleDecimalSeparator());
    sequence_ = std::make_unique<PollSequence>(images_, pollOptions_, *reporter_);
    link_ = std::make_unique<SerialLink>(*sequence_, *reporter_, std::move(ports), timings);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("CentralWidget"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    setCentralWidget(central);
    BuildTop(central);
    PageControl_MAIN_ = new QTabWidget(central);
    PageControl_MAIN_->setObjectName(QStringLiteral("PageControl_MAIN_"));
    layout->addWidget(PageControl_MAIN_, 1);
    PageControl_MAIN_->addTab(BuildMainPage(), QStringLiteral("Главная"));
    PageControl_MAIN_->addTab(BuildInfoPage(), QStringLiteral("Состояние"));
    PageControl_MAIN_->addTab(BuildSetPage(), QStringLiteral("Настройки"));
    PageControl_MAIN_->addTab(BuildLogPage(), QStringLiteral("Журнал"));
    PageControl_MAIN_->addTab(BuildGraphPage(), QStringLiteral("График"));
    PageControl_MAIN_->addTab(BuildBootloaderPage(), QStringLiteral("Обновление"));
    PageControl_MAIN_->addTab(BuildLinkTestPage(), QStringLiteral("Тест связи"));
    BuildMenuAndStatus();
    PageControl_MAIN_->setCurrentIndex(2);
    PageControl_SET_->setCurrentIndex(2);
    PageControl_INFO_->setCurrentIndex(1);

    connect(SpeedButton_CONNECT_, &QPushButton::clicked, this, &TForm1::SpeedButton_CONNECT_Click);
    connect(Timer_POLLING_, &QTimer::timeout, this, &TForm1::Timer_POLLING_Timer);
    connect(N2, &QAction::triggered, this, &TForm1::N2Click);
    connect(N4, &QAction::triggered, this, &TForm1::N4Click);
    connect(N6, &QAction::triggered, this, &TForm1::N6Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(UpDown_INFOCELLPT_, &QSpinBox::valueChanged, this, &TForm1::UpDown_INFOCELLChanged);
    connect(UpDown_INFOCELLPAGE_, &QSpinBox::valueChanged, this, &TForm1::UpDown_INFOCELLChanged);
    connect(CheckBox_INFOCELL3D_, &QCheckBox::clicked, this, &TForm1::CheckBox_INFOCELL3D_Click);
    connect(CheckBox_READSETTINGS_, &QCheckBox::toggled, this,
            [this](bool on) { pollOptions_.readSettings = on; });
    connect(CheckBox_READLOG_, &QCheckBox::toggled, this,
            [this](bool on) { pollOptions_.readJournal = on; });
    connect(UpDown_GRAPHBOTMAX_, &QSpinBox::valueChanged, this, [this](int v) {
        Chart_GRAPH_->yAxis->setRangeUpper(v);
        Chart_GRAPH_->replot();
    });
    connect(UpDown_GRAPHBOTMIN_, &QSpinBox::valueChanged, this, [this](int v) {
        Chart_GRAPH_->yAxis->setRangeLower(v);
        Chart_GRAPH_->replot();
    });
    WireLinkEvents();
}

TForm1::~TForm1() {
    link_->CloseLink();
}

void TForm1::SetDialogs(TForm2* form2, TForm3* form3, TForm4* form4) {
    form2_ = form2;
    form3_ = form3;
    form4_ = form4;
    // The poll reads the address on its own thread: keep a copy of the
    // dialog's valid address in step with its edit.
    auto syncAddress = [this] {
        if (const auto a = ParseDecimalInt(form4_->AddressText()); a && *a >= 0 && *a <= 255)
            pollOptions_.address = *a;
    };
    connect(form4_->Edit_ADDRESS_, &QLineEdit::textChanged, this, syncAddress);
    syncAddress();
}

void TForm1::WireLinkEvents() {
    connect(
        &events_, &GuiLinkEvents::status, this,
        [this](int panel, const QString& text) {
            if (panel >= 0 && panel < 3)
                StatusPanels[panel]->setText(text);
        },
        Qt::QueuedConnection);
    connect(
        &events_, &GuiLinkEvents::trace, this,
        [this](const QStringList& lines) {
            for (const QString& line : lines)
                Memo1->appendPlainText(line);
        },
        Qt::QueuedConnection);
    connect(
        &events_, &GuiLinkEvents::counters, this,
        [this](quint32 ok, quint32 crc, quint32 none) {
            Label11->setText(QString::number(ok));
            Label12->setText(QString::number(crc));
            Label13->setText(QString::number(none));
        },
        Qt::QueuedConnection);
    connect(
        &events_, &GuiLinkEvents::percent, this,
        [this](const QString& text) { Label15->setText(text); }, Qt::QueuedConnection);
}

// --- start-up ----------------------------------------------------------------------------

void TForm1::FormCreate() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize s = screen->size();
        move((s.width() - 792) / 2, (s.height() - 554) / 2 - 30);
    }
    SetupGrids();
    Memo1->clear();
    ResetLinkCounters();
    Timer_POLLINGTEST_->stop();
    ApplyDiagnosticMode(diagnostic_);
    UpDown_GRAPHBOTMAX_->setRange(3, 2000);
    UpDown_GRAPHBOTMAX_->setValue(300);
    Chart_GRAPH_->yAxis->setRangeUpper(300);
    UpDown_GRAPHBOTMIN_->setRange(-200, 0);
    UpDown_GRAPHBOTMIN_->setValue(0);
    Chart_GRAPH_->yAxis->setRangeLower(0);
}

void TForm1::ApplyDiagnosticMode(bool diagnostic) {
    PageControl_MAIN_->setTabVisible(PageControl_MAIN_->indexOf(TabSheet2), diagnostic);
    for (QWidget* w :
         {static_cast<QWidget*>(Edit3), static_cast<QWidget*>(Edit4),
          static_cast<QWidget*>(Edit_ReqCode), static_cast<QWidget*>(GroupBox_BOOTLOADERREAD_),
          static_cast<QWidget*>(GroupBox_BOOTLOADERERASE_),
          static_cast<QWidget*>(BitBtn_BOOTLOADER30_), static_cast<QWidget*>(BitBtn_BOOTLOADER21_),
          static_cast<QWidget*>(BitBtn_BOOTLOADER31_),
          static_cast<QWidget*>(BitBtn_BOOTLOADERAUTOBOOT_)})
        w->setVisible(diagnostic);
}

void TForm1::SetupGrids() {
    const std::map<Grid, StringGrid*> grids = {
        {Grid::InfoBase, StringGrid_INFOBASE_},   {Grid::InfoCell, StringGrid_INFOCELL_},
        {Grid::InfoAlarm, StringGrid_INFOALARM_}, {Grid::InfoCharge, StringGrid_INFOCHARGE_},
        {Grid::SetRs, StringGrid_SETRS_},         {Grid::SetAlarm, StringGrid_SETALARM_},
        {Grid::SetCharge, StringGrid_SETCHARGE_}, {Grid::Log, StringGrid_LOG_}};
    for (Grid id : AllGrids()) {
        const GridLayout layout = LayoutOf(id, options_.names);
        StringGrid* grid = grids.at(id);
        if (layout.rows > 0)
            grid->SetRowCount(layout.rows);
        if (grid->ColCount() != static_cast<int>(layout.columnWidths.size()))
            grid->SetColCount(static_cast<int>(layout.columnWidths.size()));
        for (int c = 0; c < static_cast<int>(layout.columnWidths.size()); ++c)
            if (layout.columnWidths[static_cast<std::size_t>(c)] > 0)
                grid->SetColWidth(c, layout.columnWidths[static_cast<std::size_t>(c)]);
        StringGrid::Update update(*grid);
        for (int c = 0; c < layout.headers.size(); ++c)
            update.Set(c, 0, layout.headers[c]);
        for (int r = 1; r <= layout.rowNames.size(); ++r) {
            update.Set(0, r, QString::number(r));
            update.Set(1, r, layout.rowNames[r - 1]);
        }
    }
    const QStringList titles = GraphSeriesTitles(options_.names);
    for (int i = 0; i < titles.size(); ++i)
        GraphSeries[static_cast<std::size_t>(i)]->setName(titles[i]);
    if (form2_)
        form2_->SetItems(titles);
}

void TForm1::ResetLinkCounters() {
    counters_.Reset();
    Label11->setText(QStringLiteral("0"));
    Label13->setText(QString::number(counters_.noAnswers.load()));
    Label12->setText(QString::number(counters_.crcErrors.load()));
    Label15->setText(QStringLiteral("0"));
}

void TForm1::Button2Click() {
    Memo1->clear();
    counters_.Reset();
    for (QLabel* l : {Label11, Label12, Label13, Label15})
        l->setText(QStringLiteral("0"));
}

// --- menu -------------------------------------------------------------------------------------

void TForm1::N2Click() {
    close();
}
void TForm1::N4Click() {
    if (form4_)
        form4_->exec();
}
void TForm1::N6Click() {
    if (form3_)
        form3_->ShowWithCurrentOptions();
}

// --- monitoring run ---------------------------------------------------------------------------

void TForm1::SetControlsEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             CheckBox_LOGEN_,       BitBtn_WRITEINFOBASE_,    BitBtn_WRITESETRS_,
             BitBtn_WRITESETALARM_, BitBtn_WRITESETCHARGE_,   BitBtn_BOOTLOADERAUTO_,
             BitBtn_BOOTLOADER30_,  BitBtn_BOOTLOADER03_,     BitBtn_BOOTLOADER20_,
             BitBtn_BOOTLOADER21_,  BitBtn_BOOTLOADER31_,     Edit_READREGADDRESS_,
             Edit_READREGNUMBER_,   RadioButton_READVERSION_, RadioButton_READBOOTREG_,
             SpeedButton_PASSWORD_, BitBtn_PASSWORDNEW_,      BitBtn_CALIBERCURRNULL_,
             BitBtn_CALIBERCURR_,   BitBtn_SETSOC_,           BitBtn_SETFCC_,
             BitBtn_SETCYCLE_,      BitBtn_SETMODE_,          BitBtn_TIMEREAD_,
             BitBtn_TIMEWRITE_,     BitBtn_CLEARLOG_})
        w->setEnabled(enabled);
    if (form4_)
        form4_->SetSettingsEnabled(enabled);
}

void TForm1::SpeedButton_CONNECT_Click() {
    if (!form4_->ValidateAddress()) {
        SpeedButton_CONNECT_->setChecked(false);
        return;
    }
    if (!SpeedButton_CONNECT_->isChecked()) {
        link_->CloseLink();
        Timer_POLLING_->stop();
        Timer_INDICATE_->stop();
        SetControlsEnabled(true);
        return;
    }
    if (CheckBox_LOGEN_->isChecked()) {
        const QString name =
            QDateTime::currentDateTime().toString(QStringLiteral("yyMMdd_hh-mm-ss")) +
            QStringLiteral("_log.csv");
        const QString path =
            dialogs_.ChooseFile(QCoreApplication::applicationDirPath(), name,
                                QStringLiteral("Comma-Separated Values files (*.csv)"));
        if (path.isEmpty()) {
            SpeedButton_CONNECT_->setChecked(false);
            return;
        }
        // Created when missing, never truncated; closed again at once.
        QFile file(path);
        if (!file.open(QIODevice::Append)) {
            dialogs_.Message(QStringLiteral("Не удалось создать файл лога: ") + path,
                             QStringLiteral("Ошибка!"), DialogIcon::Error);
            SpeedButton_CONNECT_->setChecked(false);
            return;
        }
        file.close();
        DataLogFileName = path;
    }
    pollOptions_.address = ParseDecimalInt(form4_->AddressText()).value_or(238);
    if (!link_->OpenLink(*form4_)) {
        SpeedButton_CONNECT_->setChecked(false);
        return;
    }
    link_->BytesReceived = 0;
    QString period = form4_->PeriodText();
    period.replace(QLatin1Char(','), QLatin1Char('.'));
    Timer_POLLING_->setInterval(static_cast<int>(period.toDouble() * 1000));
    Timer_POLLING_->start();
    Timer_INDICATE_->start();
    SetControlsEnabled(false);
}

void TForm1::Timer_POLLING_Timer() {
    if (!link_->CycleDone)
        return;
    pollOptions_.logErrors = CheckBox_LOGEN_->isChecked() && options_.logErrors;
    if (!link_->NoAnswer)
        RefreshDisplays();
    link_->StartCycle();
}

void TForm1::RefreshDisplays() {
    shown_ = images_.Take();
    ShowInfoBase();
    ShowInfoCell();
    ShowInfoAlarm();
    ShowInfoCharge();
    ShowMainIndicators();
    if (CheckBox_READSETTINGS_->isChecked()) {
        ShowSetRs();
        ShowSetAlarm();
        ShowSetCharge();
    }
    if (CheckBox_READLOG_->isChecked())
        ShowLog();
}

// --- fills ---------------------------------------------------------------------------------------

void TForm1::RefillForValueMode() {
    shown_ = images_.Take();
    ShowInfoBase();
    ShowInfoCell();
    ShowInfoAlarm();
    ShowInfoCharge();
    ShowSetRs();
    ShowSetAlarm();
    ShowSetCharge();
}

void TForm1::ShowInfoBase() {
    const auto rows = InfoBaseValues(shown_.monitor, options_.values, LocaleDecimalSeparator());
    StringGrid::Update update(*StringGrid_INFOBASE_);
    for (int r = 1; r <= static_cast<int>(rows.size()); ++r) {
        update.Set(3, r, rows[static_cast<std::size_t>(r - 1)].unit);
        update.Set(2, r, rows[static_cast<std::size_t>(r - 1)].value);
    }
}

void TForm1::ShowInfoCell() {
    const CellTable table =
        InfoCellValues(shown_.monitor, options_.values, LocaleDecimalSeparator());
    SetCellChartPage(table.cells, UpDown_INFOCELLPT_->value(), UpDown_INFOCELLPAGE_->value());
    StringGrid_INFOCELL_->SetRowCount(table.cells >= 1 ? table.cells + 1 : 2);
    {
        StringGrid::Update update(*StringGrid_INFOCELL_);
        for (int r = 1; r < StringGrid_INFOCELL_->RowCount(); ++r)
            for (int c = 0; c < StringGrid_INFOCELL_->ColCount(); ++c)
                update.Set(c, r, QString());
        for (int r = 1; r <= table.cells; ++r)
            for (int c = 0; c < 17; ++c)
                update.Set(c, r, table.rows[static_cast<std::size_t>(r - 1)][c]);
    }
    QVector<double> keys, volts, temps;
    for (int k = 1; k <= table.cells; ++k) {
        keys << k;
        volts << table.voltages[static_cast<std::size_t>(k - 1)];
        temps << table.temperatures[static_cast<std::size_t>(k - 1)];
    }
    Series_TEMPC_->setData(keys, temps, true);
    Series_VOLTC_->setData(keys, volts, true);
    Chart_INFOCELL_->replot();
}

void TForm1::SetCellChartPage(int cells, int perScreen, int page) {
    const CellChartPage p = ComputeCellChartPage(cells, perScreen, page);
    const QSignalBlocker a(UpDown_INFOCELLPT_);
    const QSignalBlocker b(UpDown_INFOCELLPAGE_);
    UpDown_INFOCELLPT_->setRange(p.perScreenMin, p.perScreenMax);
    UpDown_INFOCELLPT_->setValue(p.perScreen);
    UpDown_INFOCELLPAGE_->setRange(0, p.pageMax);
    UpDown_INFOCELLPAGE_->setValue(p.page);
    Chart_INFOCELL_->yAxis->setRange(p.axisMin, p.axisMax);
    Chart_INFOCELL_->replot();
}

void TForm1::UpDown_INFOCELLChanged() {
    const int cells = std::min<int>(shown_.monitor[reg::Design_Cell_Number], reg::kMaxCells);
    if (cells != 0)
        SetCellChartPage(cells, UpDown_INFOCELLPT_->value(), UpDown_INFOCELLPAGE_->value());
}

void TForm1::CheckBox_INFOCELL3D_Click() {
    // The chart has no third dimension; the switch gives the bars a raised
    // outline instead, so the operator still sees the view change.
    const QPen pen = CheckBox_INFOCELL3D_->isChecked() ? QPen(Qt::darkGray, 2) : QPen(Qt::black, 1);
    Series_VOLTC_->setPen(pen);
    Series_TEMPC_->setPen(pen);
    Chart_INFOCELL_->replot();
}

void TForm1::ShowInfoAlarm() {
    const auto rows = InfoAlarmValues(shown_.monitor);
    StringGrid::Update update(*StringGrid_INFOALARM_);
    for (int r = 1; r <= static_cast<int>(rows.size()); ++r) {
        update.Set(2, r, rows[static_cast<std::size_t>(r - 1)].first);
        update.Set(3, r, rows[static_cast<std::size_t>(r - 1)].second);
    }
}

void TForm1::ShowInfoCharge() {
    const auto rows = InfoChargeValues(shown_.monitor);
    StringGrid::Update update(*StringGrid_INFOCHARGE_);
    for (int r = 1; r <= static_cast<int>(rows.size()); ++r) {
        update.Set(2, r, rows[static_cast<std::size_t>(r - 1)].first);
        update.Set(3, r, rows[static_cast<std::size_t>(r - 1)].second);
    }
}

void TForm1::ShowMainIndicators() {
    const MainIndicators i = BuildMainIndicators(shown_.monitor, LocaleDecimalSeparator());
    LabeledEdit_VOLTDCU_->setText(i.packVoltage);
    LabeledEdit_CURRDCI_->setText(i.packCurrent);
    LabeledEdit_CURRAVG_->setText(i.averageCurrent);
    LabeledEdit_POWER_->setText(i.power);
    LabeledEdit_POWERAVG_->setText(i.averagePower);
    LabeledEdit_VOLTCAVG_->setText(i.cellVoltageAverage);
    LabeledEdit_VOLTCMAX_->setText(i.cellVoltageMax);
    LabeledEdit_VOLTCMIN_->setText(i.cellVoltageMin);
    LabeledEdit_TEMPAVG_->setText(i.temperatureAverage);
    LabeledEdit_TEMPMAX_->setText(i.temperatureMax);
    LabeledEdit_TEMPMIN_->setText(i.temperatureMin);
    LabeledEdit_TEMPAMB_->setText(i.temperatureAmbient);
    if (i.voltageMaxCell)
        LabeledEdit_VOLTCMAXCELL_->setText(*i.voltageMaxCell);
    if (i.voltageMinCell)
        LabeledEdit_VOLTCMINCELL_->setText(*i.voltageMinCell);
    if (i.temperatureMaxCell)
        LabeledEdit_TEMPMAXCELL_->setText(*i.temperatureMaxCell);
    if (i.temperatureMinCell)
        LabeledEdit_TEMPMINCELL_->setText(*i.temperatureMinCell);
    LabeledEdit_BALANCECELLNMB_->setText(i.balancingCells);
    LabeledEdit_CELLNUMBER_->setText(i.cellNumber);
    LabeledEdit_CAPACITY_->setText(i.capacity);
    LabeledEdit_SOCPERCENT_->setText(i.chargePercent);
    LabeledEdit_SOCAH_->setText(i.chargeAh);
    LabeledEdit_TIMETOEMPTY_->setText(i.timeToEmpty);
    LabeledEdit_AVGTIMETOEMPTY_->setText(i.averageTimeToEmpty);
    ProgressBar_SOC_->setStyleSheet(
        QStringLiteral("QProgressBar::chunk { background: %1; }").arg(Rgb(i.socColor).name()));
    ProgressBar_SOC_->setProperty("barColor", Rgb(i.socColor));
    ProgressBar_SOC_->setValue(std::clamp(i.socPosition, 0, 100));
    for (std::size_t k = 0; k < BatteryLamps.size(); ++k)
        BatteryLamps[k]->setColor(i.batteryLamps[k] ? kRed : kLime);
    for (std::size_t b = 0; b < SafetyLamps.size(); ++b)
        SafetyLamps[b]->setColor(i.safetyLamps[b] ? kRed : kLime);
    SpeedButton_PASSWORD_->setText(i.loggedIn ? QStringLiteral("Выйти") : QStringLiteral("Войти"));
    SpeedButton_PASSWORD_->setChecked(i.loggedIn);
}

void TForm1::ShowSetRs() {
    const auto rows = SetRsValues(shown_.rs);
    StringGrid::Update update(*StringGrid_SETRS_);
    for (int r = 1; r <= static_cast<int>(rows.size()); ++r) {
        update.Set(2, r, rows[static_cast<std::size_t>(r - 1)].value);
        if (rows[static_cast<std::size_t>(r - 1)].decoding)
            update.Set(3, r, *rows[static_cast<std::size_t>(r - 1)].decoding);
    }
}

void TForm1::ShowSetAlarm() {
    const auto rows = SetAlarmValues(shown_.alarm, options_.values, LocaleDecimalSeparator());
    StringGrid::Update update(*StringGrid_SETALARM_);
    for (int r = 1; r <= static_cast<int>(rows.size()); ++r) {
        update.Set(3, r, rows[static_cast<std::size_t>(r - 1)].unit);
        update.Set(2, r, rows[static_cast<std::size_t>(r - 1)].value);
    }
}

void TForm1::ShowSetCharge() {
    const auto rows = SetChargeValues(shown_.charge, options_.values, LocaleDecimalSeparator());
    StringGrid::Update update(*StringGrid_SETCHARGE_);
    for (int r = 1; r <= static_cast<int>(rows.size()); ++r) {
        update.Set(3, r, rows[static_cast<std::size_t>(r - 1)].unit);
        update.Set(2, r, rows[static_cast<std::size_t>(r - 1)].value);
    }
}

void TForm1::ShowLog() {
    const auto rows = JournalRows(shown_.journal);
    if (!rows)
        return;  // no empty record: the grid keeps what it shows
    StringGrid_LOG_->SetRowCount(static_cast<int>(rows->size()) + 1);
    StringGrid::Update update(*StringGrid_LOG_);
    for (int r = 1; r <= static_cast<int>(rows->size()); ++r)
        for (int c = 0; c < 4; ++c)
            update.Set(c, r, (*rows)[static_cast<std::size_t>(r - 1)][c]);
}

}  // namespace kelvra
