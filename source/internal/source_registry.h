// What a data source's form registered with it: the bound controls and the fields they show,
// the operation and exec buttons, the grids, and the control with the input focus. A component
// that went away is passed over at once, before it unregisters.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "source/bound_control.h"

#pragma GCC visibility push(default)
namespace vorn {

class SourceRegistry {
  public:
    // Each control once; its field joins the fields the source reads.
    void AddControl(TvornBoundControl* control, const QString& field);
    // The control leaves, and stops being the focused one.
    void RemoveControl(TvornBoundControl* control);
    void EnsureField(const QString& field);
    // Into the list of its kind, once.
    void AddButton(TvornSourceButton* button);
    void RemoveButton(TvornSourceButton* button);
    void AddGrid(TvornGridLink* grid);
    void RemoveGrid(TvornGridLink* grid);

    QList<TvornBoundControl*> Controls() const { return Live(controls_); }
    QList<TvornOperationButton*> Buttons() const { return Live(buttons_); }
    QList<TvornExecButtonLink*> ExecButtons() const { return Live(execButtons_); }
    QList<TvornGridLink*> Grids() const { return Live(grids_); }
    // The fields the form reads, each once.
    const QStringList& Fields() const { return fields_; }
    // The bound control with the input focus; controls set it on enter and clear it on exit.
    TvornBoundControl* CurrentControl() const { return current_; }
    void SetCurrentControl(TvornBoundControl* control) { current_ = control; }
    bool HasNavigationButtons() const;

  private:
    template <typename T>
    struct Registered {
        QPointer<QObject> object;  // cleared when the component goes
        T* item;
    };
    template <typename T>
    static QList<T*> Live(const QList<Registered<T>>& list) {
        QList<T*> live;
        for (const Registered<T>& r : list)
            if (r.object) live.append(r.item);
        return live;
    }
    template <typename T>
    static void Add(QList<Registered<T>>& list, T* item) {
        for (const Registered<T>& r : list)
            if (r.item == item) return;
        list.append({item->Widget(), item});
    }
    template <typename T>
    static void Remove(QList<Registered<T>>& list, T* item) {
        list.removeIf([item](const Registered<T>& r) { return r.item == item; });
    }

    QList<Registered<TvornBoundControl>> controls_;
    QStringList fields_;
    QList<Registered<TvornOperationButton>> buttons_;
    QList<Registered<TvornExecButtonLink>> execButtons_;
    QList<Registered<TvornGridLink>> grids_;
    TvornBoundControl* current_ = nullptr;
};

}  // namespace vorn

#pragma GCC visibility pop
