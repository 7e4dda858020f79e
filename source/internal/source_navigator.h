// Reading a source's record, spreading it over the bound controls, and moving through the file
// along its browse index; emptying the form, starting a new record, throwing changes away. The
// navigator owns where the source stands (the record address) and what the server last
// returned for it (the last read), with the two ends of the browse and whether the bound
// grids must be listed again.
#pragma once

#include <QString>
#include <QStringList>

#include "source/record_requests.h"
#include "source/source_address.h"

namespace vorn {

class TvornBoundControl;
class SourceCore;

class SourceNavigator {
  public:
    explicit SourceNavigator(SourceCore& source) : s_(source) {}

    // --- where the source stands ---
    const SourceAddress& Address() const { return address_; }
    void StartNew() { address_.StartNew(); }
    void ForgetRecord() { address_.Forget(); }
    // The parent chain of a sub-file entry, derived from the master's record.
    void SetParent(const QString& parentIens) { address_.SetParent(parentIens); }

    // --- reading and moving ---
    void GetRecord();
    bool GetAndFill(const QString& ien);
    bool Browse(records::Direction direction);
    void Clear();
    void Insert();
    void Cancel();
    // The changes saved or dropped, then the record read again and the grids listed again.
    void Refresh();
    // Reads back the record the filer has just written (`number`, the new one for a new
    // record); the grids are listed again.
    void ReadFiled(const QString& number);
    // Empties every control and forgets the last read; the address stays.
    void EmptyForm();
    // Empties every control.
    void EmptyControls();
    // Shows a value in one control as if it had been read, so that its own change handling
    // does not take it for an edit.
    void ShowValue(TvornBoundControl& control, const QString& internal, const QString& external);
    bool Filling() const { return filling_; }

    // --- the last read ---
    const QStringList& RecordLines() const { return lastRead_.lines; }
    const QStringList& RecordKeys() const { return lastRead_.keys; }
    const QString& IndexValue() const { return indexValue_; }
    // Piece 4 (internal) or 5 (external) of a field of the current record.
    QString FieldValue(const QString& field, int piece);
    // True when the stored record still reads as it did at the last read.
    bool RecordUnchanged();
    // The record's identifier text ("VRNX IDENTIFIERS").
    QString IdentifierText();

    // --- the ends of the browse and the grids ---
    bool AtFirst() const { return atFirst_; }
    bool AtLast() const { return atLast_; }
    void ForgetEnds();
    // The grids list the records again at the next read (after a filing or a deletion, and at
    // activation).
    void MarkGridsStale() { gridsStale_ = true; }
    void GridsListed() { gridsStale_ = false; }
    bool GridsStale() const { return gridsStale_; }

  private:
    // The read of the current record as GetRecord sends it (the record-changed check sends
    // the same); makes sure ".01", the index field and the link field are asked for.
    RpcRequest CurrentReadRequest();
    void Fill();
    void ComputeEnds();
    // The neighbouring record in `direction`; empty when there is none.
    QString Neighbour(records::Direction direction);
    records::ListerStep Step(records::Direction direction, bool continues);
    // Empties the details and the grids, as clearing and starting a new record do.
    void EmptyDetailsAndGrids(bool disableDetailControls);

    SourceCore& s_;
    SourceAddress address_;
    records::RecordAnswer lastRead_;
    QString indexValue_;
    bool atFirst_ = false;
    bool atLast_ = false;
    bool gridsStale_ = false;
    bool filling_ = false;
};

}  // namespace vorn
