// The secondary forms end to end: the forms the program's start-up makes, opened through the
// entry points the main form calls, driven with keys and clicks against the real vorn-server.
#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "demo/start_up.h"
#include "output/help_window.h"
#include "output/print_form.h"
#include "output/sel_dev_form.h"
#include "signon/code_edit.h"
#include "signon/signon_form.h"
#include "signon/signon_form_front.h"
#include "signon/signon_message_form.h"
#include "source/vorn_source.h"
#include "tests/support/dev_server_process.h"
#include "tests/support/source_fixture.h"

namespace vorn {
namespace {

using K = ui::MessageKind;

void Activate(QWidget& window) {
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}
void Click(QWidget* widget) {
    Activate(*widget->window());
    QTest::mouseClick(widget, Qt::LeftButton);
}
void ClickTab(QTabWidget* pages, int page) {
    Activate(*pages->window());
    QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {}, pages->tabBar()->tabRect(page).center());
}
void TypeInto(QWidget* widget, const QString& text) {
    Activate(*widget->window());
    widget->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(widget, text);
}

class SecondaryForms : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { InstallSignonForms(); }
    void SetUp() override {
        modal.OnForm<TfrmSignon>([](TfrmSignon& form) {
            QTest::keyClicks(form.accessCode, QStringLiteral("demo"));
            QTest::keyClicks(form.verifyCode, QStringLiteral("demo.1234"));
            QTest::mouseClick(form.btnOk, Qt::LeftButton);
        });
        modal.OnForm<TfrmSignonMsg>([](TfrmSignonMsg& form) { form.BitBtn1->click(); });
        forms = CreateForms({QStringLiteral("127.0.0.1"), server.Port(), {}});
        forms.frmLabTest->show();
        QApplication::processEvents();
    }
    // Lab test `ien` on the main form, and `source` made its detail, as the main form's zooms do.
    void FollowLabTest(TvornSource& source, const char* ien, TvornSubFileType type) {
        ASSERT_TRUE(forms.frmLabTest->vornSource1->GetAndFill(ien));
        source.Close();
        source.SetMasterSource(forms.frmLabTest->vornSource1);
        source.TypeIfSubFile = type;
        source.LinkField = QStringLiteral("2");
    }

    test::DevServerProcess server;
    test::FakeTimers timers;
    test::ScriptedModalHost modal;
    LabTestForms forms;
};

TEST_F(SecondaryForms, APersonAddedByNameIsSavedAndItsNumberGoesBack) {
    modal.OnForm<TfrmPerson>([](TfrmPerson& f) {
        EXPECT_EQ(f.xDlgEditName->text(), "NEWMAN,TESSA");
        EXPECT_EQ(f.focusWidget(), f.xDlgEditName);
        EXPECT_FALSE(f.LabTests->isEnabled());
        TypeInto(f.xedDOB, QStringLiteral("3.4.1990"));
        Click(f.xbtnSaveAs);
        EXPECT_EQ(f.focusWidget(), f.xDlgEditName);
        // A person with no patient record: the server's reason is told.
        ASSERT_TRUE(f.LabTests->isEnabled());
        f.LabTests->trigger();
        Click(f.BtnExit);
    });
    test::ExpectToolsetMessage(modal, K::Information,
                               "Saved new: Demo Person: NEWMAN,TESSA APR 3, 1990\r\n");
    modal.OnForm<TfrmSelDev>([](TfrmSelDev& d) { d.btnSulje->click(); });
    test::ExpectToolsetMessage(modal, K::Information, "No patient was given (POT).");
    const QString number = forms.frmPerson->InsertPerson(QStringLiteral("NEWMAN,TESSA"));
    EXPECT_EQ(number, "31");
    EXPECT_EQ(forms.frmPerson->vornSource1->GetFieldText(QStringLiteral(".01")), "NEWMAN,TESSA");
}

