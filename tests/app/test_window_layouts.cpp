// Every window at its default size, as the user first sees it: no control
// covers another of the same panel, and no label or button is narrower than
// its text. Fonts and styles differ between desktops, so this runs on the
// fonts the program ships with the tests' platform; the screenshots under
// Xvfb are the other half of the check.
#include "support/TempSettings.h"
#include "TestDatabase.h"

#include "app/fLogin.h"
#include "app/fMain.h"
#include "codelists/fCAdresar.h"
#include "codelists/fCAdresarPridaj.h"
#include "codelists/fCJazykoveKombinacie.h"
#include "codelists/fCJazykoveKombinaciePridaj.h"
#include "codelists/fCKombinaciePridaj.h"
#include "codelists/fCMerneJednotky.h"
#include "codelists/fCMerneJednotkyPridaj.h"
#include "codelists/fCUzivatelia.h"
#include "codelists/fCUzivateliaPridaj.h"
#include "framework/MainConnection.h"
#include "maintenance/fZalohovanie.h"
#include "register/fEPreklady.h"
#include "register/fEPrekladyPridaj.h"
#include "register/fEPrekladyUhrady.h"
#include "reports/fEPrekladyTlac.h"
#include "reports/fEPrekladyTlacHodnotenie.h"
#include "reports/fEPrekladyTlacZiskovost.h"
#include "reports/fEPrekladyTlacZiskovostMesacna.h"
#include "reports/fEPrekladyTlacZoznam.h"
#include "reports/fPrehladAgentury.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

namespace {

// The controls a user reads or types into; containers are looked into.
bool isControl(const QWidget* w)
{
    return qobject_cast<const QLabel*>(w) || qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w)
           || qobject_cast<const QAbstractButton*>(w);
}

QString describe(const QWidget* w)
{
    QString text;
    if (auto* l = qobject_cast<const QLabel*>(w))
        text = l->text();
    else if (auto* b = qobject_cast<const QAbstractButton*>(w))
        text = b->text();
    return QStringLiteral("%1 %2 \"%3\" at %4,%5 %6x%7")
        .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(), text)
        .arg(w->x())
        .arg(w->y())
        .arg(w->width())
        .arg(w->height());
}

// Overlaps of visible sibling controls and texts cut by their control.
QStringList layoutFaults(QWidget* window)
{
    QStringList faults;
    const QList<QWidget*> all = window->findChildren<QWidget*>();
    for (QWidget* parent : QList<QWidget*>{window} + all) {
        if (!parent->isVisible())
            continue;
        QList<QWidget*> controls;
        for (QObject* o : parent->children()) {
            auto* w = qobject_cast<QWidget*>(o);
            // A control inside another (the combo's own edit) belongs to it.
            if (w && w->isVisible() && !w->isWindow() && isControl(w) && !isControl(parent))
                controls << w;
        }
        for (int i = 0; i < controls.size(); ++i)
            for (int j = i + 1; j < controls.size(); ++j)
                if (controls[i]->geometry().intersects(controls[j]->geometry()))
                    faults << QStringLiteral("%1 overlaps %2").arg(describe(controls[i]), describe(controls[j]));
        for (QWidget* w : controls) {
            auto* label = qobject_cast<QLabel*>(w);
            if (label && !label->wordWrap() && !label->text().isEmpty() && label->pixmap().isNull()
                && label->sizeHint().width() > label->width() + 1)
                faults << QStringLiteral("%1 is cut (needs %2)").arg(describe(w)).arg(label->sizeHint().width());
            auto* check = qobject_cast<QCheckBox*>(w);
            if (check && check->sizeHint().width() > check->width() + 1)
                faults << QStringLiteral("%1 is cut (needs %2)").arg(describe(w)).arg(check->sizeHint().width());
        }
    }
    return faults;
}

class WindowLayouts : public ::testing::Test {
protected:
    WindowLayouts() { setMainConnection(&db.connection()); }
    ~WindowLayouts() override { setMainConnection(nullptr); }

    TempSettings settings;
    TestDatabase db{TestDatabase::Migrated};
};

}  // namespace

TEST_F(WindowLayouts, NoControlCoversAnotherAndNoTextIsCut)
{
    struct Case {
        const char* name;
        std::function<std::unique_ptr<QWidget>()> make;
    };
    const Case cases[] = {
        {"job editor", [] { return std::make_unique<TfrmEPrekladyPridaj>(QStringLiteral("AD")); }},
        {"contact editor", [] { return std::make_unique<TfrmCAdresarPridaj>(); }},
        {"rate editor", [] { return std::make_unique<TfrmCKombinaciePridaj>(); }},
        {"combination editor", [] { return std::make_unique<TfrmCJazykoveKombinaciePridaj>(); }},
        {"unit editor", [] { return std::make_unique<TfrmCMerneJednotkyPridaj>(); }},
        {"user editor", [] { return std::make_unique<TfrmCUzivateliaPridaj>(true); }},
        {"bulk entry", [] { return std::make_unique<TfrmEPrekladyUhrady>(); }},
        {"login", [] { return std::make_unique<TfrmLogin>(); }},
        {"report menu", [] { return std::make_unique<TfrmEPrekladyTlac>(); }},
        {"job lists", [] { return std::make_unique<TfrmEPrekladyTlacZoznam>(); }},
        {"profitability", [] { return std::make_unique<TfrmEPrekladyTlacZiskovost>(); }},
        {"monthly profitability", [] { return std::make_unique<TfrmEPrekladyTlacZiskovostMesacna>(); }},
        {"evaluation", [] { return std::make_unique<TfrmEPrekladyTlacHodnotenie>(); }},
        {"backup", [] { return std::make_unique<TfrmZalohovanie>(ZalohovanieEnvironment{}); }},
        {"register", [] { return std::make_unique<TfrmEPreklady>(); }},
        {"address book", [] { return std::make_unique<TfrmCAdresar>(); }},
        {"combinations", [] { return std::make_unique<TfrmCJazykoveKombinacie>(); }},
        {"units", [] { return std::make_unique<TfrmCMerneJednotky>(); }},
        {"users", [] { return std::make_unique<TfrmCUzivatelia>(); }},
        {"agency overview", [] { return std::make_unique<TfrmPrehladAgentury>(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::unique_ptr<QWidget> window = c.make();
        window->show();
        QApplication::processEvents();
        const QStringList faults = layoutFaults(window.get());
        EXPECT_TRUE(faults.isEmpty()) << faults.join(QStringLiteral("\n")).toStdString();
        window->hide();
    }
}
