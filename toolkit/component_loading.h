// Qt has no "loaded" step after a form's components were created and their properties set. A
// form makes this one call instead, when it has set up its components: every component that
// needs to finish its set-up (registering with its data source, making its own helpers) does
// so then, in creation order.
#pragma once

class QObject;

namespace vorn::ui {

class LoadedComponent {
  public:
    virtual ~LoadedComponent() = default;
    // Runs once, after the form set the component's properties.
    virtual void Loaded() = 0;
};

// Runs Loaded of every component owned by `form`, depth first in creation order, each once.
void LoadComponents(QObject& form);

}  // namespace vorn::ui
