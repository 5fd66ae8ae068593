#pragma once

// Internal to the fb library: where each field sits in a Firebird message
// buffer, and how a field's bytes become a QVariant.

#include <QVariant>

#include <vector>

namespace fb {

struct FieldLayout {
    unsigned type = 0;  // SQL_* without the nullable bit
    int scale = 0;
    unsigned length = 0;
    int subType = 0;
    unsigned charset = 0;
    unsigned offset = 0;
    unsigned nullOffset = 0;
};

struct RowLayout {
    std::vector<FieldLayout> fields;
    unsigned messageLength = 0;
};

bool isBlobField(const FieldLayout& field);
bool isNullField(const FieldLayout& field, const unsigned char* message);
// Every type but BLOB, whose contents need the transaction (see Query).
QVariant decodeField(const FieldLayout& field, const unsigned char* message);

}  // namespace fb
