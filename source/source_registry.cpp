#include "source/internal/source_registry.h"

namespace vorn {

void SourceRegistry::AddControl(TvornBoundControl* control, const QString& field) {
    if (!control) return;
    Add(controls_, control);
    EnsureField(field);
}

void SourceRegistry::RemoveControl(TvornBoundControl* control) {
    Remove(controls_, control);
    if (current_ == control) current_ = nullptr;
}

void SourceRegistry::EnsureField(const QString& field) {
    if (!field.isEmpty() && !fields_.contains(field)) fields_.append(field);
}

void SourceRegistry::AddButton(TvornSourceButton* button) {
    if (auto* operation = dynamic_cast<TvornOperationButton*>(button))
        Add(buttons_, operation);
    else if (auto* exec = dynamic_cast<TvornExecButtonLink*>(button))
        Add(execButtons_, exec);
}
void SourceRegistry::RemoveButton(TvornSourceButton* button) {
    if (auto* operation = dynamic_cast<TvornOperationButton*>(button))
        Remove(buttons_, operation);
    else if (auto* exec = dynamic_cast<TvornExecButtonLink*>(button))
        Remove(execButtons_, exec);
}
void SourceRegistry::AddGrid(TvornGridLink* grid) {
    Add(grids_, grid);
}
void SourceRegistry::RemoveGrid(TvornGridLink* grid) {
    Remove(grids_, grid);
}

bool SourceRegistry::HasNavigationButtons() const {
    for (TvornOperationButton* button : Buttons()) {
        const TvornBtnOperation op = button->Operation();
        if (op == DoFirst || op == DoPrior || op == DoNext || op == DoLast) return true;
    }
    return false;
}

}  // namespace vorn
