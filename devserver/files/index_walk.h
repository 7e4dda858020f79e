// Walking one index of a file, root("B",value,ien)="", in M order (canonic numbers first,
// numerically, then strings in byte order) or backwards, from a continuation point, and only
// over the values that begin with a prefix (exactly, or ignoring the case of letters).
//
// The walk never reads the whole index to honour a prefix: a string prefix seeks straight to
// the strings that can begin with it, a letter prefix ignoring case jumps between the ranges
// of its upper- and lower-case spellings, and a prefix of digits visits only the number
// ranges that begin with those digits (12: 12 to 13, 120 to 130, 1200 to 1300, ...).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "devserver/storage/global_store.h"

namespace vorn::devserver {

struct IndexEntry {
    std::string value;
    std::string ien;
};

// Negative, zero or positive as entry a comes before, with or after b in M order.
int CompareEntries(const IndexEntry& a, const IndexEntry& b);

// Whether `value` begins with `prefix` (letters ignoring case when asked).
bool BeginsWith(std::string_view value, std::string_view prefix, bool ignoreCase);

struct IndexWalkOptions {
    bool backwards = false;
    std::string prefix;  // "": every value
    bool ignoreCase = false;
    // Where to go on from: entries after this one (before it, backwards). An empty ien means
    // after (before) every entry of the value.
    std::optional<IndexEntry> after;
    // How many keys to read at first: as many as the caller expects to take saves reading more
    // than it needs (later reads grow).
    int readAhead = 8;
    // Told the record numbers of the entries each read-ahead found, before the walk hands them
    // out: a caller that reads each entry's record may fetch them together.
    std::function<void(const std::vector<std::string>& iens)> onReadAhead;
};

class IndexWalk {
  public:
    // `indexRoot` is the index's node, ^ZDEMO(80001,"B").
    IndexWalk(GlobalStore& store, GlobalRef indexRoot, IndexWalkOptions options);

    // The next entry in walk order; nullopt at the end.
    std::optional<IndexEntry> Next();

  private:
    // The entry next to the position (value, ien) in walk order, whatever its value: one query
    // however the entries lie. An empty ien stands before every entry of the value (after them,
    // backwards); an empty value before the first entry of the index (after the last).
    std::optional<IndexEntry> Adjacent(const std::string& value, const std::string& ien);
    std::string FirstValue();
    // The first value at or after `from` (at or before, backwards) whose text can still begin
    // with the prefix; "" when there is none.
    std::string Settle(std::string candidate);
    std::string SeekAtOrAfter(const std::string& position);
    std::string SeekBefore(const std::string& position);
    // The first key strictly between `low` and `high` in walk order. Keys are read ahead, a
    // growing number at a time, and a later call whose range the keys read cover is answered
    // from them: a batch of 50 entries costs a few queries, not 50.
    std::optional<std::string> KeyBetween(const std::string& low, const std::string& high);

    GlobalStore& store_;
    GlobalRef root_;
    std::string rootKey_;  // the key of root_ (collation.h)
    // Where a forward walk ends: after every entry, or before the first text that no spelling
    // of a letter prefix begins.
    std::string endKey_;
    IndexWalkOptions options_;
    bool started_ = false;
    bool done_ = false;
    std::string value_;  // the value whose entries are being walked
    std::string ien_;    // the last entry's record number under it ("" before the first)
    // The key of root(value_,ien_) when they are the last entry found, for the step after it.
    std::string entryKey_;
    bool entryKnown_ = false;

    // Keys read ahead: every key of the range (aheadLow_, aheadHigh_) up to the last of them,
    // or all of it when aheadWhole_; ahead_[aheadAt_...] not yet passed.
    std::vector<std::string> ahead_;
    std::size_t aheadAt_ = 0;
    std::string aheadLow_, aheadHigh_;
    std::string aheadFloor_;  // the bound last asked for on the side the walk moves from
    bool aheadRead_ = false;
    bool aheadWhole_ = false;
    int aheadLimit_;
};

}  // namespace vorn::devserver
