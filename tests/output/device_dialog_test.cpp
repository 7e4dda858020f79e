// The device dialog: its single-destination shortcuts, its form, and the pick of a server
// printer from the device file of the development server.
#include <gtest/gtest.h>

#include <QRadioButton>
#include <QTest>

#include "output/help_window.h"
#include "output/internal/sel_dev_form.h"
#include "tests/output/output_form.h"

namespace vorn {
namespace {

using DeviceDialog = test::OutputForm;

// A file offered alone shows the save dialog alone; its cancel is false.
TEST_F(DeviceDialog, CancelGivesNoDestinationAndAScreenOrAFileAloneShowNoForm) {
    modal.OnForm<TfrmSelDev>([](TfrmSelDev& f) { f.btnPeruuta->click(); });
    EXPECT_FALSE(dialog->Execute());
    EXPECT_EQ(dialog->Device, "");
    EXPECT_EQ(dialog->IOP, "");
    dialog->PrintDevices = pdScreen;
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->Device, "onscreen");
    EXPECT_EQ(dialog->IOP, "CLIENT WORKSTATION");
    EXPECT_EQ(modal.Log().size(), 1u) << "the cancelled form alone";
    dialog->PrintDevices = pdFile;
    dialog->SetPrintDefault(pdFile);
    dialog->SaveFile = "/tmp/earlier.txt";
    modal.OnSaveFile([](const QString& offered) {
        EXPECT_EQ(offered, "/tmp/earlier.txt");
        return QString();
    });
    EXPECT_FALSE(dialog->Execute());
    modal.OnSaveFile([](const QString&) { return QStringLiteral("/tmp/report"); });
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->SaveFile, "/tmp/report.txt");
    EXPECT_TRUE(dialog->SaveDial);
    ASSERT_EQ(modal.Log().size(), 3u);
    EXPECT_EQ(modal.Log()[1].kind, test::Interaction::SaveFile);
}

TEST_F(DeviceDialog, TheWorkstationPrinterStaysOpenUntilItsDialogIsConfirmed) {
    modal.OnForm<TfrmSelDev>([&](TfrmSelDev& f) {
        EXPECT_EQ(f.windowTitle(), "Select output device");
        EXPECT_EQ(f.rbPrinter->text(), "To workstation printer");
        EXPECT_FALSE(f.rbExcel->isVisible());
        f.rbPrinter->click();
        f.btnSulje->click();
        EXPECT_TRUE(f.isVisible());
        f.btnSulje->click();
    });
    modal.OnPrinterSetup([](QPrinter&, const ui::PrinterChoices& c) { return false; });
    modal.OnPrinterSetup([](QPrinter&, const ui::PrinterChoices& c) { return c.pageNumbers; });
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->IOP, "CLIENT WORKSTATION;;68");
    EXPECT_EQ(dialog->Device, "printer");
    EXPECT_TRUE(dialog->PrintDial);
}

TEST_F(DeviceDialog, AServerPrinterIsPickedOnceFromThePrintersInService) {
    const QStringList printers = {"LASER PRINTER 1", "OFFICE PRINTER"};
    modal.OnForm<TfrmSelDev>([&](TfrmSelDev& f) {
        f.rbServer->click();
        f.btnSulje->click();
        EXPECT_EQ(PickFromList("OFFICE PRINTER"), printers);
        // The pick ran OK again, which closed the form without a second list.
        EXPECT_EQ(PickList(), nullptr);
    });
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->Device, "KernelDevice");
    EXPECT_EQ(dialog->IOP, "OFFICE PRINTER");
    // Offered alone, a server printer opens the list at once.
    dialog->PrintDevices = pdServerPrinter;
    dialog->SetPrintDefault(pdServerPrinter);
    modal.OnForm<TfrmSelDev>([&](TfrmSelDev& f) {
        EXPECT_EQ(f.height(), 1);
        EXPECT_EQ(PickFromList("LASER PRINTER 1"), printers);
    });
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->IOP, "LASER PRINTER 1");
    modal.OnForm<TfrmSelDev>([&](TfrmSelDev&) { PickList()->btnCancel->click(); });
    EXPECT_FALSE(dialog->Execute());
    dialog->SetRPCBroker(nullptr);  // no list could open: no form waits for one
    EXPECT_FALSE(dialog->Execute());
}

TEST_F(DeviceDialog, SetupHidesWhatIsNotOfferedAndF1NamesTheOffers) {
    TfrmSelDev f;
    f.SetBroker(&Broker());
    f.Setup(pdScreen | pdFile | pdServerPrinter | pdWordProcessor);
    EXPECT_TRUE(f.rbPrinter->isHidden());
    EXPECT_EQ(f.btnSulje->text(), "&Ok");
    QTest::keyClick(&f, Qt::Key_F1);
    ASSERT_NE(HelpWindow(), nullptr) << "the output forms' help needs no installing";
    // Literal texts: a server that lost its messages must not pass by showing the same gap.
    EXPECT_EQ(HelpWindow()->Title(), "Select output device");
    EXPECT_EQ(
        HelpWindow()->Lines(),
        (QStringList{"Choose where the document goes:", "",
                     "The document is shown on the screen, where you can read, search and copy it.",
                     "", "The document is saved in a file on your workstation.", "",
                     "The document is opened in the word processor of your workstation.", "",
                     "The document is printed on a printer of the server.", "", ""}));
    HelpWindow()->close();
}

}  // namespace
}  // namespace vorn