TEST_F(SecondaryForms, ThePatientTabWantsAStoredPersonAndPrintingAPersonShown) {
    modal.OnForm<TfrmPerson>([](TfrmPerson& f) {
        EXPECT_FALSE(f.LabTests->isEnabled());
        ClickTab(f.xPageCtrl1, 1);
        EXPECT_EQ(f.xPageCtrl1->currentIndex(), 0);
        // A new person begun and its only change taken back is no person yet.
        TypeInto(f.xDlgEditName, QStringLiteral("X"));
        QTest::keyClick(f.xDlgEditName, Qt::Key_Backspace);
        ASSERT_EQ(f.vornSource1->State(), ssNew);
        ClickTab(f.xPageCtrl1, 1);
        EXPECT_EQ(f.xPageCtrl1->currentIndex(), 0);

        ASSERT_TRUE(f.vornSource1->GetAndFill(QStringLiteral("1")));
        EXPECT_TRUE(f.LabTests->isEnabled());
        ClickTab(f.xPageCtrl1, 1);
        EXPECT_EQ(f.xPageCtrl1->currentIndex(), 1);
        EXPECT_EQ(f.vornLabel1->text(), "VIRTANEN,AINO");
        EXPECT_EQ(f.xDlgEditWard->text(), "CHILDREN'S WARD");
        ClickTab(f.xPageCtrl1, 0);
        Click(f.xbtnClear);
        EXPECT_FALSE(f.LabTests->isEnabled());
        EXPECT_EQ(f.focusWidget(), f.xDlgEditName);
        Click(f.BtnExit);
    });
    for (int i = 0; i < 2; ++i)
        test::ExpectToolsetMessage(modal, K::Warning, "Choose or add a record first!");
    EXPECT_EQ(forms.frmPerson->Browse(), "");
}

TEST_F(SecondaryForms, APatientsLabTestsPrintToThePreview) {
    QStringList preview;
    modal.OnForm<TfrmPerson>([](TfrmPerson& f) {
        f.LabTests->trigger();
        Click(f.BtnExit);
    });
    modal.OnForm<TfrmSelDev>([](TfrmSelDev& d) {
        d.rbScreen->click();
        d.btnSulje->click();
    });
    modal.OnForm<TfrmPrint>([&](TfrmPrint& p) {
        preview = p.Lines();
        p.btnExit->click();
    });
    const std::size_t mark = server.Mark();
    forms.frmPerson->Zoom(QStringLiteral("1"));
    bool called = false;
    for (const test::LoggedCall& call : server.CallsSince(mark))
        if (call.name == "ZORADOD TUL POTTUTK") {
            called = true;
            EXPECT_EQ(call.Entry("\"POT\""), "1");
            EXPECT_EQ(call.Entry("\"IOP\""), "CLIENT WORKSTATION");
        }
    EXPECT_TRUE(called);
    EXPECT_TRUE(preview.join('\n').contains("LAB RESULTS: VIRTANEN,AINO (CHILDREN'S WARD)"))
        << preview.join('\n').toStdString();
}

TEST_F(SecondaryForms, AUnitWithoutPatientsOffersNoZoom) {
    modal.OnForm<TfrmUnit>([](TfrmUnit& f) {
        ClickTab(f.xPageCtrl1, 1);
        EXPECT_EQ(f.xPageCtrl1->currentIndex(), 0);
        TypeInto(f.xedtName, QStringLiteral("PAIN CLINIC"));
        TypeInto(f.xedtCode, QStringLiteral("PAIN"));
        f.xrgUnitType->Button(1)->click();
        Click(f.xbtnSaveAs);
        ClickTab(f.xPageCtrl1, 1);
        ASSERT_EQ(f.xPageCtrl1->currentIndex(), 1);
        EXPECT_FALSE(f.btnZoom->isEnabled());

        ClickTab(f.xPageCtrl1, 0);
        ASSERT_TRUE(f.vornSource1->GetAndFill(QStringLiteral("1")));
        ClickTab(f.xPageCtrl1, 1);
        EXPECT_TRUE(f.btnZoom->isEnabled());
        EXPECT_EQ(f.xlblPaasaso2->text(), "MEDICAL WARD 1");
        Click(f.BtnExit);
    });
    test::ExpectToolsetMessage(modal, K::Warning, "First select or add a record!");
    test::ExpectToolsetMessage(modal, K::Confirmation, "Save new Demo Ward/Clinic: PAIN CLINIC\r\n",
                               ui::mrYes);
    test::ExpectToolsetMessage(modal, K::Information,
                               "Saved new: Demo Ward/Clinic: PAIN CLINIC PAIN\r\n");
    forms.frmUnit->Browse();
}

