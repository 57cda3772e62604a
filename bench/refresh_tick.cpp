// Prints what one full refresh of the window costs with 200 cells, the
// settings grids and a full journal: every fill routine a polling tick runs
// after a completed cycle. Offscreen; build with -DKELVRA_BUILD_BENCH=ON.

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/TForm1.h"
#include "connection/TForm4.h"
#include "display/TForm3.h"
#include "graph/TForm2.h"
#include "sim/SimulatedUnit.h"

using namespace kelvra;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QtUserDialogs dialogs;
    TForm1 form1(dialogs);
    TForm2 form2(&form1);
    TForm3 form3(
        form1.options(), [] {}, [] {}, &form1);
    TForm4 form4(dialogs, &form1);
    form1.SetDialogs(&form2, &form3, &form4);
    form1.FormCreate();
    form1.resize(1200, 760);
    form1.show();
    form1.CheckBox_READSETTINGS_->setChecked(true);
    form1.CheckBox_READLOG_->setChecked(true);

    // Images from a simulated unit of 200 cells with a wrapped journal.
    sim::UnitConfig config;
    config.cells = 200;
    config.journalFill = 768 + 300;
    sim::SimulatedUnit unit(config);
    unit.AdvanceTo(std::chrono::milliseconds{60000});
    auto store = [&](RegisterImages::Area area, const auto& image) {
        form1.images().Store(area, 0, std::vector<std::uint16_t>(image.begin(), image.end()));
    };
    store(RegisterImages::Area::Monitor, unit.monitor());
    store(RegisterImages::Area::RsSettings, unit.rsSettings());
    store(RegisterImages::Area::ChargeSettings, unit.chargeSettings());
    store(RegisterImages::Area::AlarmSettings, unit.alarmSettings());
    store(RegisterImages::Area::Journal, unit.journal());

    std::vector<double> ms;
    for (int i = 0; i < 50; ++i) {
        QElapsedTimer t;
        t.start();
        form1.RefreshDisplays();
        QApplication::processEvents();  // let the views repaint what changed
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("full refresh tick, 200 cells, settings and a 556-row journal (50 runs):\n");
    std::printf("  median %.1f ms, fastest %.1f ms, slowest %.1f ms\n", ms[ms.size() / 2],
                ms.front(), ms.back());
    return 0;
}
