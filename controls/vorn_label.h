// A bound label: shows a field's external value as its caption; never edited, never filed.
#pragma once

#include <QLabel>

#include "controls/bound_control_base.h"

#pragma GCC visibility push(default)
namespace vorn {

class TvornLabel : public QLabel, public BoundControlBase {
    Q_OBJECT
    Q_PROPERTY(QString FMField READ FMField WRITE SetFMField)
    Q_PROPERTY(QString FMDisplayName READ FMDisplayName WRITE SetFMDisplayName)
    Q_PROPERTY(vorn::TvornSource* vornSource READ vornSource WRITE SetvornSource)

  public:
    explicit TvornLabel(QWidget* parent = nullptr);

    const QString& FilledText() const { return filledText_; }

    void FillFromRecord(const QString& internal, const QString& external) override;
    void ClearValue() override;
    QString ShownText() const override { return text(); }
    bool IsFilled() const override { return true; }
    bool IsDisplayOnly() const override { return true; }
    bool TakeMasterLink(const QString& internal, const QString& text) override;

  private:
    QString filledText_;
};

}  // namespace vorn

#pragma GCC visibility pop
