// The output tests' form: a device dialog, a report and a print component on the DEMO broker
// of the development server.
#pragma once

#include <QApplication>
#include <QPushButton>
#include <QWidget>

#include "lookup/find_dialog.h"
#include "lookup/internal/xde_string_grid.h"
#include "output/device_dialog.h"
#include "output/vorn_print.h"
#include "output/vorn_report.h"
#include "tests/support/shown_find.h"
#include "tests/support/source_fixture.h"

namespace vorn::test {

class OutputForm : public SourceServer {
  protected:
    explicit OutputForm(DevServerProcess::Options options = {}) : SourceServer(options) {
        for (QObject* o : std::initializer_list<QObject*>{dialog, report, print}) {
            o->setParent(&form);
            o->setProperty("RPCBroker", QVariant::fromValue(&Broker()));
        }
        report->setObjectName("vornReport1");
        print->setObjectName("vornPrint1");
    }
    ~OutputForm() override { test::HideFindDialogs(); }
    // The pick list on the screen, if one is.
    static TfrmFind* PickList() { return test::ShownFind(); }
    // Picks the row of `name` from the pick list on the screen; the names it offers.
    static QStringList PickFromList(const QString& name) {
        TfrmFind* list = PickList();
        if (!list) return {};
        QStringList names;
        for (int row = 1; row < list->grdPick->RowCount(); ++row)
            names << list->grdPick->Cell(0, row);
        list->grdPick->SetRow(static_cast<int>(names.indexOf(name)) + 1);
        list->btnSelect->click();
        return names;
    }

    QWidget form;
    TvornDeviceDialog* dialog = new TvornDeviceDialog;
    TvornReport* report = new TvornReport;
    TvornPrint* print = new TvornPrint;
};

}  // namespace vorn::test
