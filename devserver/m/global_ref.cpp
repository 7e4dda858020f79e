#include "devserver/m/global_ref.h"

namespace vorn::devserver {

namespace {

bool IsDigitText(std::string_view s) {
    return IsCanonicNumber(s);
}

}  // namespace

GlobalRef GlobalRef::Child(std::string_view subscript) const {
    // Room for the child from the start: a copy grown by one would move every subscript again.
    GlobalRef out;
    out.name = name;
    out.subscripts.reserve(subscripts.size() + 1);
    out.subscripts.assign(subscripts.begin(), subscripts.end());
    out.subscripts.emplace_back(subscript);
    return out;
}

GlobalRef GlobalRef::Parent() const {
    GlobalRef out = *this;
    if (!out.subscripts.empty()) out.subscripts.pop_back();
    return out;
}

std::string QuoteM(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"') out += '"';
    }
    out += '"';
    return out;
}

std::string SubscriptText(std::string_view s) {
    return IsDigitText(s) ? std::string(s) : QuoteM(s);
}

std::string GlobalRef::Text() const {
    std::string out = "^" + name;
    if (subscripts.empty()) return out;
    out += '(';
    for (std::size_t i = 0; i < subscripts.size(); ++i) {
        if (i) out += ',';
        out += SubscriptText(subscripts[i]);
    }
    out += ')';
    return out;
}

}  // namespace vorn::devserver
