#pragma once

// Internal to the fb library: where each field sits in a Firebird message
// buffer, and how a field's bytes become a QVariant.

#include <QVariant>

#include <cstdint>
#include <vector>

namespace Firebird {
class IMessageMetadata;
}

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

// Where each field of the metadata sits.
std::vector<FieldLayout> fieldsOf(Firebird::IMessageMetadata* meta);

// A message buffer, aligned for the widest field.
struct MessageBuffer {
    std::vector<std::uint64_t> words;
    void resize(unsigned bytes) { words.assign((bytes + 7) / 8, 0); }
    unsigned char* data() { return reinterpret_cast<unsigned char*>(words.data()); }
    const unsigned char* data() const { return reinterpret_cast<const unsigned char*>(words.data()); }
};

bool isBlobField(const FieldLayout& field);
bool isNullField(const FieldLayout& field, const unsigned char* message);
// Every type but BLOB, whose contents need the transaction (see Query).
QVariant decodeField(const FieldLayout& field, const unsigned char* message);

}  // namespace fb
