#pragma once

#include "forms/FormEditor.h"
#include "reports/EPrekladyTlacSql.h"
#include "reports/ReportRequest.h"

#include <QDate>
#include <QHash>
#include <QVariant>

#include <functional>

class QLabel;
class QToolButton;
class TIBCheckBox;
class TIBComboBox;
class TIBDate;

// What the report menu and its dialogs need from the windows around them.
struct ReportDialogCalls {
    // Prepares and shows one report; when not given, the dialogs say that
    // printing is not available.
    ReportRun run;
    // The address book as a picker of one side (0 customers, 1 translators),
    // positioned on `current`: the picked record number, or null. The "..."
    // buttons are hidden without it.
    std::function<QVariant(int typ, const QVariant& current)> pickAddress;
};

// Tells the user that reports cannot be printed yet (the run of a request
// while no report run is installed).
void ReportRunNotAvailable(const ReportRequest& request);

// The shared part of the four report dialogs: the period, the address with its
// picker, the output-language and choice combos, the two buttons, the keys
// (F12 OK, Esc closes) and the run on OK. The dialogs check nothing before the
// run: a required mark is only visual.
class TfrmEPrekladyTlacDialog : public TFormEditor {
    Q_OBJECT
public:
    explicit TfrmEPrekladyTlacDialog(ReportDialogCalls calls, QWidget* parent = nullptr);

    // Which report of the dialog (set by the menu before Run).
    int reportMode() const { return m_reportMode; }
    void setReportMode(int mode) { m_reportMode = mode; }

    // Presets the controls, shows the dialog modally; 1 after a report run
    // (whatever it showed), 2 when closed without one.
    int Run();

    // The report as the controls now describe it.
    virtual ReportRequest request() const = 0;

    TIBDate* eDatumOd = nullptr;
    TIBDate* eDatumDo = nullptr;

protected:
    void Zapis(QPushButton* originator) override;
    QString captionFor(std::uint8_t mode) const override;
    virtual QString caption() const = 0;

    // ---- building blocks, placed at (x, y) -------------------------------------
    void addPeriod(int y);
    TIBComboBox* addAddress(QLabel*& label, QToolButton*& button, int y);
    // A yellow combo over the choice list `list` of PONUKY, its label ending before it.
    TIBComboBox* addChoice(const char* name, const QString& label, const QString& list, const QString& orderBy, int x,
                           int y, int width, QLabel** labelOut = nullptr);
    TIBCheckBox* addCheck(const char* name, const QString& caption, int x, int y, int width);
    void placeButtons(int clientWidth, int clientHeight);

    // The address combo for one side: "typ=0" customers, "typ=1" translators.
    void setAddressSide(TIBComboBox* combo, QLabel* label, int typ);
    // Both dates to the previous calendar month (by the program's clock).
    void setDefaultPeriod();
    static QDate dateOf(const TIBDate* edit);
    static QVariant keyOf(const TIBComboBox* combo);

private:
    void pickAddress(TIBComboBox* combo);

    ReportDialogCalls m_calls;
    int m_reportMode = 0;
    QHash<TIBComboBox*, int> m_addressSide;
};
