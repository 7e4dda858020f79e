#include "source/application_help.h"

namespace vorn {
namespace {

HelpViewer& Viewer() {
    static HelpViewer viewer;
    return viewer;
}

}  // namespace

void SetHelpViewer(HelpViewer viewer) {
    Viewer() = std::move(viewer);
}

void ShowHelpContext(int context) {
    // A copy: the viewer may install another while it runs.
    const HelpViewer viewer = Viewer();
    if (viewer) viewer(context);
}

}  // namespace vorn
