// Turning the edits of a form into server changes: single values checked as the user leaves a
// control, required fields, filing the changed fields of a stored record or all fields of a
// new one, and the question before a changed record is left.
#pragma once

#include <QString>

namespace vorn {

class TvornSource;

class SourceSaver {
  public:
    explicit SourceSaver(TvornSource& source) : s_(source) {}

    bool ValidateField(const QString& field, const QString& value);
    bool SetFieldValue(const QString& field, const QString& value);
    bool Save();
    bool SaveAs();
    bool CheckSaveChanges();
    void CommitActiveControl();

  private:
    // The first required field without a value stops the save with message 1051.
    bool RequiredFieldsPresent();
    // Files the changes with one "DDR FILER" call; true when the server took them.
    bool File();
    // Message 1034 or 1037: the question before changes are saved.
    QString ChangeQuestion();
    // The changed controls whose required value is missing after filing, as one message.
    QString MissingAfterFiling(bool newRecord);

    TvornSource& s_;
    bool committing_ = false;
};

}  // namespace vorn
