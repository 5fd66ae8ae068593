#pragma once

#include <QDialog>

class QDateEdit;
class QLineEdit;
class QStackedWidget;
class TDbGridQDL;

// TfrmDBGridQDLFind: the incremental find in the grid's active column. Each
// change of the text positions the grid; a failed character turns the edit
// red and plays "Sounds/Oops.Wav" once per run of failures. Enter on a found
// record closes with OK (OnFoundRecord), Esc with Cancel; either way the
// located record stays current. The position is remembered per user.
class TfrmDBGridQDLFind : public QDialog {
    Q_OBJECT
public:
    enum Page { TextPage, DatePage };

    TfrmDBGridQDLFind(TDbGridQDL* grid, const QString& field, Page page, const QString& findBy);
    ~TfrmDBGridQDLFind() override;

    bool found() const { return m_found; }
    QLineEdit* textEdit() const { return m_text; }
    QDateEdit* dateEdit() const { return m_date; }
    // The text searched last, shared by every find dialog of the program.
    static QString& lastSearchText();
    static QString settingsKey();
    static QString soundFile();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void textChanged(const QString& text);
    void dateChanged();
    void setColour(QWidget* edit, bool red);
    bool isRed(QWidget* edit) const;

    TDbGridQDL* m_grid;
    QString m_field;
    QStackedWidget* m_pages;
    QLineEdit* m_text;
    QDateEdit* m_date;
    bool m_found = false;
};
