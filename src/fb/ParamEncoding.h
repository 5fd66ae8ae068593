#pragma once

// Internal to the fb library: how parameter values become a Firebird input
// message, the other direction of decodeField (RowLayout.h).

#include "fb/FbApi.h"
#include "fb/RowLayout.h"

#include <QHash>
#include <QStringList>
#include <QVariant>

#include <functional>

namespace fb {

// Writes the bytes of a BLOB parameter and gives its id.
using BlobWriter = std::function<ISC_QUAD(const QByteArray&)>;

// Fills an input message with `values` for the parameters `names` (one per
// "?" of the statement, in order; a name missing from `values` is NULL).
// `declared` and `declaredFields` are the input metadata as the server declared
// it; `meta` receives the metadata of the message written. Text longer than the
// declared field widens the field (the server then reports truncation as it
// should), and parameters the server could not type (SQL_NULL) become text.
// A value that does not fit its field is an fb::Error naming the parameter.
void encodeParams(const QStringList& names, const QHash<QString, QVariant>& values,
                  Firebird::IMessageMetadata* declared, const std::vector<FieldLayout>& declaredFields,
                  const BlobWriter& writeBlob, detail::Ref<Firebird::IMessageMetadata>& meta,
                  MessageBuffer& buffer);

}  // namespace fb
