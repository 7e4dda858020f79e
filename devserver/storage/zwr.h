// The ZWR global-export format: one node a line, ^NAME(subscripts)="value", strings quoted with
// "" for a quote and control characters written as _$C(n,...) outside the quotes.
#pragma once

#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>

#include "devserver/storage/global_store.h"

namespace vorn::devserver {

class ZwrError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct ZwrNode {
    GlobalRef ref;
    std::string value;
};

// ^ZDEMO(80001,1,0)="HB^Hemoglobin"
std::string FormatZwr(const GlobalRef& ref, std::string_view value);
// A string as ZWR writes it: "text" with _$C(n) for bytes outside the printable range.
std::string ZwrString(std::string_view text);
// Parses one line; throws ZwrError naming the column.
ZwrNode ParseZwr(std::string_view line);

// Sets every node of the stream (blank lines and lines starting with ";" are skipped) in the
// caller's transaction; returns the number of nodes. Errors name `source` and the line.
std::size_t ImportZwr(GlobalStore& store, std::istream& in, const std::string& source);
// Writes every node of every global, in collation order.
void ExportZwr(GlobalStore& store, std::ostream& out);

}  // namespace vorn::devserver
