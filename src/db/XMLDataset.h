#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

class MemTable;
class QIODevice;

// Reads a "datapacket" XML text (one table: field definitions and rows) into a
// MemTable. The reader is tag-driven: it locates elements by searching for fixed
// marker texts, without letter case, rather than by parsing XML in general, so
// it reads exactly the layout the package builder writes.
//
// Loading never throws: it returns false and keeps the message in lastError().
// Rows read before a failure stay in the table; a partly read row is dropped.
class TXMLDataset {
public:
    TXMLDataset() = default;
    explicit TXMLDataset(MemTable* dataSet) : dataSet_(dataSet) {}

    MemTable* dataSet() const { return dataSet_; }
    void setDataSet(MemTable* dataSet) { dataSet_ = dataSet; }

    // Packets with a newer version than this are refused.
    int fileVersion() const { return fileVersion_; }
    void setFileVersion(int version) { fileVersion_ = version; }

    // Reads the whole device, then loads it.
    bool loadFromStream(QIODevice* stream);
    // Loads an inflated packet; the text ends at the first NUL byte.
    bool loadFromBytes(const QByteArray& packet);

    QString lastError() const { return lastError_; }

    // What the last load found in the packet ("count" attributes and flags).
    int fieldDefCount() const { return fieldDefCount_; }
    int indexDefCount() const { return indexDefCount_; }
    int recordCount() const { return recordCount_; }
    bool hasFieldDefs() const { return hasFieldDefs_; }
    bool hasIndexDefs() const { return hasIndexDefs_; }
    bool hasRecordData() const { return hasRecordData_; }
    bool hasChanges() const { return hasChanges_; }
    double packetVersion() const { return packetVersion_; }
    QDateTime packetTime() const { return packetTime_; }

private:
    class Parser;
    void reset();

    MemTable* dataSet_ = nullptr;
    int fileVersion_ = 2;
    QString lastError_;
    int fieldDefCount_ = 0;
    int indexDefCount_ = 0;
    int recordCount_ = 0;
    bool hasFieldDefs_ = false;
    bool hasIndexDefs_ = false;
    bool hasRecordData_ = false;
    bool hasChanges_ = false;
    double packetVersion_ = 0;
    QDateTime packetTime_;
};
