// How a detail source hangs on its master (a hierarchical sub-file or a logical detail, and the
// master's core) and follows the master's current record: the parent chain of a hierarchical
// sub-file's address (set on the navigator's address in one call), the screen and link value of a
// logical detail, and the text its master shows for a field. The link owns what it derives from the
// master. Hierarchical, Logical and MasterCore are defined inline at the end of source_core.h.
#pragma once

#include <QString>

namespace vorn {

class SourceNavigator;
class SourceCore;

class MasterLink {
  public:
    MasterLink(SourceCore& source, SourceNavigator& navigator)
        : s_(source), navigator_(navigator) {}

    // Derives the link from the master's current record and shows the detail's first record.
    // A master without a record leaves the detail empty and without master.
    bool Setup();
    // Puts the master's record into the detail's link controls.
    void PutMasterLink();
    // The text the master's bound control for `field` shows.
    QString MasterFieldText(const QString& field) const;
    // Disables the controls on the link field of a logical detail (its own business).
    void DisableLinkControls();

    // A detail that shows a sub-file of its master's record, or one linked by a field.
    bool Hierarchical() const;
    bool Logical() const;
    // The master's core, or nullptr without a master.
    SourceCore* MasterCore() const;

    const QString& LinkScreen() const { return linkScreen_; }
    bool LinkPending() const { return linkPending_; }
    // The source was put under a master (or taken from it): a logical detail waits for the
    // master's record to link to.
    void Attached(bool logical) { linkPending_ = logical; }

  private:
    void ReloadGrids();

    SourceCore& s_;
    SourceNavigator& navigator_;
    QString linkScreen_;
    bool linkPending_ = false;
};

}  // namespace vorn
