#include "devserver/files/index_walk.h"

#include <algorithm>

#include "devserver/m/collation.h"

namespace vorn::devserver {
namespace {

// How many number ranges a digit prefix visits (12: 12.., 120.., ..., 12 followed by 40 zeros);
// index values are at most 30 characters, so no value lies beyond them.
constexpr int kMaxRanges = 40;
constexpr int kMaxReadAhead = 512;

bool IsLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
unsigned char Upper(unsigned char c) {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c;
}
unsigned char Lower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

// The spellings a prefix allows at one position: one character, or a letter in both cases.
struct Allowed {
    unsigned char low, high;  // the same character when only one is allowed
    bool Has(unsigned char c) const { return c == low || c == high; }
};

Allowed AllowedAt(std::string_view prefix, std::size_t i, bool ignoreCase) {
    const auto c = static_cast<unsigned char>(prefix[i]);
    if (ignoreCase && IsLetter(c)) return {Upper(c), Lower(c)};
    return {c, c};
}

// A string position: text that is a canonic number cannot be a string subscript, and the
// smallest string at or after it is the text followed by a NUL character.
std::string StringKey(const std::string& text) {
    return IsCanonicNumber(text) ? text + '\0' : text;
}

// The smallest text greater than every text that begins with `prefix`; "" when there is none.
std::string Successor(std::string prefix) {
    while (!prefix.empty() && static_cast<unsigned char>(prefix.back()) == 0xFF)
        prefix.pop_back();
    if (!prefix.empty()) prefix.back() = static_cast<char>(prefix.back() + 1);
    return prefix;
}

bool CanBeginNumber(std::string_view prefix) {
    if (prefix.empty()) return true;
    for (char c : prefix)
        if (!((c >= '0' && c <= '9') || c == '-' || c == '.')) return false;
    return true;
}

bool IsPositiveInteger(std::string_view prefix) {
    if (prefix.empty() || prefix[0] == '0') return false;
    for (char c : prefix)
        if (c < '0' || c > '9') return false;
    return true;
}

std::string Increment(std::string digits) {
    int i = static_cast<int>(digits.size()) - 1;
    while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9')
        digits[static_cast<std::size_t>(i--)] = '0';
    if (i < 0)
        digits.insert(digits.begin(), '1');
    else
        ++digits[static_cast<std::size_t>(i)];
    return digits;
}

}  // namespace

int CompareEntries(const IndexEntry& a, const IndexEntry& b) {
    const int byValue = CompareSubscripts(a.value, b.value);
    if (byValue != 0) return byValue;
    if (a.ien == b.ien) return 0;
    if (a.ien.empty()) return -1;
    if (b.ien.empty()) return 1;
    return CompareSubscripts(a.ien, b.ien);
}

bool BeginsWith(std::string_view value, std::string_view prefix, bool ignoreCase) {
    if (value.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (!AllowedAt(prefix, i, ignoreCase).Has(static_cast<unsigned char>(value[i])))
            return false;
    return true;
}

IndexWalk::IndexWalk(GlobalStore& store, GlobalRef indexRoot, IndexWalkOptions options)
    : store_(store),
      root_(std::move(indexRoot)),
      rootKey_(EncodeKey(root_.subscripts)),
      endKey_(rootKey_ + kAfterChildren),
      options_(std::move(options)),
      aheadLimit_(std::clamp(options_.readAhead, 1, kMaxReadAhead)) {
    if (options_.after && options_.after->value.empty()) options_.after.reset();
}

std::optional<IndexEntry> IndexWalk::Next() {
    if (!started_) {
        started_ = true;
        if (options_.after) {
            value_ = FirstValue();
            if (value_.empty()) done_ = true;
            if (value_ == options_.after->value) ien_ = options_.after->ien;
        } else if (!options_.backwards && !options_.prefix.empty() &&
                   !CanBeginNumber(options_.prefix)) {
            // Only between the first text a spelling of the prefix can begin and the last: the
            // values before and after are never read only to be passed over.
            std::string highest;
            for (std::size_t i = 0; i < options_.prefix.size(); ++i) {
                const Allowed a = AllowedAt(options_.prefix, i, options_.ignoreCase);
                value_ += static_cast<char>(a.low);
                highest += static_cast<char>(a.high);
            }
            if (const std::string end = Successor(highest); !end.empty()) {
                endKey_ = rootKey_;
                AppendEncoded(endKey_, StringKey(end));
            }
        }
    }
    while (!done_) {
        std::optional<IndexEntry> entry = Adjacent(value_, ien_);
        if (!entry) break;
        if (entry->value != value_) {
            // A new value: one the prefix does not begin is passed over to the next one it can.
            const std::string settled = Settle(entry->value);
            if (settled.empty()) break;
            if (settled != entry->value) {
                value_ = settled;
                ien_.clear();
                entryKnown_ = false;
                continue;
            }
        }
        value_ = entry->value;
        ien_ = entry->ien;
        entryKnown_ = true;
        return entry;
    }
    done_ = true;
    return std::nullopt;
}

std::optional<IndexEntry> IndexWalk::Adjacent(const std::string& value, const std::string& ien) {
    // Entries are the nodes root(value,ien) with a value or descendants: the two subscripts after
    // the root of the nearest key beyond the position. A key with only one (a value's own node)
    // holds no entry, and the search goes on past it.
    std::string low = rootKey_, high = options_.backwards ? rootKey_ + kAfterChildren : endKey_;
    if (!value.empty()) {
        std::string at;
        if (entryKnown_) {
            // The position is the entry handed out last: its key is known already.
            at = std::move(entryKey_);
        } else {
            at = rootKey_;
            AppendEncoded(at, value);
            if (!ien.empty()) AppendEncoded(at, ien);
        }
        entryKnown_ = false;
        if (!options_.backwards)
            low = ien.empty() ? at : at + kAfterChildren;
        else
            high = ien.empty() ? at + kAfterChildren : at;
    }
    for (;;) {
        const std::optional<std::string> key = KeyBetween(low, high);
        if (!key) return std::nullopt;
        std::size_t pos = rootKey_.size();
        IndexEntry entry;
        entry.value = DecodeOne(*key, pos);
        if (pos < key->size()) {
            entry.ien = DecodeOne(*key, pos);
            entryKey_.assign(*key, 0, pos);
            return entry;
        }
        (options_.backwards ? high : low) = *key;
    }
}

std::optional<std::string> IndexWalk::KeyBetween(const std::string& low, const std::string& high) {
    const bool back = options_.backwards;
    // Walking on narrows the range from the side it moves from only; anything else (a jump
    // back, another end) reads again.
    const bool covered = aheadRead_ && (back ? low == aheadLow_ && high <= aheadFloor_
                                             : high == aheadHigh_ && low >= aheadFloor_);
    aheadFloor_ = back ? high : low;
    if (covered) {
        for (; aheadAt_ < ahead_.size(); ++aheadAt_) {
            const std::string& key = ahead_[aheadAt_];
            if (back ? key < high : key > low) return key;
        }
        if (aheadWhole_) return std::nullopt;
    }
    ahead_ = store_.EntryKeysBetween(root_, low, high, back ? -1 : 1, aheadLimit_);
    aheadAt_ = 0;
    aheadLow_ = low;
    aheadHigh_ = high;
    aheadRead_ = true;
    aheadWhole_ = static_cast<int>(ahead_.size()) < aheadLimit_;
    aheadLimit_ = std::min(aheadLimit_ * 2, kMaxReadAhead);
    if (options_.onReadAhead && !ahead_.empty()) {
        std::vector<std::string> iens;
        iens.reserve(ahead_.size());
        for (const std::string& key : ahead_) {
            // root(value, ien): anything else under the index is not an entry. Every key read
            // lies under the root, so only what follows the root's key is decoded.
            std::size_t pos = rootKey_.size();
            DecodeOne(key, pos);
            if (pos >= key.size()) continue;
            std::string ien = DecodeOne(key, pos);
            if (pos == key.size()) iens.push_back(std::move(ien));
        }
        options_.onReadAhead(iens);
    }
    if (ahead_.empty()) return std::nullopt;
    return ahead_[0];
}

std::string IndexWalk::FirstValue() {
    const int direction = options_.backwards ? -1 : 1;
    if (!options_.after) return Settle(store_.Order(root_.Child(""), direction));
    const std::string& from = options_.after->value;
    if (options_.after->ien.empty()) return Settle(store_.Order(root_.Child(from), direction));
    if (store_.Data(root_.Child(from)) != 0) return Settle(from);
    return Settle(store_.Order(root_.Child(from), direction));
}

std::string IndexWalk::SeekAtOrAfter(const std::string& position) {
    if (store_.Data(root_.Child(position)) != 0) return position;
    return store_.Order(root_.Child(position), 1);
}

std::string IndexWalk::SeekBefore(const std::string& position) {
    return store_.Order(root_.Child(position), -1);
}

std::string IndexWalk::Settle(std::string candidate) {
    const std::string& prefix = options_.prefix;
    const bool ignoreCase = options_.ignoreCase;
    if (prefix.empty()) return candidate;
    const std::size_t n = prefix.size();
    auto lowest = [&](std::string head, std::size_t from) {
        for (std::size_t i = from; i < n; ++i)
            head += static_cast<char>(AllowedAt(prefix, i, ignoreCase).low);
        return head;
    };
    auto highest = [&](std::string head, std::size_t from) {
        for (std::size_t i = from; i < n; ++i)
            head += static_cast<char>(AllowedAt(prefix, i, ignoreCase).high);
        return head;
    };
    // The first position where `s` leaves every spelling of the prefix (its length when it
    // runs out first).
    auto mismatch = [&](const std::string& s) {
        std::size_t i = 0;
        while (i < n && i < s.size() &&
               AllowedAt(prefix, i, ignoreCase).Has(static_cast<unsigned char>(s[i])))
            ++i;
        return i;
    };
    const std::string stringsStart = StringKey(lowest("", 0));

    while (!candidate.empty()) {
        if (BeginsWith(candidate, prefix, ignoreCase)) return candidate;
        const bool number = IsCanonicNumber(candidate);
        if (!options_.backwards) {
            if (number) {
                if (!CanBeginNumber(prefix)) {
                    candidate = SeekAtOrAfter(stringsStart);
                } else if (IsPositiveInteger(prefix)) {
                    std::string next;
                    std::string low = prefix;
                    for (int k = 0; k <= kMaxRanges; ++k, low += '0')
                        if (CompareSubscripts(low, candidate) > 0) {
                            next = low;
                            break;
                        }
                    candidate = SeekAtOrAfter(next.empty() ? stringsStart : next);
                } else {
                    candidate = store_.Order(root_.Child(candidate), 1);
                }
                continue;
            }
            // A string: the smallest text above it that some spelling of the prefix begins.
            const std::size_t i = mismatch(candidate);
            std::string target;
            if (i == candidate.size()) {
                target = lowest(candidate, i);
            } else {
                for (std::size_t j = i + 1; j-- > 0;) {
                    const Allowed a = AllowedAt(prefix, j, ignoreCase);
                    const auto c = static_cast<unsigned char>(candidate[j]);
                    unsigned char pick = 0;
                    bool found = false;
                    if (a.low > c) {
                        pick = a.low;
                        found = true;
                    } else if (a.high > c) {
                        pick = a.high;
                        found = true;
                    }
                    if (found) {
                        target = lowest(candidate.substr(0, j) + static_cast<char>(pick), j + 1);
                        break;
                    }
                }
                if (target.empty()) return {};
            }
            candidate = SeekAtOrAfter(StringKey(target));
            continue;
        }
        // Backwards.
        if (number) {
            if (!CanBeginNumber(prefix)) return {};
            if (IsPositiveInteger(prefix)) {
                std::string bound;
                std::string high = Increment(prefix);
                for (int k = 0; k <= kMaxRanges; ++k, high += '0') {
                    if (CompareSubscripts(high, candidate) > 0) break;
                    bound = high;
                }
                if (bound.empty()) return {};
                candidate = SeekBefore(bound);
            } else {
                candidate = store_.Order(root_.Child(candidate), -1);
            }
            continue;
        }
        // A string: the greatest spelling below it, then the last text that begins with it.
        const std::size_t i = mismatch(candidate);
        std::string spelling;
        bool found = false;
        for (std::size_t j = (i == candidate.size() ? i : i + 1); j-- > 0;) {
            const Allowed a = AllowedAt(prefix, j, ignoreCase);
            const auto c = static_cast<unsigned char>(candidate[j]);
            unsigned char pick = 0;
            if (a.high < c) {
                pick = a.high;
                found = true;
            } else if (a.low < c) {
                pick = a.low;
                found = true;
            }
            if (found) {
                spelling = highest(candidate.substr(0, j) + static_cast<char>(pick), j + 1);
                break;
            }
        }
        if (!found) {
            // No string at or below this one can begin with the prefix: on to the numbers.
            if (!CanBeginNumber(prefix)) return {};
            candidate = SeekBefore(std::string(1, '\0'));
            continue;
        }
        const std::string bound = Successor(spelling);
        candidate = SeekBefore(bound.empty() ? std::string() : StringKey(bound));
    }
    return {};
}

}  // namespace vorn::devserver
