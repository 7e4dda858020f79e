// Reading a source's record, spreading it over the bound controls, and moving through the file
// along its browse index; emptying the form, starting a new record, throwing changes away.
#pragma once

#include <QString>

#include "source/record_requests.h"

namespace vorn {

class TvornSource;

class SourceNavigator {
  public:
    explicit SourceNavigator(TvornSource& source) : s_(source) {}

    void GetRecord();
    bool GetAndFill(const QString& ien);
    bool Browse(records::Direction direction);
    void Clear();
    void Insert();
    void Cancel();
    // CheckSaveChanges, then the record read again and the grids reloaded.
    void Refresh();
    // Piece 4 (internal) or 5 (external) of a field of the current record.
    QString FieldValue(const QString& field, int piece);

    // The read of the current record as GetRecord sends it (the record-changed check sends
    // the same); makes sure ".01", the index field and the link field are asked for.
    RpcRequest CurrentReadRequest();
    // The record's identifier text ("VRNX IDENTIFIERS").
    QString IdentifierText();

  private:
    void Fill(const records::RecordAnswer& answer);
    void ComputeIndexValue();
    void ComputeEnds();
    // The neighbouring record in `direction`; empty when there is none.
    QString Neighbour(records::Direction direction);
    records::ListerStep Step(records::Direction direction, bool continues);
    // Empties every control, forgets pending changes and the last read.
    void EmptyForm();

    TvornSource& s_;
};

}  // namespace vorn
