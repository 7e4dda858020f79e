// A form of the control tests: a data source on DEMO LAB TEST of the development server, the
// controls a test adds to it, loaded and shown in an active window so that focus moves as a
// user's would.
#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <string>

#include "broker/rpc_request.h"
#include "source/message_broker.h"
#include "source/vorn_source.h"
#include "tests/support/source_fixture.h"
#include "toolkit/component_loading.h"

namespace vorn::test {

class ControlForm : public SourceServer {
  protected:

    ControlForm() {
        source = new TvornSource(&form);
        source->setObjectName(QStringLiteral("vornSource1"));
        source->FileName = QStringLiteral("Demo Lab Test");
        source->FileNumber = QStringLiteral("80001");
        source->SetRPCBroker(&Broker());
        // Message texts come from the server, with their parameters placed.
        SetMessageBroker(&Broker());
        form.resize(400, 300);
    }

    // A control of the form bound to `field` of the source.
    template <typename Control, typename... Args>
    Control* Add(const QString& field, const QString& displayName, Args&&... args) {
        auto* control = new Control(std::forward<Args>(args)..., &form);
        control->SetFMField(field);
        control->SetFMDisplayName(displayName);
        control->SetvornSource(source);
        control->move(10, 10 + 30 * static_cast<int>(form.children().size()));
        return control;
    }

    // Loads the form's components, opens the source and shows the form active.
    void Open() {
        ui::LoadComponents(form);
        source->Open();
        form.show();
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    // Moves the focus as a click or a Tab would.
    static void Focus(QWidget* widget) { widget->setFocus(Qt::TabFocusReason); }

    std::size_t Mark() { return CallMark(); }
    std::vector<std::string> SettledCallsSince(std::size_t mark) { return CallNamesSince(mark); }
    std::size_t Calls(std::size_t mark, const std::string& name) {
        const std::vector<std::string> calls = SettledCallsSince(mark);
        return static_cast<std::size_t>(std::count(calls.begin(), calls.end(), name));
    }

    bool IsChanged(TvornBoundControl* control) const {
        return source->ChangedControls().contains(control);
    }

    QWidget form;
    TvornSource* source;
};

}  // namespace vorn::test
