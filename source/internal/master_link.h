// How a detail source follows its master's current record: the parent address of a
// hierarchical sub-file, the screen and link value of a logical detail, and the text its
// master shows for a field. The link owns what it derives from the master.
#pragma once

#include <QString>

namespace vorn {

class SourceNavigator;
class TvornSource;

class MasterLink {
  public:
    MasterLink(TvornSource& source, SourceNavigator& navigator)
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

    // "," and the master's address for a hierarchical detail; empty otherwise.
    const QString& ParentIens() const { return parentIens_; }
    const QString& LinkScreen() const { return linkScreen_; }
    bool LinkPending() const { return linkPending_; }
    void SetLinkPending(bool on) { linkPending_ = on; }

  private:
    void ReloadGrids();

    TvornSource& s_;
    SourceNavigator& navigator_;
    QString parentIens_;
    QString linkScreen_;
    bool linkPending_ = false;
};

}  // namespace vorn
