// Builds the controls of the main window: every component the program names,
// with its caption, hint and initial state. Behaviour is wired in TForm1.cpp.

#include <qcustomplot.h>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/TForm1.h"
#include "display/StringGrid.h"
#include "display/Widgets.h"
#include "registers/Flags.h"

namespace kelvra {

namespace {

template <typename W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QPushButton* Button(const char* name, const QString& caption, QWidget* parent) {
    return Named(new QPushButton(caption, parent), name);
}

QCheckBox* Check(const char* name, const QString& caption, QWidget* parent) {
    return Named(new QCheckBox(caption, parent), name);
}

QGroupBox* Group(const char* name, const QString& caption, QWidget* parent) {
    return Named(new QGroupBox(caption, parent), name);
}

QWidget* Page(const char* name, QWidget* parent) {
    return Named(new QWidget(parent), name);
}

LabeledEdit* ReadOnly(const char* name, const QString& caption, QWidget* parent,
                      const QString& hint = {}) {
    auto* e = new LabeledEdit(QString::fromLatin1(name), caption, parent);
    e->setReadOnly(true);
    e->setToolTip(hint);
    return e;
}

QLabel* Label(const char* name, const QString& text, QWidget* parent) {
    return Named(new QLabel(text, parent), name);
}

// A row of buttons at the bottom right of a grid page.
QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* b : buttons)
        row->addWidget(b);
    return row;
}

}  // namespace

void TForm1::BuildTop(QWidget* parent) {
    auto* top = new QHBoxLayout;
    auto* connection = Group("GroupBox_CONNECTION_", QStringLiteral("Соединение"), parent);
    SpeedButton_CONNECT_ =
        Button("SpeedButton_CONNECT_", QStringLiteral("Опрос модуля контроллера"), connection);
    SpeedButton_CONNECT_->setCheckable(true);
    CheckBox_LOGEN_ = Check("CheckBox_LOGEN_", QStringLiteral("Вести лог?"), connection);
    CheckBox_READSETTINGS_ =
        Check("CheckBox_READSETTINGS_", QStringLiteral("Читать настройки"), connection);
    CheckBox_READLOG_ = Check("CheckBox_READLOG_", QStringLiteral("Читать журнал"), connection);
    auto* c = new QHBoxLayout(connection);
    c->addWidget(SpeedButton_CONNECT_);
    c->addWidget(CheckBox_LOGEN_);
    c->addWidget(CheckBox_READSETTINGS_);
    c->addWidget(CheckBox_READLOG_);

    GroupBox_PASSWORD_ = Group("GroupBox_PASSWORD_", QStringLiteral("Пароль"), parent);
    SpeedButton_PASSWORD_ =
        Button("SpeedButton_PASSWORD_", QStringLiteral("Войти"), GroupBox_PASSWORD_);
    SpeedButton_PASSWORD_->setCheckable(true);
    BitBtn_PASSWORDNEW_ =
        Button("BitBtn_PASSWORDNEW_", QStringLiteral("Новый пароль"), GroupBox_PASSWORD_);
    auto* p = new QHBoxLayout(GroupBox_PASSWORD_);
    p->addWidget(SpeedButton_PASSWORD_);
    p->addWidget(BitBtn_PASSWORDNEW_);

    top->addWidget(connection, 1);
    top->addWidget(GroupBox_PASSWORD_);
    static_cast<QVBoxLayout*>(parent->layout())->addLayout(top);
}

