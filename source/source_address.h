// Where a source stands: a stored record's number ("12"), "+1" for a record being added, or no
// record; with the parent chain of a sub-file entry (",12," under record 12 of the master), and
// the forms of the address the server's calls take.
#pragma once

#include <QString>

#pragma GCC visibility push(default)
namespace vorn {

class SourceAddress {
  public:
    // The record number; empty when there is no record.
    const QString& Number() const { return number_; }
    // The number followed by ",": "12,", "+1," or "," for no record.
    QString Iens() const;
    // "," and the master's full address for an entry of a sub-file; empty otherwise.
    const QString& ParentIens() const { return parent_; }
    // The number, then the parent chain, ending in ","; empty when there is no record.
    QString FullIens() const;
    // FullIens without its trailing comma: the record the server's record calls take.
    QString RecordAddress() const;
    bool HasRecord() const { return !number_.isEmpty(); }
    bool IsNew() const { return number_ == kNew; }
    bool IsStored() const { return HasRecord() && !IsNew(); }

    // Moves to record `number` ("12" or "12,"; only the first comma piece counts). An empty
    // number is no record.
    void MoveTo(const QString& number);
    void StartNew() { number_ = kNew; }
    void Forget() { number_.clear(); }
    // The entry hangs under `parentIens` (see ParentIens).
    void SetParent(const QString& parentIens) { parent_ = parentIens; }

    bool operator==(const SourceAddress& other) const = default;

  private:
    static inline const QString kNew = QStringLiteral("+1");
    QString number_;
    QString parent_;
};

}  // namespace vorn

#pragma GCC visibility pop
