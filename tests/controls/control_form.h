// A form of the control tests: a data source on DEMO LAB TEST of the development server, the
// controls a test adds to it, loaded and shown in an active window so that focus moves as a
// user's would.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <string>

#include "controls/vorn_btn.h"
#include "lookup/vorn_finder.h"
#include "source/internal/field_help_display.h"
#include "source/internal/source_core.h"
#include "source/vorn_source.h"
#include "tests/support/source_fixture.h"
#include "toolkit/component_loading.h"

namespace vorn {

// Moves the focus as a click or a Tab would.
inline void Focus(QWidget* widget) {
    widget->setFocus(Qt::TabFocusReason);
}
// Focuses `edit` and types `text` over all it shows.
inline void Retype(QLineEdit* edit, const QString& text) {
    Focus(edit);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

namespace test {

// Names each case of a parametrised test by its `name`.
struct ByName {
    template <typename Info>
    std::string operator()(const Info& info) const {
        return info.param.name;
    }
};

// A data source of `form` on `file`, as a form's designer makes it.
inline TvornSource* NewSource(QWidget& form, const char* objectName, const char* fileName,
                              const char* file, TRPCBroker& broker) {
    auto* source = new TvornSource(&form);
    source->setObjectName(objectName);
    source->FileName = fileName;
    source->FileNumber = file;
    source->SetRPCBroker(&broker);
    return source;
}
// A control of `form` bound to `field` of `source`.
template <typename Control, typename... Args>
Control* Bind(QWidget& form, TvornSource* source, const QString& field, const QString& displayName,
              Args&&... args) {
    auto* control = new Control(std::forward<Args>(args)..., &form);
    control->SetFMField(field);
    control->SetFMDisplayName(displayName);
    control->SetvornSource(source);
    return control;
}
// A finder of `form` on `file`; without a broker it finds the form's.
inline TvornFinder* NewFinder(QWidget& form, const char* file, TRPCBroker* broker = nullptr) {
    auto* finder = new TvornFinder(&form);
    finder->FileNumber = file;
    if (broker) finder->SetRPCBroker(broker);
    return finder;
}
inline SourceOwners Owners(TvornSource& source) {
    return SourceCore::Of(source).Owners();
}

// The server's help and description of the person in charge (field 7), as F1 shows them.
inline const QStringList kPersonInChargeHelp = {
    "Person in charge",
    "Choose the person responsible for the test; a new person may be "
    "added.\r\rThe member of staff who answers for the test."};
// The server's answer to a length (field 6) that is no whole number from 1 to 250: its help.
inline const QString kLengthRefused =
    "Answer with a whole number from 1 to 250.\rHow many characters a result of this test may "
    "have.";

// The program's help window, as F1 finds it installed while this lives: the titles and texts
// it was handed.
struct HelpCapture final : FieldHelpDisplay {
    HelpCapture() { SetFieldHelpDisplay(this); }
    ~HelpCapture() override { SetFieldHelpDisplay(nullptr); }
    void ShowFieldHelp(const QString& t, const QString& x) override { shown << t << x; }
    QStringList shown;
};

class ControlForm : public SourceServer {
  public:
    // Message texts come from the server (the fixture's broker), with their parameters placed.
    ControlForm() { form.resize(400, 300); }

    // A control of the form bound to `field` of the source.
    template <typename Control, typename... Args>
    Control* Add(const QString& field, const QString& displayName, Args&&... args) {
        auto* control =
            Bind<Control>(form, source, field, displayName, std::forward<Args>(args)...);
        control->move(10, 10 + 30 * static_cast<int>(form.children().size()));
        return control;
    }

    // An operation button of the form on the source.
    TvornBtn* Button(TvornBtnOperation operation) {
        auto* button = new TvornBtn(&form);
        button->SetOperation(operation);
        button->SetvornSource(source);
        return button;
    }

    // Loads the form's components, opens the source and shows the form active; then reads
    // `record`, when one is given.
    void Open(const char* record = nullptr) {
        ui::LoadComponents(form);
        source->Open();
        form.show();
        Activate();
        if (record) {
            ASSERT_TRUE(source->GetAndFill(QString::fromLatin1(record)));
        }
    }
    // The form active again, after a message or another window.
    void Activate() {
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    // The first call named `name` since `mark`.
    LoggedCall First(std::size_t mark, const std::string& name) const {
        for (const LoggedCall& call : CallsSince(mark))
            if (call.name == name) return call;
        ADD_FAILURE() << "no " << name;
        return {};
    }
    bool IsChanged(TvornBoundControl* control) const {
        return Owners(*source).saver.Changed().contains(control);
    }

    QWidget form;
    TvornSource* source = NewSource(form, "vornSource1", "Demo Lab Test", "80001", Broker());
};

}  // namespace test
}  // namespace vorn