QWidget* TForm1::BuildMainPage() {
    QWidget* page = Page("TabSheet_MAIN_", PageControl_MAIN_);
    auto* grid = new QGridLayout(page);

    auto group = [page](const char* name, const QString& caption,
                        std::initializer_list<LabeledEdit*> edits) {
        QGroupBox* g = Group(name, caption, page);
        auto* l = new QVBoxLayout(g);
        for (LabeledEdit* e : edits)
            l->addWidget(e->WithLabel(g));
        l->addStretch();
        return g;
    };
    LabeledEdit_CAPACITY_ =
        ReadOnly("LabeledEdit_CAPACITY_", QStringLiteral("Емкость АБ, А*ч"), page);
    LabeledEdit_CELLNUMBER_ = ReadOnly("LabeledEdit_CELLNUMBER_", QStringLiteral("Число элементов"),
                                       page, QStringLiteral("Реальное кол-во элементов."));
    LabeledEdit_VOLTDCU_ = ReadOnly("LabeledEdit_VOLTDCU_", QStringLiteral("Напр-е,В"), page);
    LabeledEdit_CURRDCI_ = ReadOnly("LabeledEdit_CURRDCI_", QStringLiteral("Ток, А"), page,
                                    QStringLiteral("С учетом тока утечки!"));
    LabeledEdit_CURRAVG_ = ReadOnly("LabeledEdit_CURRAVG_", QStringLiteral(" Ср. ток, А"), page,
                                    QStringLiteral("Усреднение за минуту."));
    LabeledEdit_POWER_ = ReadOnly("LabeledEdit_POWER_", QStringLiteral("Мощность, Вт"), page);
    LabeledEdit_POWERAVG_ =
        ReadOnly("LabeledEdit_POWERAVG_", QStringLiteral("Ср. мощность, Вт"), page);
    LabeledEdit_VOLTCAVG_ = ReadOnly("LabeledEdit_VOLTCAVG_", QStringLiteral("Среднее"), page);
    LabeledEdit_VOLTCMAX_ = ReadOnly("LabeledEdit_VOLTCMAX_", QStringLiteral("Макс."), page);
    LabeledEdit_VOLTCMIN_ = ReadOnly("LabeledEdit_VOLTCMIN_", QStringLiteral("Мин."), page);
    LabeledEdit_VOLTCMAXCELL_ =
        ReadOnly("LabeledEdit_VOLTCMAXCELL_", QStringLiteral("№ элемента"), page);
    LabeledEdit_VOLTCMINCELL_ =
        ReadOnly("LabeledEdit_VOLTCMINCELL_", QStringLiteral("№ элемента"), page);
    LabeledEdit_TEMPAVG_ = ReadOnly("LabeledEdit_TEMPAVG_", QStringLiteral("Средняя"), page);
    LabeledEdit_TEMPMAX_ = ReadOnly("LabeledEdit_TEMPMAX_", QStringLiteral("Макс."), page);
    LabeledEdit_TEMPMIN_ = ReadOnly("LabeledEdit_TEMPMIN_", QStringLiteral("Мин."), page);
    LabeledEdit_TEMPMAXCELL_ =
        ReadOnly("LabeledEdit_TEMPMAXCELL_", QStringLiteral("№ элемента"), page);
    LabeledEdit_TEMPMINCELL_ =
        ReadOnly("LabeledEdit_TEMPMINCELL_", QStringLiteral("№ элемента"), page);
    LabeledEdit_TEMPAMB_ = ReadOnly("LabeledEdit_TEMPAMB_", QStringLiteral("Помещения"), page);
    LabeledEdit_BALANCECELLNMB_ =
        ReadOnly("LabeledEdit_BALANCECELLNMB_", QStringLiteral("Кол-во эл-тов"), page);
    LabeledEdit_SOCAH_ =
        ReadOnly("LabeledEdit_SOCAH_", QStringLiteral("Степень заряда, А*ч"), page);
    LabeledEdit_SOCPERCENT_ =
        ReadOnly("LabeledEdit_SOCPERCENT_", QStringLiteral("Степень заряда, %"), page);
    LabeledEdit_TIMETOEMPTY_ =
        ReadOnly("LabeledEdit_TIMETOEMPTY_", QStringLiteral("Время до полного разряда, ч"), page);
    LabeledEdit_AVGTIMETOEMPTY_ = ReadOnly(
        "LabeledEdit_AVGTIMETOEMPTY_", QStringLiteral("Ср. время до полного разряда, ч."), page);

    grid->addWidget(group("GroupBox_PARAMETERS_", QStringLiteral("Характеристики АБ"),
                          {LabeledEdit_CAPACITY_, LabeledEdit_CELLNUMBER_}),
                    0, 0);
    grid->addWidget(
        group("GroupBox_VOLTDCU_", QStringLiteral("Напряжение АБ"), {LabeledEdit_VOLTDCU_}), 0, 1);
    grid->addWidget(group("GroupBox_CURRDCI_", QStringLiteral("Ток АБ"),
                          {LabeledEdit_CURRDCI_, LabeledEdit_CURRAVG_}),
                    0, 2);
    grid->addWidget(group("GroupBox_POWER_", QStringLiteral("Мощность"),
                          {LabeledEdit_POWER_, LabeledEdit_POWERAVG_}),
                    0, 3);
    grid->addWidget(group("GroupBox_VOLTC_", QStringLiteral("Напряжение  элементов"),
                          {LabeledEdit_VOLTCAVG_, LabeledEdit_VOLTCMAX_, LabeledEdit_VOLTCMAXCELL_,
                           LabeledEdit_VOLTCMIN_, LabeledEdit_VOLTCMINCELL_}),
                    1, 0);
    grid->addWidget(group("GroupBox_TEMP_", QStringLiteral("Температура"),
                          {LabeledEdit_TEMPAVG_, LabeledEdit_TEMPMAX_, LabeledEdit_TEMPMAXCELL_,
                           LabeledEdit_TEMPMIN_, LabeledEdit_TEMPMINCELL_}),
                    1, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(
        group("GroupBox_TEMPAMB_", QStringLiteral("Температура"), {LabeledEdit_TEMPAMB_}));
    side->addWidget(
        group("GroupBox_BALANCE_", QStringLiteral("Балансировка"), {LabeledEdit_BALANCECELLNMB_}));
    grid->addLayout(side, 1, 2);

    QGroupBox* soc = group("GroupBox_SOC_", QStringLiteral("Состояние заряда АБ"),
                           {LabeledEdit_SOCAH_, LabeledEdit_SOCPERCENT_, LabeledEdit_TIMETOEMPTY_,
                            LabeledEdit_AVGTIMETOEMPTY_});
    ProgressBar_SOC_ = Named(new QProgressBar(soc), "ProgressBar_SOC_");
    ProgressBar_SOC_->setOrientation(Qt::Vertical);
    ProgressBar_SOC_->setRange(0, 100);
    ProgressBar_SOC_->setValue(0);
    ProgressBar_SOC_->setTextVisible(false);
    soc->layout()->addWidget(ProgressBar_SOC_);
    grid->addWidget(soc, 1, 3);

    QGroupBox* status = Group("GroupBox_BATTERYSTATUS_", QStringLiteral("Статус АБ"), page);
    auto* sl = new QGridLayout(status);
    for (std::size_t k = 0; k < BatteryStatusLamps.size(); ++k) {
        BatteryLamps[k] = new Lamp(QString::fromLatin1(BatteryStatusLamps[k].lamp), status);
        sl->addWidget(BatteryLamps[k], static_cast<int>(k), 0);
        sl->addWidget(new QLabel(QString::fromUtf8(BatteryStatusLamps[k].label), status),
                      static_cast<int>(k), 1);
    }
    grid->addWidget(status, 0, 4, 2, 1);

    QGroupBox* safety = Group("GroupBox_SAFETY_", QStringLiteral("Аварии"), page);
    safety->setEnabled(false);
    auto* al = new QGridLayout(safety);
    for (std::size_t b = 0; b < SafetyFlags.size(); ++b) {
        SafetyLamps[b] = new Lamp(QString::fromLatin1(SafetyFlags[b].lamp), safety);
        const int row = static_cast<int>(b % 10), col = static_cast<int>(b / 10) * 2;
        al->addWidget(SafetyLamps[b], row, col);
        al->addWidget(new QLabel(QString::fromUtf8(SafetyFlags[b].lampLabel), safety), row,
                      col + 1);
    }
    grid->addWidget(safety, 0, 5, 2, 1);
    grid->setRowStretch(2, 1);
    return page;
}

QWidget* TForm1::BuildInfoPage() {
    QWidget* page = Page("TabSheet_INFO_", PageControl_MAIN_);
    PageControl_INFO_ = Named(new QTabWidget(page), "PageControl_INFO_");
    (new QVBoxLayout(page))->addWidget(PageControl_INFO_);

    QWidget* base = Page("TabSheet_INFOBASE_", PageControl_INFO_);
    StringGrid_INFOBASE_ = new StringGrid(QStringLiteral("StringGrid_INFOBASE_"), 20, 4, base);
    BitBtn_SAVEINFOBASE_ = Button("BitBtn_SAVEINFOBASE_", QStringLiteral("Сохранить в файл"), base);
    BitBtn_LOADINFOBASE_ =
        Button("BitBtn_LOADINFOBASE_", QStringLiteral("Загрузить из файла"), base);
    BitBtn_WRITEINFOBASE_ =
        Button("BitBtn_WRITEINFOBASE_", QStringLiteral("Сохранить в панель"), base);
    auto* bl = new QVBoxLayout(base);
    bl->addWidget(StringGrid_INFOBASE_);
    bl->addLayout(ButtonRow({BitBtn_WRITEINFOBASE_, BitBtn_SAVEINFOBASE_, BitBtn_LOADINFOBASE_}));

    QWidget* cells = Page("TabSheet_INFOCELL_", PageControl_INFO_);
    Chart_INFOCELL_ = Named(new QCustomPlot(cells), "Chart_INFOCELL_");
    Chart_INFOCELL_->setMinimumWidth(330);
    QCPAxisRect* rect = Chart_INFOCELL_->axisRect();
    Series_VOLTC_ = new QCPBars(rect->axis(QCPAxis::atLeft), rect->axis(QCPAxis::atBottom));
    Series_VOLTC_->setObjectName(QStringLiteral("Series_VOLTC_"));
    Series_VOLTC_->setName(QStringLiteral("Напряжение"));
    Series_VOLTC_->setBrush(QColor(128, 255, 128));
    Series_VOLTC_->setWidth(0.4);
    rect->axis(QCPAxis::atTop)->setVisible(true);
    Series_TEMPC_ = new QCPBars(rect->axis(QCPAxis::atLeft), rect->axis(QCPAxis::atTop));
    Series_TEMPC_->setObjectName(QStringLiteral("Series_TEMPC_"));
    Series_TEMPC_->setName(QStringLiteral("Температура"));
    Series_TEMPC_->setBrush(QColor(255, 128, 0));
    Series_TEMPC_->setWidth(0.4);
    auto* group = new QCPBarsGroup(Chart_INFOCELL_);
    Series_VOLTC_->setBarsGroup(group);
    Series_TEMPC_->setBarsGroup(group);
    rect->axis(QCPAxis::atBottom)->setRange(2.7, 4.3);
    rect->axis(QCPAxis::atBottom)->setLabel(QStringLiteral("Напряжение, В"));
    rect->axis(QCPAxis::atTop)->setRange(-44, 84);
    rect->axis(QCPAxis::atTop)->setLabel(QStringLiteral("Температура, С"));
    rect->axis(QCPAxis::atLeft)->setLabel(QStringLiteral("Элементы"));
    rect->axis(QCPAxis::atLeft)->setRange(0, 11);
    Chart_INFOCELL_->legend->setVisible(true);
    rect->insetLayout()->setInsetAlignment(0, Qt::AlignBottom | Qt::AlignHCenter);

    UpDown_INFOCELLPT_ = Named(new QSpinBox(cells), "UpDown_INFOCELLPT_");
    UpDown_INFOCELLPT_->setRange(10, 200);
    UpDown_INFOCELLPT_->setSingleStep(5);
    UpDown_INFOCELLPT_->setValue(10);
    UpDown_INFOCELLPT_->setToolTip(QStringLiteral("Кол-во на экране"));
    UpDown_INFOCELLPAGE_ = Named(new QSpinBox(cells), "UpDown_INFOCELLPAGE_");
    UpDown_INFOCELLPAGE_->setRange(0, 20);
    UpDown_INFOCELLPAGE_->setToolTip(QStringLiteral("Прокрутка"));
    CheckBox_INFOCELL3D_ = Check("CheckBox_INFOCELL3D_", QStringLiteral("3D"), cells);
    StringGrid_INFOCELL_ = new StringGrid(QStringLiteral("StringGrid_INFOCELL_"), 201, 17, cells);
    BitBtn_SAVEINFOCELL_ =
        Button("BitBtn_SAVEINFOCELL_", QStringLiteral("Сохранить в файл"), cells);
    BitBtn_LOADINFOCELL_ =
        Button("BitBtn_LOADINFOCELL_", QStringLiteral("Загрузить из файла"), cells);
    auto* chartColumn = new QVBoxLayout;
    chartColumn->addWidget(Chart_INFOCELL_, 1);
    auto* chartControls = new QHBoxLayout;
    chartControls->addWidget(UpDown_INFOCELLPT_);
    chartControls->addWidget(UpDown_INFOCELLPAGE_);
    chartControls->addWidget(CheckBox_INFOCELL3D_);
    chartControls->addStretch();
    chartColumn->addLayout(chartControls);
    auto* gridColumn = new QVBoxLayout;
    gridColumn->addWidget(StringGrid_INFOCELL_, 1);
    gridColumn->addLayout(ButtonRow({BitBtn_SAVEINFOCELL_, BitBtn_LOADINFOCELL_}));
    auto* cl = new QHBoxLayout(cells);
    cl->addLayout(chartColumn, 1);
    cl->addLayout(gridColumn, 1);

    QWidget* alarm = Page("TabSheet_INFOALARM_", PageControl_INFO_);
    StringGrid_INFOALARM_ = new StringGrid(QStringLiteral("StringGrid_INFOALARM_"), 21, 4, alarm);
    StringGrid_INFOALARM_->model_->fixedCols = 0;
    (new QVBoxLayout(alarm))->addWidget(StringGrid_INFOALARM_);
    QWidget* charge = Page("TabSheet_INFOCHARGE_", PageControl_INFO_);
    StringGrid_INFOCHARGE_ = new StringGrid(QStringLiteral("StringGrid_INFOCHARGE_"), 9, 4, charge);
    StringGrid_INFOCHARGE_->model_->fixedCols = 0;
    (new QVBoxLayout(charge))->addWidget(StringGrid_INFOCHARGE_);

    PageControl_INFO_->addTab(base, QStringLiteral("Состояние"));
    PageControl_INFO_->addTab(cells, QStringLiteral("Элементы"));
    PageControl_INFO_->addTab(alarm, QStringLiteral("Аварии"));
    PageControl_INFO_->addTab(charge, QStringLiteral("Заряд"));
    return page;
}

QWidget* TForm1::BuildSetPage() {
    QWidget* page = Page("TabSheet_SET_", PageControl_MAIN_);
    PageControl_SET_ = Named(new QTabWidget(page), "PageControl_SET_");
    (new QVBoxLayout(page))->addWidget(PageControl_SET_);

    auto gridPage = [this](const char* pageName, const char* gridName, int rows, StringGrid** grid,
                           const char* save, QPushButton** saveButton, const char* load,
                           QPushButton** loadButton, const char* write, QPushButton** writeButton) {
        QWidget* p = Page(pageName, PageControl_SET_);
        *grid = new StringGrid(QString::fromLatin1(gridName), rows, 4, p);
        (*grid)->SetEditable(true);
        *saveButton = Button(save, QStringLiteral("Сохранить в файл"), p);
        *loadButton = Button(load, QStringLiteral("Загрузить из файла"), p);
        *writeButton = Button(write, QStringLiteral("Сохранить в блок"), p);
        auto* l = new QVBoxLayout(p);
        l->addWidget(*grid);
        l->addLayout(ButtonRow({*writeButton, *saveButton, *loadButton}));
        return p;
    };
    QWidget* rs = gridPage("TabSheet_SETRS_", "StringGrid_SETRS_", 6, &StringGrid_SETRS_,
                           "BitBtn_SAVESETRS_", &BitBtn_SAVESETRS_, "BitBtn_LOADSETRS_",
                           &BitBtn_LOADSETRS_, "BitBtn_WRITESETRS_", &BitBtn_WRITESETRS_);
    QWidget* alarm =
        gridPage("TabSheet_SETALARM_", "StringGrid_SETALARM_", 46, &StringGrid_SETALARM_,
                 "BitBtn_SAVESETALARM_", &BitBtn_SAVESETALARM_, "BitBtn_LOADSETALARM_",
                 &BitBtn_LOADSETALARM_, "BitBtn_WRITESETALARM_", &BitBtn_WRITESETALARM_);
    QWidget* charge =
        gridPage("TabSheet_SETCHARGE_", "StringGrid_SETCHARGE_", 35, &StringGrid_SETCHARGE_,
                 "BitBtn_SAVESETCHARGE_", &BitBtn_SAVESETCHARGE_, "BitBtn_LOADSETCHARGE_",
                 &BitBtn_LOADSETCHARGE_, "BitBtn_WRITESETCHARGE_", &BitBtn_WRITESETCHARGE_);
    StringGrid_SETALARM_->SetColWidth(3, 64);
    StringGrid_SETCHARGE_->SetColWidth(3, 64);

    // Calibration.
    QWidget* caliber = Page("TabSheet_CALIBER_", PageControl_SET_);
    QGroupBox* setCurrent =
        Group("GroupBox_SETCURR_", QStringLiteral("Калибровка датчика тока"), caliber);
    QGroupBox* zero = Group("GroupBox_CALIBERCURRNULL_",
                            QStringLiteral("Калибровка нуля  датчика тока"), setCurrent);
    auto* zeroText = new QLabel(
        QStringLiteral("Ток через АБ должен быть равен нулю. При необходимости отключите "
                       "нагрузку и зарядное устройство от АБ и нажмите кнопку."),
        zero);
    zeroText->setWordWrap(true);
    BitBtn_CALIBERCURRNULL_ =
        Button("BitBtn_CALIBERCURRNULL_", QStringLiteral("Калибровать!"), zero);
    auto* zl = new QVBoxLayout(zero);
    zl->addWidget(zeroText);
    zl->addWidget(BitBtn_CALIBERCURRNULL_);
    QGroupBox* measured = Group("GroupBox_CALIBERCURR_",
                                QStringLiteral("Калибровка измерения датчика тока"), setCurrent);
    auto* measuredText = new QLabel(
        QStringLiteral("Подключите к АБ нагрузку или зарядное устройство, чтобы задать "
                       "постоянный ток через АБ. Измерьте ток, впишите его значение в мА "
                       "в окно ниже и нажмите кнопку."),
        measured);
    measuredText->setWordWrap(true);
    Edit_CALIBERCURR_ = Named(new QLineEdit(QStringLiteral("1"), measured), "Edit_CALIBERCURR_");
    BitBtn_CALIBERCURR_ = Button("BitBtn_CALIBERCURR_", QStringLiteral("Калибровать!"), measured);
    auto* ml = new QVBoxLayout(measured);
    ml->addWidget(measuredText);
    ml->addWidget(Edit_CALIBERCURR_);
    ml->addWidget(BitBtn_CALIBERCURR_);
    auto* scl = new QVBoxLayout(setCurrent);
    scl->addWidget(
        new QLabel(QStringLiteral("Перед калибровкой настройте параметры связи!"), setCurrent));
    scl->addWidget(zero);
    scl->addWidget(measured);

    QGroupBox* soc = Group("GroupBox_SETSOC_", QStringLiteral("Уровни заряда"), caliber);
    LabeledEdit_SETSOC_ = new LabeledEdit(QStringLiteral("LabeledEdit_SETSOC_"),
                                          QStringLiteral("Текущий заряд АБ, мА*ч"), soc);
    LabeledEdit_SETFCC_ = new LabeledEdit(QStringLiteral("LabeledEdit_SETFCC_"),
                                          QStringLiteral("Полный заряд АБ, мА*ч"), soc);
    BitBtn_SETSOC_ = Button("BitBtn_SETSOC_", QStringLiteral("Установить"), soc);
    BitBtn_SETFCC_ = Button("BitBtn_SETFCC_", QStringLiteral("Установить"), soc);
    auto* socl = new QGridLayout(soc);
    socl->addWidget(LabeledEdit_SETSOC_->WithLabel(soc), 0, 0);
    socl->addWidget(BitBtn_SETSOC_, 0, 1, Qt::AlignBottom);
    socl->addWidget(LabeledEdit_SETFCC_->WithLabel(soc), 1, 0);
    socl->addWidget(BitBtn_SETFCC_, 1, 1, Qt::AlignBottom);

    QGroupBox* mode = Group("GroupBox_SETMODE_", QStringLiteral("Режимы работы"), caliber);
    CheckBox_SETMODE_CAPACITY_ =
        Check("CheckBox_SETMODE_CAPACITY_", QStringLiteral("Заряд АБ (1 - мВт*ч, 0 - мА*ч)"), mode);
    CheckBox_SETMODE_ORDER_ =
        Check("CheckBox_SETMODE_ORDER_",
              QStringLiteral("Нумерация элементов (1 - с плюса, 0 - с минуса)"), mode);
    CheckBox_SETMODE_BALANCE_ =
        Check("CheckBox_SETMODE_BALANCE_",
              QStringLiteral("Алгоритм балансировки (1 - по разности, 0 - по уровню)"), mode);
    CheckBox_SETMODE_BUZZER_ =
        Check("CheckBox_SETMODE_BUZZER_", QStringLiteral("Вкл/выкл. зуммер "), mode);
    BitBtn_SETMODE_ = Button("BitBtn_SETMODE_", QStringLiteral("Установить"), mode);
    BitBtn_SETMODE_->setEnabled(false);
    auto* model = new QVBoxLayout(mode);
    for (QCheckBox* box : {CheckBox_SETMODE_CAPACITY_, CheckBox_SETMODE_ORDER_,
                           CheckBox_SETMODE_BALANCE_, CheckBox_SETMODE_BUZZER_}) {
        box->setEnabled(false);
        model->addWidget(box);
    }
    model->addWidget(BitBtn_SETMODE_);

    QGroupBox* cycle = Group("GroupBox_SETCYCLE_", QStringLiteral("Кол-во циклов заряда"), caliber);
    Edit_SETCYCLE_ = Named(new QLineEdit(QStringLiteral("0"), cycle), "Edit_SETCYCLE_");
    BitBtn_SETCYCLE_ = Button("BitBtn_SETCYCLE_", QStringLiteral("Установить"), cycle);
    auto* cyl = new QHBoxLayout(cycle);
    cyl->addWidget(Edit_SETCYCLE_);
    cyl->addWidget(BitBtn_SETCYCLE_);

    auto* cal = new QGridLayout(caliber);
    cal->addWidget(setCurrent, 0, 0, 2, 1);
    cal->addWidget(soc, 0, 1);
    cal->addWidget(cycle, 1, 1);
    cal->addWidget(mode, 0, 2, 2, 1);
    cal->setRowStretch(2, 1);

    // Clock.
    QWidget* clock = Page("TabSheet_TIMEDATE_", PageControl_SET_);
    QGroupBox* timeDate =
        Group("GroupBox_TIMEDATE_", QStringLiteral("Установка времени и даты"), clock);
    LabeledEdit_HOUR_ =
        new LabeledEdit(QStringLiteral("LabeledEdit_HOUR_"), QStringLiteral("Час"), timeDate);
    LabeledEdit_HOUR_->setText(QStringLiteral("16"));
    LabeledEdit_MINUTE_ =
        new LabeledEdit(QStringLiteral("LabeledEdit_MINUTE_"), QStringLiteral("Мин"), timeDate);
    LabeledEdit_MINUTE_->setText(QStringLiteral("41"));
    LabeledEdit_SECOND_ =
        new LabeledEdit(QStringLiteral("LabeledEdit_SECOND_"), QStringLiteral("Сек"), timeDate);
    LabeledEdit_SECOND_->setText(QStringLiteral("0"));
    LabeledEdit_YEAR_ =
        new LabeledEdit(QStringLiteral("LabeledEdit_YEAR_"), QStringLiteral("Год"), timeDate);
    LabeledEdit_YEAR_->setText(QStringLiteral("2015"));
    ComboBox_DAY_ = Named(new QComboBox(timeDate), "ComboBox_DAY_");
    ComboBox_MONTH_ = Named(new QComboBox(timeDate), "ComboBox_MONTH_");
    for (int d = 1; d <= 31; ++d)
        ComboBox_DAY_->addItem(QString::number(d));
    for (int m = 1; m <= 12; ++m)
        ComboBox_MONTH_->addItem(QString::number(m));
    ComboBox_DAY_->setEditable(true);
    ComboBox_MONTH_->setEditable(true);
    ComboBox_DAY_->setCurrentText(QStringLiteral("4"));
    ComboBox_MONTH_->setCurrentText(QStringLiteral("12"));
    BitBtn_TIMEREAD_ = Button("BitBtn_TIMEREAD_", QStringLiteral("Считать из блока"), timeDate);
    BitBtn_TIMEWIN_ = Button("BitBtn_TIMEWIN_", QStringLiteral("Текущее время  Windows"), timeDate);
    BitBtn_TIMEWRITE_ = Button("BitBtn_TIMEWRITE_", QStringLiteral("Записать в блок"), timeDate);
    auto* tl = new QGridLayout(timeDate);
    tl->addWidget(
        new QLabel(QStringLiteral("Перед установкой времени и даты настройте параметры связи!"),
                   timeDate),
        0, 0, 1, 6);
    tl->addWidget(LabeledEdit_HOUR_->WithLabel(timeDate), 1, 0);
    tl->addWidget(LabeledEdit_MINUTE_->WithLabel(timeDate), 1, 1);
    tl->addWidget(LabeledEdit_SECOND_->WithLabel(timeDate), 1, 2);
    auto comboWithLabel = [timeDate](const char* labelName, const QString& caption,
                                     QComboBox* box) {
        auto* w = new QWidget(timeDate);
        auto* l = new QVBoxLayout(w);
        l->setContentsMargins(0, 0, 0, 0);
        l->addWidget(Label(labelName, caption, w));
        box->setParent(w);
        l->addWidget(box);
        return w;
    };
    tl->addWidget(comboWithLabel("Label_DAY_", QStringLiteral("День"), ComboBox_DAY_), 1, 3);
    tl->addWidget(comboWithLabel("Label_MONTH_", QStringLiteral("Месяц"), ComboBox_MONTH_), 1, 4);
    tl->addWidget(LabeledEdit_YEAR_->WithLabel(timeDate), 1, 5);
    tl->addWidget(BitBtn_TIMEREAD_, 2, 0, 1, 2);
    tl->addWidget(BitBtn_TIMEWIN_, 2, 2, 1, 2);
    tl->addWidget(BitBtn_TIMEWRITE_, 2, 4, 1, 2);
    auto* cll = new QVBoxLayout(clock);
    cll->addWidget(timeDate);
    cll->addStretch();

    PageControl_SET_->addTab(rs, QStringLiteral("Связь"));
    PageControl_SET_->addTab(alarm, QStringLiteral("Аварии"));
    PageControl_SET_->addTab(charge, QStringLiteral("Заряд"));
    PageControl_SET_->addTab(caliber, QStringLiteral("Калибровка"));
    PageControl_SET_->addTab(clock, QStringLiteral("Время-Дата"));
    return page;
}

QWidget* TForm1::BuildLogPage() {
    QWidget* page = Page("TabSheet_LOG_", PageControl_MAIN_);
    StringGrid_LOG_ = new StringGrid(QStringLiteral("StringGrid_LOG_"), 769, 4, page);
    BitBtn_LOADLOG_ = Button("BitBtn_LOADLOG_", QStringLiteral("Загрузить из файла"), page);
    BitBtn_SAVELOG_ = Button("BitBtn_SAVELOG_", QStringLiteral("Сохранить в файл"), page);
    BitBtn_CLEARLOG_ = Button("BitBtn_CLEARLOG_", QStringLiteral("Очистить журнал"), page);
    auto* l = new QVBoxLayout(page);
    l->addWidget(StringGrid_LOG_);
    l->addLayout(ButtonRow({BitBtn_CLEARLOG_, BitBtn_SAVELOG_, BitBtn_LOADLOG_}));
    return page;
}

QWidget* TForm1::BuildGraphPage() {
    QWidget* page = Page("TabSheet_GRAPH_", PageControl_MAIN_);
    Chart_GRAPH_ = Named(new QCustomPlot(page), "Chart_GRAPH_");
    Chart_GRAPH_->setBackground(QColor(192, 192, 192));
    Chart_GRAPH_->axisRect()->setBackground(Qt::white);
    Chart_GRAPH_->legend->setVisible(true);
    static const QColor colors[20] = {
        {255, 0, 0},    {0, 128, 0},     {255, 255, 0},   {0, 0, 255},     {128, 255, 255},
        {0, 128, 255},  {64, 128, 128},  {255, 128, 255}, {128, 128, 192}, {0, 64, 64},
        {128, 128, 64}, {255, 128, 128}, {0, 0, 64},      {128, 0, 255},   {255, 128, 0},
        {0, 128, 128},  {0, 0, 255},     {255, 255, 255}, {128, 128, 128}, {255, 0, 255},
    };
    for (int i = 0; i < 20; ++i) {
        QCPGraph* g = Chart_GRAPH_->addGraph();
        g->setObjectName(QStringLiteral("Series%1").arg(i + 1));
        g->setName(QStringLiteral("C%1").arg(i + 1));
        QPen pen(colors[i]);
        pen.setWidth(i == 16 ? 2 : 1);
        g->setPen(pen);
        g->setVisible(false);
        g->removeFromLegend();
        GraphSeries[static_cast<std::size_t>(i)] = g;
    }
    Chart_GRAPH_->yAxis->setRange(0, 300);
    UpDown_GRAPHBOTMAX_ = Named(new QSpinBox(page), "UpDown_GRAPHBOTMAX_");
    UpDown_GRAPHBOTMIN_ = Named(new QSpinBox(page), "UpDown_GRAPHBOTMIN_");
    BitBtn_GRAPHADD_ = Button("BitBtn_GRAPHADD_", QStringLiteral("Добавить"), page);
    BitBtn_GRAPHSAVE_ = Button("BitBtn_GRAPHSAVE_", QStringLiteral("Сохранить"), page);
    BitBtn_GRAPHCLEAR_ = Button("BitBtn_GRAPHCLEAR_", QStringLiteral("Очистить"), page);
    auto* updowns = new QVBoxLayout;
    updowns->addWidget(UpDown_GRAPHBOTMAX_);
    updowns->addStretch();
    updowns->addWidget(UpDown_GRAPHBOTMIN_);
    auto* chartRow = new QHBoxLayout;
    chartRow->addLayout(updowns);
    chartRow->addWidget(Chart_GRAPH_, 1);
    auto* l = new QVBoxLayout(page);
    l->addLayout(chartRow, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Label("Label1", QStringLiteral("График параметров АБ"), page));
    bottom->addStretch();
    bottom->addWidget(BitBtn_GRAPHADD_);
    bottom->addWidget(BitBtn_GRAPHSAVE_);
    bottom->addWidget(BitBtn_GRAPHCLEAR_);
    l->addLayout(bottom);
    return page;
}

QWidget* TForm1::BuildBootloaderPage() {
    QWidget* page = Page("TabSheet_BOOTLOADER_", PageControl_MAIN_);
    QGroupBox* functions =
        Group("GroupBox_BOOTLOADER_", QStringLiteral("Функции загрузчика"), page);
    BitBtn_BOOTLOADERAUTO_ =
        Button("BitBtn_BOOTLOADERAUTO_", QStringLiteral("Автообновление "), functions);
    BitBtn_BOOTLOADERAUTOBOOT_ = Button("BitBtn_BOOTLOADERAUTOBOOT_",
                                        QStringLiteral("Автообновление из загрузчика"), functions);
    ProgressBar_BOOTLOADER_ = Named(new QProgressBar(functions), "ProgressBar_BOOTLOADER_");
    ProgressBar_BOOTLOADER_->setRange(0, 100);
    ProgressBar_BOOTLOADER_->setValue(0);
    BitBtn_BOOTLOADER30_ =
        Button("BitBtn_BOOTLOADER30_", QStringLiteral("Инициализация загрузчика"), functions);
    BitBtn_BOOTLOADER21_ =
        Button("BitBtn_BOOTLOADER21_", QStringLiteral("Программрование"), functions);

    GroupBox_BOOTLOADERREAD_ =
        Group("GroupBox_BOOTLOADERREAD_", QStringLiteral("Чтение памяти"), functions);
    BitBtn_BOOTLOADER03_ = Button("BitBtn_BOOTLOADER03_", QStringLiteral("Чтение регистров"),
                                  GroupBox_BOOTLOADERREAD_);
    RadioButton_READVERSION_ =
        Named(new QRadioButton(QStringLiteral("Версия прошивки"), GroupBox_BOOTLOADERREAD_),
              "RadioButton_READVERSION_");
    RadioButton_READVERSION_->setChecked(true);
    RadioButton_READBOOTREG_ =
        Named(new QRadioButton(QStringLiteral("Регистры загрузчика"), GroupBox_BOOTLOADERREAD_),
              "RadioButton_READBOOTREG_");
    Edit_READREGADDRESS_ = Named(new QLineEdit(QStringLiteral("4248"), GroupBox_BOOTLOADERREAD_),
                                 "Edit_READREGADDRESS_");
    Edit_READREGADDRESS_->setToolTip(QStringLiteral("Адрес регистра"));
    Edit_READREGNUMBER_ =
        Named(new QLineEdit(QStringLiteral("18"), GroupBox_BOOTLOADERREAD_), "Edit_READREGNUMBER_");
    Edit_READREGNUMBER_->setToolTip(QStringLiteral("Число регистров"));
    auto* rl = new QGridLayout(GroupBox_BOOTLOADERREAD_);
    rl->addWidget(BitBtn_BOOTLOADER03_, 0, 0);
    rl->addWidget(RadioButton_READVERSION_, 0, 1);
    rl->addWidget(RadioButton_READBOOTREG_, 1, 1);
    rl->addWidget(Edit_READREGADDRESS_, 1, 0);
    rl->addWidget(Edit_READREGNUMBER_, 2, 0);

    GroupBox_BOOTLOADERERASE_ =
        Group("GroupBox_BOOTLOADERERASE_", QStringLiteral("Стирание памяти"), functions);
    BitBtn_BOOTLOADER20_ = Button("BitBtn_BOOTLOADER20_", QStringLiteral("Стирание памяти"),
                                  GroupBox_BOOTLOADERERASE_);
    RadioButton1 =
        Named(new QRadioButton(QStringLiteral("Область программы"), GroupBox_BOOTLOADERERASE_),
              "RadioButton1");
    RadioButton1->setChecked(true);
    RadioButton2 =
        Named(new QRadioButton(QStringLiteral("Область настроек"), GroupBox_BOOTLOADERERASE_),
              "RadioButton2");
    auto* el = new QGridLayout(GroupBox_BOOTLOADERERASE_);
    el->addWidget(BitBtn_BOOTLOADER20_, 0, 0);
    el->addWidget(RadioButton1, 0, 1);
    el->addWidget(RadioButton2, 1, 1);

    BitBtn_BOOTLOADER31_ = Button("BitBtn_BOOTLOADER31_", QStringLiteral("Перезапуск"), functions);
    Edit3 = Named(new QLineEdit(functions), "Edit3");
    Edit4 = Named(new QLineEdit(functions), "Edit4");
    Edit_ReqCode = Named(new QLineEdit(functions), "Edit_ReqCode");

    auto* fl = new QGridLayout(functions);
    fl->addWidget(BitBtn_BOOTLOADERAUTO_, 0, 0);
    fl->addWidget(BitBtn_BOOTLOADERAUTOBOOT_, 0, 1);
    fl->addWidget(ProgressBar_BOOTLOADER_, 1, 0, 1, 2);
    fl->addWidget(BitBtn_BOOTLOADER30_, 2, 0);
    fl->addWidget(BitBtn_BOOTLOADER21_, 2, 1);
    fl->addWidget(GroupBox_BOOTLOADERREAD_, 3, 0, 1, 2);
    fl->addWidget(GroupBox_BOOTLOADERERASE_, 4, 0, 1, 2);
    fl->addWidget(BitBtn_BOOTLOADER31_, 5, 0, 1, 2);
    fl->addWidget(Edit3, 6, 0, 1, 2);
    fl->addWidget(Edit4, 7, 0, 1, 2);
    fl->addWidget(Edit_ReqCode, 8, 0, 1, 2);
    fl->setRowStretch(9, 1);

    Memo2 = Named(new QPlainTextEdit(page), "Memo2");
    Memo2->setReadOnly(true);
    auto* l = new QHBoxLayout(page);
    l->addWidget(functions);
    l->addWidget(Memo2, 1);
    return page;
}

QWidget* TForm1::BuildLinkTestPage() {
    TabSheet2 = Page("TabSheet2", PageControl_MAIN_);
    QGroupBox* group = Group("GroupBox2", QStringLiteral("Тестирование связи"), TabSheet2);
    QLabel* about = Label(
        "Label17",
        QStringLiteral("Режим автоматичеких запросов данных мониторинга с заданным интервалом."),
        group);
    about->setWordWrap(true);
    auto* interval = Named(new QComboBox(group), "ComboBox2");
    interval->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                        QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("10"),
                        QStringLiteral("30"), QStringLiteral("60"), QStringLiteral("120")});
    interval->setEnabled(false);
    QPushButton* start = Button("BitBtn11", QStringLiteral("Запуск"), group);
    start->setEnabled(false);
    QPushButton* stop = Button("BitBtn12", QStringLiteral("Остановить"), group);
    stop->setEnabled(false);
    QFont big = font();
    big.setPixelSize(19);
    auto value = [&](const char* name) {
        QLabel* l = Label(name, QStringLiteral("0"), group);
        l->setFont(big);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    Label11 = value("Label11");
    Label12 = value("Label12");
    Label13 = value("Label13");
    Label15 = value("Label15");
    auto* gl = new QGridLayout(group);
    gl->addWidget(about, 0, 0, 1, 3);
    gl->addWidget(Label("Label6", QStringLiteral("Интервал запросов секунд  "), group), 1, 0);
    gl->addWidget(interval, 1, 1);
    gl->addWidget(start, 2, 0);
    gl->addWidget(Label("Label8", QStringLiteral("Успешные запросы - "), group), 3, 0);
    gl->addWidget(Label11, 3, 1);
    gl->addWidget(Label("Label9", QStringLiteral("Ошибок CRC - "), group), 4, 0);
    gl->addWidget(Label12, 4, 1);
    gl->addWidget(Label("Label10", QStringLiteral("Нет ответа - "), group), 5, 0);
    gl->addWidget(Label13, 5, 1);
    gl->addWidget(Label("Label14", QStringLiteral("Процент ошибок -"), group), 6, 0);
    gl->addWidget(Label15, 6, 1);
    gl->addWidget(Label("Label16", QStringLiteral("%"), group), 6, 2);
    gl->addWidget(stop, 7, 0);
    gl->setRowStretch(8, 1);

    Memo1 = Named(new QPlainTextEdit(TabSheet2), "Memo1");
    Memo1->setReadOnly(true);
    Memo1->setStyleSheet(QStringLiteral("QPlainTextEdit { background: black; color: lime; }"));
    Button2 = Button("Button2", QStringLiteral("Очистить"), TabSheet2);
    auto* left = new QVBoxLayout;
    left->addWidget(group, 1);
    left->addWidget(Button2);
    auto* l = new QHBoxLayout(TabSheet2);
    l->addLayout(left);
    l->addWidget(Memo1, 1);
    return TabSheet2;
}

