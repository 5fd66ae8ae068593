#pragma once

#include "forms/FormEditor.h"

#include <QColor>

#include <functional>

class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class TIBCheckBox;
class TIBComboBox;
class TIBEdit;
class TIBMemo;

// The editor of one contact of the address book (a row of ADRESAR): a customer
// (Flag false, TYP 0) or a translator (Flag true, TYP 1). Opened by the
// address book's add and edit loops and by the job editor for a name it did
// not find (Text: the typed name).
//
// The name is unique among the contacts of the same type, letter case
// ignored. FARBA holds the swatch colour with red in the lowest byte (as the
// register's cells read it); null when "Podfarbenie:" is not ticked.
class TfrmCAdresarPridaj : public TFormEditor {
    Q_OBJECT
public:
    explicit TfrmCAdresarPridaj(QWidget* parent = nullptr);

    // Asks the user for a colour (Qt's colour dialog); an invalid colour
    // means cancelled. Tests replace it.
    using ColourChooser = std::function<QColor(const QColor& initial, QWidget* parent)>;
    static ColourChooser& colourChooser();

    void ClearControls() override;

    // The swatch's colour and whether it is used.
    QColor colour() const { return m_colour; }
    void setColour(const QColor& colour);

    TIBEdit* eDBMeno;
    TIBEdit* eDBAdresa;
    TIBEdit* eDBPSC;
    TIBComboBox* eDBMesto;
    TIBComboBox* eDBStat;
    TIBEdit* eDBEmail;
    TIBEdit* eDBEmail2;
    TIBEdit* eDBEMail3;
    TIBEdit* eDBTel1;
    TIBEdit* eDBTel2;
    TIBComboBox* eDBPravnaForma;
    TIBComboBox* eDBSposobPlatby;
    QLabel* lblSposobPlatby;
    TIBCheckBox* eDBFarba;
    QPushButton* btnFarba;
    QFrame* Shape1;
    QGroupBox* gbPoznamka;
    TIBMemo* eDBPoznamka;

    // btnFarba's action: the colour dialog preset to the swatch.
    void ChooseColour();
    // The mail button of an e-mail field.
    void MailTo(TIBEdit* field);

protected:
    QString captionFor(std::uint8_t mode) const override;
    bool LoadRecord(fb::Transaction& transaction) override;
    void SaveRecord(fb::Transaction& transaction, bool isNew) override;
    QString sequenceName() const override { return QStringLiteral("adresar_id"); }
    QString recordTable() const override { return QStringLiteral("ADRESAR"); }
    QVariantMap recordValues() const override;
    QString columnCaption(const QString& column) const override;

private:
    void buildControls();
    void showColour(bool ticked);

    QColor m_colour = Qt::white;
};
