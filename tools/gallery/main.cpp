// gallery <folder>: renders each data control in each state (normal, required,
// focused, read-only, error-red) and the calendar, calculator and wait windows
// to PNG files in the folder, on the offscreen platform. For looking at, not
// for the program.
#include "framework/UiHelpers.h"
#include "controls/Calculator.h"
#include "controls/DataControl.h"
#include "controls/IBCheckBox.h"
#include "controls/IBCurrencyEdit.h"
#include "controls/IBDate.h"
#include "controls/IBEdit.h"
#include "controls/IBMemo.h"
#include "controls/IBTime.h"
#include "controls/MonthCalendar.h"
#include "controls/QDLBtn.h"
#include "framework/Clock.h"
#include "framework/UserSettings.h"
#include "framework/WaitPlease.h"

#include <QApplication>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QTemporaryDir>
#include <QElapsedTimer>

#include <cstdio>
#include <functional>

namespace {

QString g_folder;
int g_files = 0;

void save(QWidget* widget, const QString& name)
{
    const QString path = QDir(g_folder).filePath(name + QStringLiteral(".png"));
    if (!widget->grab().save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    else
        ++g_files;
}

void settle(QWidget* window)
{
    window->show();
    QApplication::setActiveWindow(window);
    QElapsedTimer timer;
    timer.start();
    while (!window->isActiveWindow() && timer.elapsed() < 1000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    QApplication::processEvents();
}

// One control in a small window with a caption and a second field to leave to.
void renderStates(const QString& className, const std::function<QWidget*(QWidget*)>& make)
{
    const QStringList states = {"normal", "required", "focused", "readonly", "error"};
    for (const QString& state : states) {
        QWidget window;
        window.setWindowTitle(className);
        auto* form = new QFormLayout(&window);
        QWidget* control = make(&window);
        control->setObjectName(QStringLiteral("e") + className);
        form->addRow(className + QStringLiteral(":"), control);
        auto* other = new QLineEdit(&window);
        form->addRow(QStringLiteral("Iné:"), other);
        window.resize(330, window.sizeHint().height());
        other->setFocus();  // the control has not been entered yet
        settle(&window);
        other->setFocus();
        QApplication::processEvents();
        DataControl* dc = DataControl::of(control);
        if (state == QLatin1String("required")) {
            dc->setRequired(true);
        } else if (state == QLatin1String("focused")) {
            control->setFocus(Qt::TabFocusReason);
            QApplication::processEvents();
        } else if (state == QLatin1String("readonly")) {
            dc->setReadOnly(true);
        }
        const QString name = className + QLatin1Char('_') + state;
        if (state == QLatin1String("error")) {
            dc->whileRed([&] {
                save(&window, name);
                return 0;
            });
        } else {
            save(&window, name);
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: gallery <folder>\n");
        return 2;
    }
    g_folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_folder);
    UseSlovakUserInterface();
    QTemporaryDir settingsDir;  // the calendar remembers its place: not in the real home
    setUserSettingsFile(settingsDir.filePath(QStringLiteral("user-settings.ini")));
    Clock::pinClock(QDateTime(QDate(2025, 3, 15), QTime(10, 42)));

    renderStates(QStringLiteral("TIBEdit"), [](QWidget* p) {
        auto* e = new TIBEdit(p);
        e->setText(QStringLiteral("Žilinský Ľuboš"));
        return e;
    });
    renderStates(QStringLiteral("TIBEdit_button"), [](QWidget* p) {
        auto* e = new TIBEdit(p);
        e->setText(QStringLiteral("info@preklady.sk"));
        e->setButtonVisible(true);
        return e;
    });
    renderStates(QStringLiteral("TIBMemo"), [](QWidget* p) {
        auto* m = new TIBMemo(p);
        m->setPlainText(QStringLiteral("Poznámka k prekladu:\nťažký odborný text"));
        m->setFixedHeight(60);
        return m;
    });
    renderStates(QStringLiteral("TIBCheckBox"), [](QWidget* p) {
        auto* c = new TIBCheckBox(QStringLiteral("Zaplatené"), p);
        c->setCheckedValue(1);
        return c;
    });
    renderStates(QStringLiteral("TIBDate"), [](QWidget* p) {
        auto* d = new TIBDate(p);
        d->setDate(QDate(2025, 3, 15));
        return d;
    });
    renderStates(QStringLiteral("TIBDate_implausible"), [](QWidget* p) {
        auto* d = new TIBDate(p);
        d->setDate(QDate(1930, 3, 15));
        return d;
    });
    renderStates(QStringLiteral("TIBTime"), [](QWidget* p) {
        auto* t = new TIBTime(p);
        t->setTime(QTime(9, 30));
        return t;
    });
    renderStates(QStringLiteral("TIBCurrencyEdit"), [](QWidget* p) {
        auto* a = new TIBCurrencyEdit(p);
        a->setValue(1234.5);
        return a;
    });
    renderStates(QStringLiteral("TIBCurrencyEdit_money"), [](QWidget* p) {
        auto* a = new TIBCurrencyEdit(p);
        a->setMoneyColor(true);
        a->setValue(-12.5);
        return a;
    });

    {
        QWidget window;
        auto* form = new QFormLayout(&window);
        auto* ok = new TQDLBtn(QStringLiteral(" &OK"), &window);
        auto* cancel = new TQDLBtn(QStringLiteral("&Zrušiť"), &window);
        cancel->setCancel(true);
        form->addRow(ok, cancel);
        settle(&window);
        cancel->setFocus();
        QApplication::processEvents();
        save(&window, QStringLiteral("TQDLBtn_normal"));
        ok->setFocus();
        QApplication::processEvents();
        save(&window, QStringLiteral("TQDLBtn_focused"));
    }
    {
        TfrmMonthCalendar calendar;
        calendar.setDate(QDate(2025, 3, 15));
        settle(&calendar);
        save(&calendar, QStringLiteral("TfrmMonthCalendar"));
    }
    {
        TfrmCalculator calculator(37.5);
        settle(&calculator);
        save(&calculator, QStringLiteral("TfrmCalculator"));
    }
    {
        WaitPleaseShow(0);
        QApplication::processEvents();
        save(WaitPleaseWindow(), QStringLiteral("TfrmWaitPlease"));
        WaitPleaseHide();
    }
    std::printf("%d files in %s\n", g_files, qPrintable(g_folder));
    return 0;
}
