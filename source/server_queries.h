// Small questions to the server that several components ask: a field's attribute, whether a
// value is valid for a field, and the identifier text of a record.
#pragma once

#include <QString>

#include "source/source_outcome.h"

#pragma GCC visibility push(default)
namespace vorn {

class TRPCBroker;

// The attribute of `field` in file `fileNumber` from "VRNX DDU FIELDS": the third "^"-piece,
// cut at the first ";", of the first answer line whose first piece is `field`. Empty when no
// line matches or an argument is missing.
QString GetFieldAttribute(const QString& fileNumber, const QString& field, TRPCBroker* broker);

// Asks "DDR VALIDATOR" about `value` for `field` of a new record of `fileNumber`: valid, with
// the third and fourth answer lines as the internal and external value, when the second
// answer line is "[Data]" or "[BEGIN_diDATA]"; else not valid and both parts are empty. Sets the
// broker's ClearParameters and ClearResults.
ValidatedValue ValidateValue(const QString& fileNumber, const QString& field, const QString& value,
                             TRPCBroker* broker);

// The identifier text of record `iens` (its number is the text up to the first comma) of
// `fileNumber` from "VRNX IDENTIFIERS": the data lines concatenated. Empty without a broker.
QString GetRecordIdentifiers(const QString& fileNumber, const QString& iens, TRPCBroker* broker);

}  // namespace vorn

#pragma GCC visibility pop