TEST_F(SecondaryForms, ALabResultOpensWithItsPatientOrSpecimenLocked) {
    FollowLabTest(*forms.frmLabResult->vornSource1, "1", TvornSubFileType::Logical);
    modal.OnForm<TfrmLabResult>([](TfrmLabResult& f) {
        EXPECT_FALSE(f.xedtName->isEnabled());
        EXPECT_FALSE(f.xedtName->text().isEmpty());
        EXPECT_EQ(f.xedtResult->text(), "60.2");
        EXPECT_EQ(f.focusWidget(), f.xedtDate);
        Click(f.BtnExit);
    });
    forms.frmLabResult->Zoom(QStringLiteral("57"));
}

TEST_F(SecondaryForms, ASubresultShowsItsCodesAndANewOneStaysOnItsFirstTab) {
    FollowLabTest(*forms.frmSubresult->vornSource1, "35", TvornSubFileType::Hierarchical);
    modal.OnForm<TfrmSubresult>([](TfrmSubresult& f) {
        EXPECT_EQ(f.xlblLabTest->text(), "U-STIX");
        EXPECT_EQ(f.xedtSubresult->text(), "GLUCOSE");
        ClickTab(f.xPageCtrl1, 1);
        ASSERT_EQ(f.xPageCtrl1->currentIndex(), 1);
        EXPECT_EQ(f.vornGrid1->RowCount(), 5);
        EXPECT_EQ(f.xedtSubResCode->text(), "+");
        Click(f.BtnExit);
    });
    forms.frmSubresult->Zoom(QStringLiteral("1"));
    modal.OnForm<TfrmSubresult>([](TfrmSubresult& f) {
        ClickTab(f.xPageCtrl1, 1);
        EXPECT_EQ(f.xPageCtrl1->currentIndex(), 0) << "refused without a word";
        Click(f.BtnExit);
    });
    forms.frmSubresult->InsertSubresult();
}

// --- keys: every accelerator of each page unique and reaching its field or button; Tab
// reaching every field and button ---

struct Mnemonic {
    QChar key;
    QObject* target;
    QString text;
};

bool Insert(QSet<QChar>& keys, QChar key) {
    if (keys.contains(key)) return false;
    keys.insert(key);
    return true;
}

QChar MnemonicOf(const QString& text) {
    for (int i = 0; i + 1 < text.size(); ++i)
        if (text[i] == u'&' && text[++i] != u'&') return text[i].toLower();
    return {};
}

// The mnemonics of what `window` shows now; every plain label (not a note) must have one.
std::vector<Mnemonic> Mnemonics(QWidget& window) {
    std::vector<Mnemonic> found;
    const auto add = [&](const QString& text, QObject* target) {
        if (const QChar key = MnemonicOf(text); !key.isNull()) found.push_back({key, target, text});
    };
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisible()) continue;
        if (auto* label = qobject_cast<QLabel*>(w); label && !label->inherits("vorn::TvornLabel")) {
            if (label->wordWrap()) continue;
            EXPECT_TRUE(label->buddy() && !MnemonicOf(label->text()).isNull())
                << label->objectName().toStdString();
            if (label->buddy()) add(label->text(), label->buddy());
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            add(button->text(), button);
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            add(group->title(), group);
        } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                add(tabs->tabText(i), tabs);
        } else if (auto* bar = qobject_cast<QMenuBar*>(w)) {
            for (QAction* action : bar->actions()) {
                add(action->text(), action);
                // A menu's own items are a scope of their own.
                if (QMenu* menu = action->menu()) {
                    QSet<QChar> keys;
                    for (QAction* item : menu->actions()) {
                        if (!item->isSeparator())
                            EXPECT_TRUE(Insert(keys, MnemonicOf(item->text())));
                    }
                }
            }
        }
    }
    return found;
}

// Takes the shortcut a button receives, so that the walk presses no button for real.
class ShortcutCatcher : public QObject {
  public:
    QObject* hit = nullptr;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Shortcut) return false;
        hit = watched;
        return true;
    }
};

void Press(QWidget& window, QChar key) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : &window, key.toLatin1(), Qt::AltModifier);
}

