// The field help window belongs to the output components, which build on the bound controls;
// the controls reach it through this seam. The program installs the window as the viewer;
// without one, help is not shown.
#pragma once

#include <QString>
#include <functional>

namespace vorn {

class TvornSource;

// Shows `text` under `title`; the viewer splits the text into lines at each "\r".
using TitledTextViewer = std::function<void(const QString& title, const QString& text)>;
void SetTitledTextViewer(TitledTextViewer viewer);
void ShowTitledText(const QString& title, const QString& text);

// F1 on a bound control: the help text of `field`, two carriage returns and its description,
// titled with the control's display name.
void ShowFieldHelp(TvornSource& source, const QString& field, const QString& title);

}  // namespace vorn
