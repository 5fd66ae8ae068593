#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// A small in-memory table: field definitions and rows of values, with a current
// record and an edit buffer (append, set fields, post). It is the target the
// package reader fills and the migration runner walks.
class MemTable {
public:
    struct FieldDef {
        QString name;
        QString dataType;  // one of dataTypeNames()
        int size = 0;
        bool required = false;
        QString kind = QStringLiteral("data");
        QString displayLabel;  // empty: the name is shown
        QString editMask;
        int displayWidth = 0;
        bool readOnly = false;
    };

    // The datatype names a field definition may carry.
    static const QStringList& dataTypeNames();

    // Structure. Changing the fields drops all rows.
    void clearFields();
    bool addField(const FieldDef& def, QString* error = nullptr);
    int fieldCount() const { return int(fields_.size()); }
    const FieldDef& field(int index) const { return fields_.at(index); }
    // Field names compare without regard to letter case; -1 when there is none.
    int fieldIndex(const QString& name) const;

    // Editing: append() opens a new record, post() stores it, cancel() drops it.
    void clearRows();
    void append();
    bool setFieldText(const QString& name, const QString& text, QString* error = nullptr);
    bool setFieldNull(const QString& name, QString* error = nullptr);
    bool post(QString* error = nullptr);
    void cancel();
    bool isEditing() const { return editing_; }

    // Navigation over the stored rows.
    int recordCount() const { return int(rows_.size()); }
    bool first();
    bool next();
    bool eof() const { return current_ < 0 || current_ >= recordCount(); }
    int recNo() const { return current_; }
    bool locate(const QString& name, const QVariant& value);

    // Values of the current record (or of the record being edited). Null is an
    // invalid QVariant; the empty text is a valid, empty QString.
    QVariant value(const QString& name) const;
    QVariant value(int row, int field) const { return rows_.at(row).at(field); }
    bool isNull(const QString& name) const { return !value(name).isValid(); }
    QString text(const QString& name) const { return value(name).toString(); }

private:
    bool setValue(const QString& name, const QVariant& value, QString* error);
    static bool convert(const FieldDef& def, const QString& text, QVariant& out, QString* error);

    QList<FieldDef> fields_;
    QList<QList<QVariant>> rows_;
    QList<QVariant> buffer_;
    bool editing_ = false;
    int current_ = -1;
};