void PressEach(QWidget& window, const std::vector<Mnemonic>& keys) {
    ShortcutCatcher catcher;
    for (const Mnemonic& m : keys) {
        Activate(window);
        const std::string what = m.text.toStdString();
        if (auto* button = qobject_cast<QAbstractButton*>(m.target)) {
            // A button the record's state disables is enabled for the press alone.
            const bool enabled = button->isEnabled();
            button->setEnabled(true);
            button->installEventFilter(&catcher);
            catcher.hit = nullptr;
            Press(window, m.key);
            EXPECT_EQ(catcher.hit, button) << what;
            button->removeEventFilter(&catcher);
            button->setEnabled(enabled);
        } else if (auto* action = qobject_cast<QAction*>(m.target)) {
            QSignalSpy triggered(action, &QAction::triggered);
            Press(window, m.key);
            if (QMenu* menu = action->menu()) {
                EXPECT_EQ(QApplication::activePopupWidget(), menu) << what;
                menu->close();
            } else {
                EXPECT_EQ(triggered.count(), 1) << what;
                if (HelpWindow()) HelpWindow()->close();
            }
            // The menu bar keeps the keyboard until Escape, as it does for a user.
            if (QWidget* bar = QApplication::focusWidget(); qobject_cast<QMenuBar*>(bar))
                QTest::keyClick(bar, Qt::Key_Escape);
        } else if (auto* target = qobject_cast<QWidget*>(m.target);
                   target && target->isEnabled() && !qobject_cast<QTabBar*>(target)) {
            Press(window, m.key);
            QWidget* focus = QApplication::focusWidget();
            EXPECT_TRUE(focus == target || target->isAncestorOf(focus)) << what;
        }
    }
}

void WalkWithTab(QWidget& window, QWidget& page) {
    Activate(window);
    QList<QWidget*> targets, widgets = page.findChildren<QWidget*>();
    widgets << window.findChild<QWidget*>("BtnExit");
    for (QWidget* w : widgets)
        if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) targets << w;
    QSet<QWidget*> reached;
    for (int i = 0; i < 2 * targets.size(); ++i) {
        reached.insert(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    for (QWidget* w : targets) {
        // One button of a radio group takes the focus for the group.
        QWidget* field = qobject_cast<QRadioButton*>(w) ? w->parentWidget() : w;
        const bool hit = std::any_of(reached.begin(), reached.end(), [&](QWidget* r) {
            return r == field || (r && field->isAncestorOf(r));
        });
        EXPECT_TRUE(hit) << w->objectName().toStdString() << " " << page.objectName().toStdString();
    }
}

void CheckKeys(SecondaryForm& form) {
    auto* pages = form.findChild<QTabWidget*>("xPageCtrl1");
    for (int page = 0; page < (pages ? pages->count() : 1); ++page) {
        Activate(form);
        if (page > 0) {
            Press(form, QChar(u'1' + page));
            ASSERT_EQ(pages->currentIndex(), page);
        }
        const std::vector<Mnemonic> keys = Mnemonics(form);
        QSet<QChar> unique;
        for (const Mnemonic& m : keys)
            EXPECT_TRUE(Insert(unique, m.key)) << "ambiguous: " << m.text.toStdString();
        PressEach(form, keys);
        WalkWithTab(form, pages ? *pages->currentWidget() : form);
    }
    form.close();
}

class FormKeys : public SecondaryForms, public ::testing::WithParamInterface<const char*> {};

TEST_P(FormKeys, EveryAcceleratorIsUniqueAndReachesItsTargetAndTabReachesEveryField) {
    const std::string name = GetParam();
    const auto walk = [](const char* record) {
        return [record](QDialog& d) {
            auto& form = static_cast<SecondaryForm&>(d);
            if (record) form.findChild<TvornSource*>("vornSource1")->GetAndFill(record);
            CheckKeys(form);
        };
    };
    if (name == "person") {
        modal.OnModal(walk("1"));
        forms.frmPerson->Browse();
    } else if (name == "unit") {
        modal.OnModal(walk("1"));
        forms.frmUnit->Browse();
    } else if (name == "lab result") {
        FollowLabTest(*forms.frmLabResult->vornSource1, "1", TvornSubFileType::Logical);
        modal.OnModal(walk(nullptr));
        forms.frmLabResult->Zoom(QStringLiteral("57"));
    } else {
        FollowLabTest(*forms.frmSubresult->vornSource1, "35", TvornSubFileType::Hierarchical);
        modal.OnModal(walk(nullptr));
        forms.frmSubresult->Zoom(QStringLiteral("1"));
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, FormKeys,
                         ::testing::Values("person", "unit", "lab result", "subresult"));

}  // namespace
}  // namespace vorn
