#pragma once

#include "forms/FormUni.h"

#include <QPointer>

#include <functional>

class TDbGridQDL;

// A register window: a list of records with a toolbar. While it exists it is
// the application's main window; the previous one gets the role back when it
// is destroyed.
class TFormViewer : public TFormUni {
    Q_OBJECT
public:
    explicit TFormViewer(QWidget* parent = nullptr);
    ~TFormViewer() override;

    virtual void Prepare() {}
    virtual void LoadSettings() {}
    virtual void SaveSettings() {}

    QWidget* previousMainWindow() const { return m_previousMain; }

    // The common part of a register window's run, for its SetDetails: base
    // SetDetails, `Text` as caption when not blank, `fill` (the list, its
    // position), show modally, `Result`; in select mode a result of 1 stores
    // `chosenKey()` in `Current`.
    void RunModal(TFormDetails& details, const std::function<void()>& fill = {},
                  const std::function<QVariant()>& chosenKey = {});

private:
    QPointer<QWidget> m_previousMain;
};

// Runs a register window: create, Prepare, LoadSettings, its SetDetails (which
// runs it), SaveSettings, destroy.
template <class Window, class... Args>
void RunViewer(TFormDetails& details, Args&&... args)
{
    Window window(std::forward<Args>(args)...);
    window.Prepare();
    window.LoadSettings();
    window.SetDetails(details);
    window.SaveSettings();
}

// The register side of the editor protocol.
//
// Add: an insert call record under the window's Parent; runs the editor again
// while it answers "saved and next", refreshing the list after each run and
// putting it on the saved record. `beforeEach` may set further parameters.
void AddRecords(TFormUni& window, TDbGridQDL* grid, const std::function<void(TFormDetails&)>& runEditor,
                const std::function<void(TFormDetails&)>& beforeEach = {});
// Edit: an edit call record for the current row; while the editor answers
// "saved and next" and the list has a next row, moves there and edits it.
// Refreshes the list at the end. Nothing happens on a closed or empty list.
void EditRecords(TFormUni& window, TDbGridQDL* grid, const std::function<void(TFormDetails&)>& runEditor,
                 const std::function<void(TFormDetails&)>& beforeEach = {});
