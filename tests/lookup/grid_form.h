// A form of the grid tests: data sources and bound grids owned by one widget, loaded the way a
// form loads its components, against the development server of the fixture.
#pragma once

#include <QHeaderView>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <vector>

#include "lookup/bound_grid.h"
#include "source/vorn_source.h"
#include "tests/support/fake_bound_control.h"
#include "tests/support/fake_operation_button.h"
#include "tests/support/source_fixture.h"
#include "toolkit/component_loading.h"

namespace vorn::test {

class GridForm : public SourceServer {
  protected:
    GridForm() { form.resize(720, 560); }

    TvornSource* NewSource(const QString& name, const QString& file, bool withBroker = true) {
        auto* source = new TvornSource(&form);
        source->setObjectName(name);
        source->FileName = name;
        source->FileNumber = file;
        if (withBroker) source->SetRPCBroker(&Broker());
        return source;
    }

    TvornGrid* NewGrid(const QString& name, TvornSource* source, const QStringList& fields) {
        auto* grid = new TvornGrid(&form);
        grid->setObjectName(name);
        grid->SetvornSource(source);
        grid->SetFields(fields);
        grid->setGeometry(0, 280 * grids_++, 700, 260);
        return grid;
    }

    // A bound control on the form; it goes before its source does.
    FakeBoundControl* NewControl(TvornSource& source, const QString& field) {
        controls_.push_back(std::make_unique<FakeBoundControl>(source, field, &form));
        controls_.back()->move(0, 540);
        return controls_.back().get();
    }

    // Loads the components as a form does and shows the form.
    void Load() {
        ui::LoadComponents(form);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

  public:
    static void ClickRow(TvornGrid& grid, int row) {
        const QRect cell = grid.visualRect(grid.model()->index(row - 1, 0));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    }

    static void PressHeader(TvornGrid& grid, int column, Qt::MouseButton button) {
        QHeaderView* header = grid.horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mousePress(header->viewport(), button, {}, at);
        QTest::mouseRelease(header->viewport(), button, {}, at);
    }

    // The texts of one column's data rows, top to bottom.
    static QStringList ColumnTexts(const TvornGrid& grid, int column) {
        QStringList texts;
        for (int row = 1; row < grid.RowCount(); ++row)
            texts.append(grid.Cell(column, row));
        return texts;
    }

  protected:
    QWidget form;

  private:
    int grids_ = 0;
    std::vector<std::unique_ptr<FakeBoundControl>> controls_;
};

}  // namespace vorn::test
