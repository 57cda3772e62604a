#pragma once

#include <QMainWindow>
#include <array>
#include <memory>

#include "app/GuiLinkEvents.h"
#include "app/QtUserDialogs.h"
#include "display/DisplayOptions.h"
#include "display/Tables.h"
#include "link/PollSequence.h"
#include "link/SerialLink.h"

class QCheckBox;
class QCustomPlot;
class QCPBars;
class QCPGraph;
class QGroupBox;
class QLabel;
class QLineEdit;
class QComboBox;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTimer;
class QPlainTextEdit;
class QAction;

namespace kelvra {

class LabeledEdit;
class Lamp;
class StringGrid;
class TForm2;
class TForm3;
class TForm4;

// The main window. It owns the controls, the register images and the link of
// a monitoring run, and wires each control to its handler. The displays are
// filled from the core table builders; no protocol logic lives here.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // `diagnostic` is the build's DiagnosticMode; tests build either variant.
    explicit TForm1(QtUserDialogs& dialogs, PortFactory ports = MakeSystemSerialPort,
                    LinkTimings timings = {}, bool diagnostic = kDiagnosticMode,
                    QWidget* parent = nullptr);
    ~TForm1() override;

    // The three dialogs, created after the main window as at start-up.
    void SetDialogs(TForm2* form2, TForm3* form3, TForm4* form4);

    // --- start-up and layout
    void FormCreate();
    void SetupGrids();
    void ResetLinkCounters();

    // --- monitoring run
    void SetControlsEnabled(bool enabled);
    // --- fills
    void ShowInfoBase();
    void ShowInfoCell();
    void SetCellChartPage(int cells, int perScreen, int page);
    void ShowInfoAlarm();
    void ShowInfoCharge();
    void ShowMainIndicators();
    void ShowSetRs();
    void ShowSetAlarm();
    void ShowSetCharge();
    void ShowLog();
    void RefillForValueMode();
    // The tick's refresh of every display from the images, in the tick's order.
    void RefreshDisplays();

    RegisterImages& images() { return images_; }
    SerialLink& link() { return *link_; }
    DisplayOptions& options() { return options_; }
    PollOptions& pollOptions() { return pollOptions_; }
    LinkCounters& counters() { return counters_; }
    const QString& dataLogFileName() const { return DataLogFileName; }

    // Components, by their names.
    QPushButton* SpeedButton_CONNECT_;
    QCheckBox* CheckBox_LOGEN_;
    QCheckBox* CheckBox_READSETTINGS_;
    QCheckBox* CheckBox_READLOG_;
    QGroupBox* GroupBox_PASSWORD_;
    QPushButton* SpeedButton_PASSWORD_;
    QPushButton* BitBtn_PASSWORDNEW_;
    QTabWidget* PageControl_MAIN_;
    QTabWidget* PageControl_INFO_;
    QTabWidget* PageControl_SET_;
    QLabel* StatusPanels[3];
    QTimer* Timer_POLLING_;
    QTimer* Timer_INDICATE_;
    QTimer* Timer_POLLINGTEST_;
    QAction* N2;
    QAction* N4;
    QAction* N6;

    // Main page.
    LabeledEdit *LabeledEdit_CAPACITY_, *LabeledEdit_CELLNUMBER_, *LabeledEdit_VOLTDCU_,
        *LabeledEdit_CURRDCI_, *LabeledEdit_CURRAVG_, *LabeledEdit_POWER_, *LabeledEdit_POWERAVG_,
        *LabeledEdit_VOLTCAVG_, *LabeledEdit_VOLTCMAX_, *LabeledEdit_VOLTCMIN_,
        *LabeledEdit_VOLTCMAXCELL_, *LabeledEdit_VOLTCMINCELL_, *LabeledEdit_TEMPAVG_,
        *LabeledEdit_TEMPMAX_, *LabeledEdit_TEMPMIN_, *LabeledEdit_TEMPMAXCELL_,
        *LabeledEdit_TEMPMINCELL_, *LabeledEdit_TEMPAMB_, *LabeledEdit_BALANCECELLNMB_,
        *LabeledEdit_SOCAH_, *LabeledEdit_SOCPERCENT_, *LabeledEdit_TIMETOEMPTY_,
        *LabeledEdit_AVGTIMETOEMPTY_;
    QProgressBar* ProgressBar_SOC_;
    std::array<Lamp*, 9> BatteryLamps{};
    std::array<Lamp*, 20> SafetyLamps{};