void TForm1::BuildMenuAndStatus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* file = bar->addMenu(QStringLiteral("Файл"));
    file->setObjectName(QStringLiteral("N1"));
    N6 = file->addAction(QStringLiteral("Настройки"));
    N6->setObjectName(QStringLiteral("N6"));
    N2 = file->addAction(QStringLiteral("Выход"));
    N2->setObjectName(QStringLiteral("N2"));
    QMenu* link = bar->addMenu(QStringLiteral("Связь"));
    link->setObjectName(QStringLiteral("N3"));
    N4 = link->addAction(QStringLiteral("Параметры связи"));
    N4->setObjectName(QStringLiteral("N4"));

    QStatusBar* status = statusBar();
    status->setObjectName(QStringLiteral("StatusBar1"));
    const int widths[3] = {200, 200, 50};
    for (int i = 0; i < 3; ++i) {
        StatusPanels[i] = new QLabel(status);
        StatusPanels[i]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        StatusPanels[i]->setFixedWidth(widths[i]);
        status->addWidget(StatusPanels[i]);
    }

    Timer_POLLING_ = Named(new QTimer(this), "Timer_POLLING_");
    Timer_INDICATE_ = Named(new QTimer(this), "Timer_INDICATE_");
    Timer_INDICATE_->setInterval(250);
    Timer_POLLINGTEST_ = Named(new QTimer(this), "Timer_POLLINGTEST_");
    Timer_POLLINGTEST_->setInterval(500);
}

}  // namespace kelvra
