#pragma once

#include "forms/FormEditor.h"

class TIBCheckBox;
class TIBEdit;

// The editor of one language combination: add (mode 3, `Text` the abbreviation
// to start with) or edit (mode 5).
class TfrmCJazykoveKombinaciePridaj : public TFormEditor {
    Q_OBJECT
public:
    explicit TfrmCJazykoveKombinaciePridaj(QWidget* parent = nullptr);

    TIBEdit* eSkratka = nullptr;
    TIBEdit* eSkupina = nullptr;
    TIBCheckBox* eHodnoteny = nullptr;

    void ClearControls() override;

protected:
    QString captionFor(std::uint8_t mode) const override;
    bool LoadRecord(fb::Transaction& transaction) override;
    void SaveRecord(fb::Transaction& transaction, bool isNew) override;
    QString sequenceName() const override { return QStringLiteral("JAZYKOVE_KOMBINACIE_ID"); }
    QString recordTable() const override { return QStringLiteral("JAZYKOVE_KOMBINACIE"); }
    QVariantMap recordValues() const override;
    QString columnCaption(const QString& column) const override;
};
