// A form's components finish their set-up once, in creation order, when the form says so.
#include "toolkit/component_loading.h"

#include <gtest/gtest.h>

#include <QObject>
#include <QStringList>

namespace vorn {
namespace {

QStringList gOrder;

class Component : public QObject, public ui::LoadedComponent {
  public:
    Component(const char* name, QObject* owner) : QObject(owner) { setObjectName(name); }
    void Loaded() override { gOrder.append(objectName()); }
};

// The order of the form's tree, as a form definition creates its widgets: each component before
// the ones created after it, a container's components where the container stands.
TEST(ComponentLoading, RunsEachComponentOnceInTheOrderOfTheFormsTree) {
    gOrder.clear();
    QObject form;
    auto* page = new QObject(&form);
    new Component("source", &form);
    new Component("edit", page);
    new Component("grid", page);
    new Component("button", &form);
    ui::LoadComponents(form);
    EXPECT_EQ(gOrder, (QStringList{"edit", "grid", "source", "button"}));
    ui::LoadComponents(form);
    EXPECT_EQ(gOrder.size(), 4) << "a second call loads nothing again";
}

}  // namespace
}  // namespace vorn
