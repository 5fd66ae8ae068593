#include "forms/FormViewer.h"

#include "controls/DbGridQDL.h"
#include "framework/UiHelpers.h"

namespace {

const QString kJedin = QStringLiteral("JEDIN");

}  // namespace

// --- TFormViewer ----------------------------------------------------------------

TFormViewer::TFormViewer(QWidget* parent)
    : TFormUni(parent), m_previousMain(MainWindow())
{
    SetMainWindow(this);
}

TFormViewer::~TFormViewer()
{
    if (MainWindow() == this)
        SetMainWindow(m_previousMain);
}

void TFormViewer::RunModal(TFormDetails& details, const std::function<void()>& fill,
                           const std::function<QVariant()>& chosenKey)
{
    TFormUni::SetDetails(details);
    if (!Text.trimmed().isEmpty())
        setWindowTitle(Text);
    if (fill)
        fill();
    const int result = exec();
    details.Result = result;
    if (details.Mode == TFormDetails::Select && result == TFormDetails::ResultOk && chosenKey)
        details.Current = chosenKey();
}

// --- the register side ----------------------------------------------------------

void AddRecords(TFormUni& window, TDbGridQDL* grid, const std::function<void(TFormDetails&)>& runEditor,
                const std::function<void(TFormDetails&)>& beforeEach)
{
    TFormDetails d;
    InitDetails(d, TFormDetails::Insert, window.Parent);
    do {
        d.Current = QVariant();
        if (beforeEach)
            beforeEach(d);
        runEditor(d);
        grid->DisplayGrid();
        if (d.result() == TFormDetails::ResultOk || d.result() == TFormDetails::ResultNext)
            grid->Locate(kJedin, d.Current);
    } while (d.result() == TFormDetails::ResultNext);
}

void EditRecords(TFormUni& window, TDbGridQDL* grid, const std::function<void(TFormDetails&)>& runEditor,
                 const std::function<void(TFormDetails&)>& beforeEach)
{
    if (!grid->isOpen() || grid->isEmpty())
        return;
    TFormDetails d;
    InitDetails(d, TFormDetails::Edit, window.Parent);
    bool atEnd = false;
    do {
        d.Current = grid->fieldValue(kJedin);
        if (beforeEach)
            beforeEach(d);
        runEditor(d);
        if (d.result() == TFormDetails::ResultNext) {
            const int next = grid->currentRow() + 1;
            atEnd = next >= grid->CountRecords();
            if (!atEnd)
                grid->setCurrentRow(next);
        }
    } while (d.result() == TFormDetails::ResultNext && !atEnd);
    grid->DisplayGrid();
    // A saved copy is a new row: the cursor goes to it, not back to the original.
    if (d.Mode == TFormDetails::Copy && d.result() == TFormDetails::ResultOk)
        grid->Locate(kJedin, d.Current);
}

