#include "toolkit/component_loading.h"

#include <QObject>
#include <QPointer>
#include <QVariant>
#include <vector>

namespace vorn::ui {
namespace {

constexpr const char* kLoadedProperty = "vornLoaded";

void Collect(QObject& parent, std::vector<QPointer<QObject>>& found) {
    for (QObject* child : parent.children()) {
        found.emplace_back(child);
        Collect(*child, found);
    }
}

}  // namespace

void LoadComponents(QObject& form) {
    // Collected first: a component's Loaded may create further components (a finder of its
    // own), which are its creator's to load.
    std::vector<QPointer<QObject>> found;
    found.emplace_back(&form);
    Collect(form, found);
    for (const QPointer<QObject>& object : found) {
        if (!object || object->property(kLoadedProperty).toBool()) continue;
        if (auto* component = dynamic_cast<LoadedComponent*>(object.data())) {
            object->setProperty(kLoadedProperty, true);
            component->Loaded();
        }
    }
}

}  // namespace vorn::ui
