#pragma once

#include "forms/FormEditor.h"

#include <QStringList>

#include <functional>

class QLabel;
class TDbGridQDL;
class TIBComboBox;
class TIBEdit;

// The set of TEMP_SPRACUJ that carries the jobs of one invoice or payment entry.
extern const QString kUhradyZaradenie;

// The statements of the entry, by recipient (0 the customer, 1 the translator):
// whether a job of the set is already settled, the update of the jobs of the
// set still unsettled, the size of the set, and the marks of the settled jobs.
QStringList UhradySettledSql(int adresarTyp);
QStringList UhradyUpdateSql(int adresarTyp);
QStringList UhradyCountSql();
QStringList UhradySettledNamesSql(int adresarTyp);

// "Hromadná zmena úhrady objednávateľom alebo prekladateľom": one invoice or
// payment text into every job of the set. OK closes with 1 when the text was
// written or when a settled job refused the batch; a database error keeps the
// dialog open with nothing written, so the marks stay and the user can retry.
class TfrmEPrekladyUhrady : public TFormEditor {
    Q_OBJECT
public:
    explicit TfrmEPrekladyUhrady(QWidget* parent = nullptr);

    QLabel* lblPozor = nullptr;
    TIBComboBox* eAdresarTyp = nullptr;
    TIBEdit* eFaktura = nullptr;

    void ClearControls() override;
    // Shows the dialog modally; the result (1 OK, 2 cancel).
    int Run();

protected:
    QString captionFor(std::uint8_t mode) const override;
    void Zapis(QPushButton* originator) override;

private:
    void write();
};

// The register's bulk entry: the marked jobs, or the current one when none is
// marked, into the set; then `dialog` (TfrmEPrekladyUhrady when empty). True
// when the dialog closed with OK: the caller unmarks and refreshes.
bool RunUhrady(TDbGridQDL* grid, const std::function<int()>& dialog = {});
