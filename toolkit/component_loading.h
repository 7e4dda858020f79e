// Qt has no "loaded" step after a form's components were created and their properties set. A
// form makes this one call instead, when it has set up its components: every component that
// needs to finish its set-up (registering with its data source, making its own helpers) does
// so then, in creation order.
#pragma once

#pragma GCC visibility push(default)
class QObject;

namespace vorn::ui {

class LoadedComponent {
  public:
    virtual ~LoadedComponent() = default;
    // Runs once, after the form set the component's properties.
    virtual void Loaded() = 0;
};

// Runs Loaded of every component owned by `form`, each once, in the order of the form's tree:
// depth first, the children of each object in the order they were created (the order in which
// a form definition creates its widgets). A component made during this call is its creator's
// to load.
void LoadComponents(QObject& form);

}  // namespace vorn::ui

#pragma GCC visibility pop
