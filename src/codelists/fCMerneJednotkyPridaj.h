#pragma once

#include "forms/FormEditor.h"

class TIBEdit;

// The editor of one unit of measure: add (mode 3) or edit (mode 5).
class TfrmCMerneJednotkyPridaj : public TFormEditor {
    Q_OBJECT
public:
    explicit TfrmCMerneJednotkyPridaj(QWidget* parent = nullptr);

    TIBEdit* eSkratka = nullptr;

protected:
    QString captionFor(std::uint8_t mode) const override;
    bool LoadRecord(fb::Transaction& transaction) override;
    void SaveRecord(fb::Transaction& transaction, bool isNew) override;
    QString sequenceName() const override { return QStringLiteral("MERNE_JEDNOTKY_ID"); }
    QString recordTable() const override { return QStringLiteral("MERNE_JEDNOTKY"); }
    QVariantMap recordValues() const override;
    QString columnCaption(const QString& column) const override;
};
