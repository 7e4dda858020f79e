// Which record of its file a source stands on: a stored record's number ("12"), "+1" for a record
// being added, or none. The address the server's record calls take adds the parent chain of a
// sub-file entry ("3,12,").
#pragma once

#include <QString>

#pragma GCC visibility push(default)
namespace vorn {

class SourceAddress {
  public:
    // "12,", "+1," or "," for no record: each spelled one way only.
    QString Iens() const;
    // The record number; empty when there is no record.
    const QString& Number() const { return number_; }
    bool HasRecord() const { return !number_.isEmpty(); }
    bool IsNew() const { return number_ == kNew; }
    bool IsStored() const { return HasRecord() && !IsNew(); }
    // The number, then `parentIens`, ending in ","; empty when there is no record.
    QString Full(const QString& parentIens) const;

    // Moves to record `number` ("12" or "12,"; only the first comma piece counts). An empty
    // number is no record.
    void MoveTo(const QString& number);
    void StartNew() { number_ = kNew; }
    void Forget() { number_.clear(); }

  private:
    static inline const QString kNew = QStringLiteral("+1");
    QString number_;
};

}  // namespace vorn

#pragma GCC visibility pop