    // Grids and their buttons.
    StringGrid *StringGrid_INFOBASE_, *StringGrid_INFOCELL_, *StringGrid_INFOALARM_,
        *StringGrid_INFOCHARGE_, *StringGrid_SETRS_, *StringGrid_SETALARM_, *StringGrid_SETCHARGE_,
        *StringGrid_LOG_;
    QPushButton *BitBtn_SAVEINFOBASE_, *BitBtn_LOADINFOBASE_, *BitBtn_WRITEINFOBASE_,
        *BitBtn_SAVEINFOCELL_, *BitBtn_LOADINFOCELL_, *BitBtn_SAVESETRS_, *BitBtn_LOADSETRS_,
        *BitBtn_WRITESETRS_, *BitBtn_SAVESETALARM_, *BitBtn_LOADSETALARM_, *BitBtn_WRITESETALARM_,
        *BitBtn_SAVESETCHARGE_, *BitBtn_LOADSETCHARGE_, *BitBtn_WRITESETCHARGE_, *BitBtn_SAVELOG_,
        *BitBtn_LOADLOG_, *BitBtn_CLEARLOG_;

    // Cells page.
    QCustomPlot* Chart_INFOCELL_;
    QCPBars* Series_VOLTC_;
    QCPBars* Series_TEMPC_;
    QSpinBox* UpDown_INFOCELLPT_;
    QSpinBox* UpDown_INFOCELLPAGE_;
    QCheckBox* CheckBox_INFOCELL3D_;

    // Calibration and clock pages.
    QPushButton *BitBtn_CALIBERCURRNULL_, *BitBtn_CALIBERCURR_, *BitBtn_SETSOC_, *BitBtn_SETFCC_,
        *BitBtn_SETMODE_, *BitBtn_SETCYCLE_, *BitBtn_TIMEREAD_, *BitBtn_TIMEWIN_,
        *BitBtn_TIMEWRITE_;
    QLineEdit *Edit_CALIBERCURR_, *Edit_SETCYCLE_;
    LabeledEdit *LabeledEdit_SETSOC_, *LabeledEdit_SETFCC_, *LabeledEdit_HOUR_,
        *LabeledEdit_MINUTE_, *LabeledEdit_SECOND_, *LabeledEdit_YEAR_;
    QComboBox *ComboBox_DAY_, *ComboBox_MONTH_;
    QCheckBox *CheckBox_SETMODE_CAPACITY_, *CheckBox_SETMODE_ORDER_, *CheckBox_SETMODE_BALANCE_,
        *CheckBox_SETMODE_BUZZER_;

    // Graph page.
    QCustomPlot* Chart_GRAPH_;
    std::array<QCPGraph*, 20> GraphSeries{};
    QSpinBox* UpDown_GRAPHBOTMAX_;
    QSpinBox* UpDown_GRAPHBOTMIN_;
    QPushButton *BitBtn_GRAPHADD_, *BitBtn_GRAPHSAVE_, *BitBtn_GRAPHCLEAR_;

    // Firmware page.
    QPushButton *BitBtn_BOOTLOADERAUTO_, *BitBtn_BOOTLOADERAUTOBOOT_, *BitBtn_BOOTLOADER30_,
        *BitBtn_BOOTLOADER21_, *BitBtn_BOOTLOADER03_, *BitBtn_BOOTLOADER20_, *BitBtn_BOOTLOADER31_;
    QProgressBar* ProgressBar_BOOTLOADER_;
    QGroupBox *GroupBox_BOOTLOADERREAD_, *GroupBox_BOOTLOADERERASE_;
    QRadioButton *RadioButton_READVERSION_, *RadioButton_READBOOTREG_, *RadioButton1, *RadioButton2;
    QLineEdit *Edit_READREGADDRESS_, *Edit_READREGNUMBER_, *Edit3, *Edit4, *Edit_ReqCode;
    QPlainTextEdit* Memo2;

    // Link-test page.
    QWidget* TabSheet2;
    QLabel *Label11, *Label12, *Label13, *Label15;
    QPlainTextEdit* Memo1;
    QPushButton* Button2;

public Q_SLOTS:
    void SpeedButton_CONNECT_Click();
    void Timer_POLLING_Timer();
    void N2Click();
    void N4Click();
    void N6Click();
    void Button2Click();
    void UpDown_INFOCELLChanged();
    void CheckBox_INFOCELL3D_Click();

private:
    void BuildTop(QWidget* parent);
    QWidget* BuildMainPage();
    QWidget* BuildInfoPage();
    QWidget* BuildSetPage();
    QWidget* BuildLogPage();
    QWidget* BuildGraphPage();
    QWidget* BuildBootloaderPage();
    QWidget* BuildLinkTestPage();
    void BuildMenuAndStatus();
    void WireLinkEvents();
    void ApplyDiagnosticMode(bool diagnostic);

    QtUserDialogs& dialogs_;
    bool diagnostic_;
    DisplayOptions options_;
    RegisterImages images_;
    PollOptions pollOptions_;
    LinkCounters counters_;
    GuiLinkEvents events_;
    std::unique_ptr<LinkReporter> reporter_;
    std::unique_ptr<PollSequence> sequence_;
    std::unique_ptr<SerialLink> link_;
    RegisterImages::Snapshot shown_;  // the images as the last refill read them
    QString DataLogFileName;
    TForm2* form2_ = nullptr;
    TForm3* form3_ = nullptr;
    TForm4* form4_ = nullptr;
};

}  // namespace kelvra
