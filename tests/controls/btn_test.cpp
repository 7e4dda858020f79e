// The operation button: its caption and hint from the server's message texts, its width rule,
// its glyph, its enabling left to the source (through a whole record cycle), and its click.
#include <gtest/gtest.h>

#include <QImage>

#include "controls/glyphs.h"
#include "controls/vorn_btn.h"
#include "controls/vorn_edit.h"
#include "tests/controls/control_form.h"

namespace vorn {
namespace {

using test::ControlForm;
using K = ui::MessageKind;

class Btn : public ControlForm {
  protected:
    // One button of each operation, First to Delete, down the form's right side.
    void AddButtons() {
        for (int op = DoFirst; op <= DoDelete; ++op) {
            buttons.append(Button(static_cast<TvornBtnOperation>(op)));
            buttons.back()->move(400, 10 + 28 * op);
        }
    }
    // The form of a record's whole cycle, on `broker`: two edits and the ten buttons, open.
    void MakeCycle(TRPCBroker& broker) {
        source->SetRPCBroker(&broker);
        abbreviation = Add<TvornEdit>(".01", "Abbreviation");
        name = Add<TvornEdit>("2", "Full name");
        AddButtons();
        Open();
    }
    // One letter per button, First to Delete: 'x' enabled, '.' disabled.
    std::string Enabled() const {
        std::string shown;
        for (TvornBtn* b : buttons)
            shown += b->isEnabled() ? 'x' : '.';
        return shown;
    }
    void Press(TvornBtnOperation op) {
        QApplication::setActiveWindow(&form);
        QTest::mouseClick(buttons[op], Qt::LeftButton);
    }
    void Type(TvornEdit* edit, const QString& text) {
        QApplication::setActiveWindow(&form);
        Retype(edit, text);
    }
    QList<TvornBtn*> buttons;
    TvornEdit* abbreviation = nullptr;
    TvornEdit* name = nullptr;
};

QImage Glyph(const QIcon& icon, QIcon::Mode mode = QIcon::Normal) {
    return icon.pixmap(16, 16, mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Captions and hints are the server's message texts, but those the form set stay; the width
// follows the operation's rule: a navigation button narrows to its glyph from the new button's
// 80, keeps a width in its range and widens when too narrow; another is at least 80.
TEST_F(Btn, CaptionsHintsAndWidthsFollowTheOperation) {
    AddButtons();
    auto* own = Button(DoSave);
    own->setText("Tallenna");
    own->setToolTip("Tallenna muutokset");
    buttons[DoFirst]->resize(80, 26);
    buttons[DoNext]->resize(32, 26);
    buttons[DoPrior]->resize(12, 26);
    buttons[DoDelete]->resize(50, 26);
    buttons[DoSaveAs]->resize(110, 26);
    const std::size_t mark = CallMark();
    Open();
    EXPECT_EQ(CallCount(mark, "VRNX DIALOG"), 16u) << "six captions and ten hints";
    QStringList captions, hints;
    for (TvornBtn* b : buttons) {
        captions.append(b->text());
        hints.append(b->toolTip());
    }
    EXPECT_EQ(captions.join(u'|'), "||||&Save|S&ave new|Cl&ear|&New|&Cancel|&Delete");
    EXPECT_EQ(hints.join(u'|'),
              "First record|Prior record|Next record|Last record|Save changes|Save new record|"
              "Clear record|Insert new record|Cancel changes|Delete record");
    EXPECT_EQ(own->text(), "Tallenna");
    EXPECT_EQ(own->toolTip(), "Tallenna muutokset");
    EXPECT_EQ(buttons[DoFirst]->width(), 20);
    EXPECT_EQ(buttons[DoNext]->width(), 32);
    EXPECT_EQ(buttons[DoPrior]->width(), 20);
    EXPECT_EQ(buttons[DoDelete]->width(), 80);
    EXPECT_EQ(buttons[DoSaveAs]->width(), 110);
    // A loaded Save button turned into First takes First's texts, width and glyph.
    TvornBtn* button = buttons[DoSave];
    button->SetOperation(DoFirst);
    EXPECT_EQ(button->text(), "");
    EXPECT_EQ(button->toolTip(), "First record");
    EXPECT_EQ(button->width(), 20);
    EXPECT_EQ(Glyph(button->icon()), Glyph(OperationIcon(DoFirst)));
}

TEST_F(Btn, WithoutABrokerTheTextsComeFromTheStringTable) {
    TvornSource offline;
    auto* button = Button(DoInsert);
    button->SetvornSource(&offline);
    const std::size_t mark = CallMark();
    ui::LoadComponents(form);
    EXPECT_EQ(CallCount(mark, "VRNX DIALOG"), 0u);
    EXPECT_EQ(button->text(), "&New");
    EXPECT_EQ(button->toolTip(), "Insert new record");
}

TEST_F(Btn, AGlyphReplacesAnArrowCaptionAndEachOperationHasADistinctOneGreyedWhenDisabled) {
    for (const char* arrow : {">>", "<<", "&>", "&<"}) {
        auto* button = new TvornBtn(&form);
        button->SetOperation(DoNext);
        button->setText(QString::fromLatin1(arrow));
        button->SetHasGlyph(true);
        EXPECT_EQ(button->text(), "") << arrow;
    }
    auto* plain = new TvornBtn(&form);
    plain->setText(">>");
    plain->SetHasGlyph(false);
    EXPECT_EQ(plain->text(), ">>");
    EXPECT_TRUE(plain->icon().isNull());
    QList<QImage> seen;
    for (int op = DoFirst; op <= DoDelete; ++op) {
        const QIcon icon = OperationIcon(static_cast<TvornBtnOperation>(op));
        ASSERT_FALSE(icon.isNull()) << op;
        const QImage normal = Glyph(icon);
        const QImage disabled = Glyph(icon, QIcon::Disabled);
        EXPECT_NE(normal, disabled) << op;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const QRgb p = disabled.pixel(x, y);
                if (qAlpha(p) == 0) continue;
                EXPECT_EQ(qRed(p), qGreen(p)) << op;
                EXPECT_EQ(qGreen(p), qBlue(p)) << op;
            }
        // New shares the Clear glyph; every other operation has its own.
        if (op != DoInsert) {
            EXPECT_FALSE(seen.contains(normal)) << op;
            seen.append(normal);
        }
    }
    EXPECT_EQ(Glyph(OperationIcon(DoInsert)), Glyph(OperationIcon(DoClear)));
    EXPECT_FALSE(GlyphIcon("EBTNENABLED").isNull());
    EXPECT_FALSE(GlyphIcon("HBTNENABLED").isNull());
    EXPECT_TRUE(GlyphIcon("XBNONE").isNull());
}

TEST_F(Btn, AlwaysDisabledBothWays) {
    auto* clear = Button(DoClear);
    Open();
    ASSERT_TRUE(clear->isEnabled());
    clear->SetAlwaysDisabled(true);
    EXPECT_FALSE(clear->isEnabled());
    ASSERT_TRUE(source->GetAndFill("1"));
    EXPECT_FALSE(clear->isEnabled()) << "a state change does not enable it";
    clear->SetAlwaysDisabled(false);
    EXPECT_TRUE(clear->isEnabled()) << "the source decides again at once";
}

// A click runs the operation, then AfterClick; one without a source runs only the events.
TEST_F(Btn, ClickRunsTheOperationThenAfterClick) {
    auto* first = Button(DoFirst);
    auto* unbound = new TvornBtn(&form);
    abbreviation = Add<TvornEdit>(".01", "Abbreviation");
    QStringList steps;
    first->OnClick = [&](QObject*) { steps.append("click " + QString::number(source->State())); };
    first->AfterClick = [&](QObject* sender) {
        EXPECT_EQ(sender, first);
        steps.append("after " + abbreviation->text());
    };
    unbound->OnClick = [&](QObject*) { steps.append("click"); };
    unbound->AfterClick = [&](QObject*) { steps.append("after"); };
    Open();
    const std::size_t mark = CallMark();
    unbound->click();
    EXPECT_EQ(steps.join(u'|'), "click|after");
    EXPECT_TRUE(CallNamesSince(mark).empty());
    ASSERT_TRUE(first->isEnabled());
    QTest::mouseClick(first, Qt::LeftButton);
    EXPECT_EQ(steps.join(u'|'), "click|after|click 4|after ALB");
    EXPECT_EQ(source->State(), ssBrowse);
}

TEST_F(Btn, BindingMovesTheButtonBetweenSourcesAndIsClearedWithItsSource) {
    auto* button = Button(DoSave);
    ASSERT_EQ(SourceCore::Of(*source).Registry().Buttons().size(), 1);
    auto* other = new TvornSource(&form);
    button->SetvornSource(other);
    EXPECT_TRUE(SourceCore::Of(*source).Registry().Buttons().isEmpty());
    EXPECT_EQ(SourceCore::Of(*other).Registry().Buttons().size(), 1);
    delete other;
    EXPECT_EQ(button->vornSource(), nullptr);
    button->click();
}

// The ten operation buttons of a form through a whole cycle of its record, for a user with
// every right and for a reader: each step's enabled buttons, as the source's state and the
// user's access allow them.
TEST_F(Btn, CycleOfAUserWithEveryRight) {
    MakeCycle(Broker());
    //                  First Prior Next Last Save SaveAs Clear New Cancel Delete
    EXPECT_EQ(Enabled(), "x..x..xx..") << "empty";
    source->GetAndFill("1");
    EXPECT_EQ(Enabled(), "xxxx.xxx.x") << "found";
    Type(name, "Haemoglobin");
    EXPECT_EQ(Enabled(), "xxxxxxxxxx") << "edited";
    Expect(K::Information, "Saved: Demo Lab Test: HB Haemoglobin\r\n");
    Press(DoSave);
    EXPECT_EQ(Enabled(), "xxxx.xxx.x") << "saved";
    Press(DoInsert);
    EXPECT_EQ(Enabled(), "x..x.xxxx.") << "new";
    Type(abbreviation, "ZZ9");
    EXPECT_EQ(Enabled(), "x..x.xxxx.") << "new, typed";
    Press(DoCancel);
    EXPECT_EQ(Enabled(), "x..x..xx..") << "cancelled";
    EXPECT_EQ(abbreviation->text(), "");
    Press(DoInsert);
    Type(abbreviation, "ZZ9");
    Type(name, "To go");
    Expect(K::Information, "Saved new: Demo Lab Test: ZZ9 To go\r\n");
    Press(DoSaveAs);
    ASSERT_EQ(source->State(), ssBrowse);
    EXPECT_EQ(Enabled(), "xx...xxx.x") << "saved new: the last record";
    Expect(K::Confirmation, "Delete Demo Lab Test: ZZ9 To go?\r\n", ui::mrYes);
    Expect(K::Information, "Deleted: Demo Lab Test: ZZ9\r\n");
    Press(DoDelete);
    EXPECT_EQ(Enabled(), "x..x..xx..") << "deleted";
}

TEST_F(Btn, CycleOfAReader) {
    MakeCycle(SecondBroker(test::kReaderCodes));
    EXPECT_EQ(Enabled(), "x..x..x...") << "empty";
    EXPECT_FALSE(name->isEnabled());
    source->GetAndFill("1");
    EXPECT_EQ(Enabled(), "xxxx..x...") << "found";
    Type(name, "Haemoglobin");
    EXPECT_EQ(name->text(), "Hemoglobin") << "a reader's edits are disabled";
    EXPECT_EQ(source->State(), ssBrowse);
    Press(DoLast);
    EXPECT_EQ(Enabled(), "xx....x...") << "at the last record";
    Press(DoClear);
    EXPECT_EQ(Enabled(), "x..x..x...") << "cleared";
}

}  // namespace
}  // namespace vorn
