// Kelvra: the service and monitoring window for the battery controller.
//
//   kelvra                   the window
//   kelvra --demo            the window with the simulated unit on its port
//   kelvra --list-controls   every named control of the four windows, then exit
//   kelvra --demo --screenshots DIR   a demo run, then one PNG per page into DIR

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/QtUserDialogs.h"
#include "app/TForm1.h"
#include "connection/TForm4.h"
#include "display/TForm3.h"
#include "graph/TForm2.h"
#include "registers/ClockValue.h"
#include "sim/SimTransport.h"

using namespace kelvra;

namespace {

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const double s = size / 32.0;
        p.setPen(QPen(Qt::black, 2 * s));
        p.setBrush(QColor(0, 128, 0));
        p.drawRoundedRect(QRectF(6 * s, 6 * s, 20 * s, 24 * s), 3 * s, 3 * s);
        p.fillRect(QRectF(12 * s, 2 * s, 8 * s, 4 * s), Qt::black);
        p.fillRect(QRectF(9 * s, 18 * s, 14 * s, 9 * s), QColor(0, 255, 0));
        icon.addPixmap(pixmap);
    }
    return icon;
}

QString TextOf(const QObject* o) {
    if (const auto* a = qobject_cast<const QAction*>(o))
        return a->text();
    if (const auto* e = qobject_cast<const QLineEdit*>(o))
        return e->text();
    if (const auto* c = qobject_cast<const QComboBox*>(o))
        return c->currentText();
    if (const auto* m = qobject_cast<const QPlainTextEdit*>(o))
        return m->toPlainText().left(40);
    for (const char* property : {"text", "title", "windowTitle"}) {
        const QVariant v = o->property(property);
        if (v.isValid() && !v.toString().isEmpty())
            return v.toString();
    }
    return QString();
}

// Whether a control shows when its page is brought up: hidden when it or a
// container up to the window was hidden on purpose, or its page's tab is.
bool DesignVisible(const QWidget* w, const QWidget* window) {
    for (; w && w != window; w = w->parentWidget()) {
        const QWidget* parent = w->parentWidget();
        const auto* tabs =
            parent ? qobject_cast<const QTabWidget*>(parent->parentWidget()) : nullptr;
        if (tabs && tabs->indexOf(const_cast<QWidget*>(w)) >= 0) {
            if (!tabs->isTabVisible(tabs->indexOf(const_cast<QWidget*>(w))))
                return false;
            continue;  // an inactive page is hidden by its tab widget, not on purpose
        }
        if (w->isHidden())
            return false;
    }
    return true;
}

// One line per named component: name, class, caption or text, enabled, visible.
void ListControls(const QList<QWidget*>& windows) {
    for (QWidget* window : windows) {
        QList<QObject*> objects{window};
        objects += window->findChildren<QObject*>();
        for (const QObject* o : objects) {
            const QString name = o->objectName();
            if (name.isEmpty() || name.startsWith(QStringLiteral("qt_")))
                continue;
            bool enabled = true, visible = true;
            if (const auto* w = qobject_cast<const QWidget*>(o); w && w->window() != window)
                continue;  // a dialog owned by this window is listed on its own
            if (const auto* w = qobject_cast<const QWidget*>(o)) {
                enabled = w->isEnabled();
                visible = DesignVisible(w, window);
            } else if (const auto* a = qobject_cast<const QAction*>(o)) {
                enabled = a->isEnabled();
                visible = a->isVisible();
            }
            QString text = TextOf(o);
            text.replace(QLatin1Char('\n'), QLatin1Char(' '))
                .replace(QLatin1Char('\t'), QLatin1Char(' '));
            const QString line =
                QStringLiteral("%1\t%2\t%3\t%4\t%5")
                    .arg(name, QString::fromLatin1(o->metaObject()->className()), text,
                         enabled ? QStringLiteral("enabled") : QStringLiteral("disabled"),
                         visible ? QStringLiteral("visible") : QStringLiteral("hidden"));
            std::printf("%s\n", line.toUtf8().constData());
        }
    }
}

