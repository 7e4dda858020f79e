// The subresult form: the subresults of the lab test the main form shows (sub-file 80001.02 of
// its record) on the first tab, and the codes of the subresult shown (sub-file 80001.021) on the
// second. Its look is its form definition (subresult_form.ui); the wiring below is the whole of
// its behaviour.
#pragma once

#include <QString>

#include "demo/secondary_form.h"
#include "ui_subresult_form.h"

namespace vorn {

class TRPCBroker;
class TvornExecBtn;
class TvornFinder;
class TvornSource;

class TfrmSubresult : public SecondaryForm, public Ui::TfrmSubresult {
    Q_OBJECT

  public:
    // `labTests`: the main form's lab tests, whose abbreviation the form shows above its tabs.
    explicit TfrmSubresult(const LabTestConnection& connection, TvornSource* labTests = nullptr,
                           QWidget* parent = nullptr);

    TRPCBroker* RPCBroker1;
    // The subresults; the main form makes it a detail of its lab tests (MasterSource,
    // TypeIfSubFile) before a zoom or an insert.
    TvornSource* vornSource1;
    TvornSource* vornSource2;  // the codes of the subresult shown
    TvornFinder* vornFinder1;
    TvornExecBtn* vornFindBtn1;

    // --- entry points of the main form; each shows the form modally ---
    // Subresult `ien` with read, write and delete rights.
    void Zoom(const QString& ien);
    // An empty form with every right, for a new subresult.
    void InsertSubresult();

    void ShowHelp(TvornSource* source);

  protected:
    void FormShow() override;
    bool FormCloseQuery() override;

  private:
    void Bind();
    bool PageMayBeLeft(int page);

    PageRules* pageRules_ = nullptr;
};

}  // namespace vorn
