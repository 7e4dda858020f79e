// The forms on a high-density screen: CTest runs these cases at scale factors 1.5 and 2
// (QT_SCALE_FACTOR) as well as at 1. On every page of every form no named widget is cut by its
// parent or lies over a sibling, and every caption fits its label or button.
#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>

#include "demo/lab_result_form.h"
#include "demo/person_form.h"
#include "demo/subresult_form.h"
#include "demo/unit_form.h"
#include "output/help_window.h"
#include "output/internal/print_form.h"
#include "output/internal/sel_dev_form.h"
#include "signon/internal/signon_form.h"
#include "source/timed_dialog.h"
#include "tests/demo/lab_test_app.h"

namespace vorn {
namespace {

QString Plain(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

// The widgets a form definition places: named, shown, and not the inner parts of another
// widget (a scroll area's view, a combo box's line edit).
bool Placed(const QWidget* w) {
    if (w->objectName().isEmpty() || !w->isVisible() || w->isWindow()) return false;
    for (const QWidget* p = w->parentWidget(); p && !p->isWindow(); p = p->parentWidget())
        if (qobject_cast<const QAbstractScrollArea*>(p) || p->inherits("QComboBox") ||
            p->inherits("QLineEdit") || p->inherits("QAbstractSpinBox"))
            return false;
    return !w->objectName().startsWith(QLatin1String("qt_"));
}

QString Name(const QWidget* w) {
    return w->objectName() + u'(' + QString::fromLatin1(w->metaObject()->className()) + u')';
}

// What is cut, covered or too narrow on what `window` shows now.
QStringList Faults(QWidget& window) {
    QStringList faults;
    const QList<QWidget*> widgets = window.findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (!Placed(w)) continue;
        QWidget* parent = w->parentWidget();
        if (parent && !parent->isWindow() && !parent->rect().contains(w->geometry()))
            faults << Name(w) + " is cut by " + Name(parent);
        for (QWidget* sibling : widgets) {
            if (sibling == w || sibling->parentWidget() != parent || !Placed(sibling) ||
                Name(sibling) < Name(w))
                continue;
            if (w->geometry().intersects(sibling->geometry()))
                faults << Name(w) + " lies over " + Name(sibling);
        }
        if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty()) {
            const QRect room = label->contentsRect();
            if (label->wordWrap()) {
                if (label->heightForWidth(room.width()) > room.height())
                    faults << Name(w) + " wraps below its height";
            } else if (label->fontMetrics().horizontalAdvance(Plain(label->text())) >
                       room.width()) {
                faults << Name(w) + " is narrower than \"" + label->text() + '"';
            }
        } else if (auto* button = qobject_cast<QAbstractButton*>(w);
                   button && !button->text().isEmpty() &&
                   button->fontMetrics().horizontalAdvance(Plain(button->text())) >
                       button->width()) {
            faults << Name(w) + " is narrower than \"" + button->text() + '"';
        }
    }
    return faults;
}

// Every page of `form`'s page control, each checked.
QStringList FaultsOnEachPage(QWidget& form) {
    QStringList faults;
    auto* pages = form.findChild<QTabWidget*>();
    for (int page = 0; page < (pages ? pages->count() : 1); ++page) {
        if (pages) pages->setCurrentIndex(page);
        for (const QString& fault : Faults(form))
            faults << QStringLiteral("page %1: ").arg(page + 1) + fault;
    }
    if (pages) pages->setCurrentIndex(0);
    return faults;
}

class HighDensity : public test::LabTestApp {
  protected:
    void Expect(const QStringList& faults, const char* what) {
        EXPECT_TRUE(faults.isEmpty())
            << what << " at scale " << qgetenv("QT_SCALE_FACTOR").data() << ":\n"
            << faults.join(u'\n').toStdString();
    }
};

TEST_F(HighDensity, TheMainFormFitsOnEveryTab) {
    Show("35");
    QStringList faults;
    for (int tab = 1; tab <= 5; ++tab) {
        Page(tab);
        for (const QString& fault : Faults(*form))
            faults << QStringLiteral("tab %1: ").arg(tab) + fault;
    }
    Expect(faults, "main form");
}

TEST_F(HighDensity, TheSecondaryFormsFit) {
    Show("35");
    QStringList faults;
    modal.OnForm<TfrmPerson>([&](TfrmPerson& f) {
        ASSERT_TRUE(f.vornSource1->GetAndFill(QStringLiteral("1")));
        faults << FaultsOnEachPage(f);
        f.BtnExit->click();
    });
    form->OpenPersons();
    Expect(faults, "person form");
    faults.clear();
    modal.OnForm<TfrmUnit>([&](TfrmUnit& f) {
        ASSERT_TRUE(f.vornSource1->GetAndFill(QStringLiteral("1")));
        faults << FaultsOnEachPage(f);
        f.BtnExit->click();
    });
    form->OpenUnits();
    Expect(faults, "unit form");
    faults.clear();
    Page(5);
    modal.OnForm<TfrmSubresult>([&](TfrmSubresult& f) {
        faults << FaultsOnEachPage(f);
        f.BtnExit->click();
    });
    Click(form->btnZoom2);
    Expect(faults, "subresult form");
    faults.clear();
    Page(4);
    modal.OnForm<TfrmLabResult>([&](TfrmLabResult& f) {
        faults << Faults(f);
        f.BtnExit->click();
    });
    Click(form->btnZoom1);
    Expect(faults, "lab result form");
}

TEST_F(HighDensity, TheDeviceDialogAndTheMessageDialogFit) {
    Show("35");
    QStringList device, message;
    modal.OnForm<TfrmSelDev>([&](TfrmSelDev& d) {
        device = Faults(d);
        d.reject();
    });
    form->ChosenLabTest->trigger();
    Expect(device, "device dialog");
    modal.OnForm<TTimedDlg>([&](TTimedDlg& d) {
        message = Faults(d);
        d.done(ui::mrOk);
    });
    form->vornSource1->Clear();
    Page(2);  // "Choose or save a record first!"
    Expect(message, "message dialog");
}

TEST_F(HighDensity, TheSignOnThePickListThePreviewAndTheHelpWindowFit) {
    Show("35");
    TypeInto(form->xDlgAbbreviation, QStringLiteral("H"));
    QTest::keyClick(form->xDlgAbbreviation, Qt::Key_Return);
    TfrmFind* list = ShownFind();
    ASSERT_NE(list, nullptr);
    Expect(Faults(*list), "pick list");
    QTest::mouseClick(list->btnCancel, Qt::LeftButton);
    QStringList preview;
    modal.OnForm<TfrmSelDev>([](TfrmSelDev& d) {
        d.rbScreen->click();
        d.btnSulje->click();
    });
    modal.OnForm<TfrmPrint>([&](TfrmPrint& p) {
        preview = Faults(p);
        p.btnExit->click();
    });
    form->ChosenLabTest->trigger();
    Expect(preview, "print preview");
    form->HelpLabTest->trigger();
    ASSERT_NE(HelpWindow(), nullptr);
    Expect(Faults(*HelpWindow()), "help window");
    HelpWindow()->close();
    TfrmSignon signon;
    signon.show();
    Expect(Faults(signon), "sign-on form");
    signon.close();
}

}  // namespace
}  // namespace vorn