bool DisplayAvailable() {
#if defined(Q_OS_LINUX)
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
           qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    bool listOnly = false;
    for (int i = 1; i < argc; ++i)
        listOnly = listOnly || QByteArray(argv[i]) == "--list-controls";
    if (listOnly && !DisplayAvailable())
        qputenv("QT_QPA_PLATFORM", "offscreen");  // listing needs no screen
    if (!DisplayAvailable()) {
        std::fprintf(
            stderr,
            "kelvra: no graphical display here (DISPLAY and WAYLAND_DISPLAY are not set).\n"
            "Run it on a desktop, under Xvfb (xvfb-run kelvra --demo), or use kelvra-cli.\n");
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvra"));
    QApplication::setApplicationDisplayName(QStringLiteral("Kelvra"));
    QApplication::setWindowIcon(AppIcon());

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Service and monitoring tool for the battery controller."));
    parser.addHelpOption();
    parser.addOption(
        {QStringLiteral("demo"), QStringLiteral("Start the simulated unit and select its port.")});
    parser.addOption(
        {QStringLiteral("list-controls"), QStringLiteral("Print every named control, then exit.")});
    parser.addOption(
        {QStringLiteral("screenshots"),
         QStringLiteral("With --demo: run for a while, save one PNG per page into DIR, exit."),
         QStringLiteral("DIR")});
    parser.process(app);

    QtUserDialogs dialogs;
    TForm1 form1(dialogs);
    dialogs.SetParent(&form1);
    TForm2 form2(&form1);
    TForm3 form3(
        form1.options(), [&form1] { form1.SetupGrids(); }, [&form1] { form1.RefillForValueMode(); },
        &form1);
    TForm4 form4(dialogs, &form1);
    form1.SetDialogs(&form2, &form3, &form4);
    form1.FormCreate();

    if (parser.isSet(QStringLiteral("list-controls"))) {
        ListControls({&form1, &form2, &form3, &form4});
        return 0;
    }

    std::unique_ptr<sim::SimTransport> unit;
    if (parser.isSet(QStringLiteral("demo"))) {
        sim::UnitConfig config;
        config.journalFill = 120;
        config.clockStart = EncodeClockValue(ClockFieldsOf(QDateTime::currentDateTime()));
        unit = std::make_unique<sim::SimTransport>(config, sim::SimTransport::Options{});
        if (!unit->Start()) {
            std::fprintf(stderr, "kelvra: cannot start the simulated unit: %s\n",
                         unit->errorText().c_str());
            return 1;
        }
        form4.SelectPort(QString::fromStdString(unit->slavePath()));
    }

    form1.show();
    if (parser.isSet(QStringLiteral("screenshots"))) {
        const QString dir = parser.value(QStringLiteral("screenshots"));
        QDir().mkpath(dir);
        form1.resize(1200, 760);
        form1.CheckBox_READSETTINGS_->setChecked(true);
        form1.CheckBox_READLOG_->setChecked(true);
        form1.SpeedButton_CONNECT_->click();
        QTimer::singleShot(24000, &form1, [&, dir] {
            for (int i = 0; i < form1.PageControl_MAIN_->count(); ++i) {
                if (!form1.PageControl_MAIN_->isTabVisible(i))
                    continue;
                form1.PageControl_MAIN_->setCurrentIndex(i);
                QApplication::processEvents();
                form1.grab().save(QStringLiteral("%1/page-%2-%3.png")
                                      .arg(dir)
                                      .arg(i)
                                      .arg(form1.PageControl_MAIN_->widget(i)->objectName()));
            }
            form1.PageControl_MAIN_->setCurrentIndex(1);
            for (int i = 0; i < form1.PageControl_INFO_->count(); ++i) {
                form1.PageControl_INFO_->setCurrentIndex(i);
                QApplication::processEvents();
                form1.grab().save(QStringLiteral("%1/page-1-%2.png")
                                      .arg(dir, form1.PageControl_INFO_->widget(i)->objectName()));
            }
            app.quit();
        });
    }
    const int result = app.exec();
    form1.link().CloseLink();
    return result;
}
