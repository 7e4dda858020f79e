// The rules of a demo form's page control: the page shown may refuse to be left, and a page that
// has become the current one may have work to do.
#pragma once

#include <QObject>
#include <functional>

class QTabWidget;

namespace vorn {

// The question whether the page may be left is asked while it is still shown: a click on a
// tab, a tab's Alt accelerator, Ctrl+Tab and Ctrl+Shift+Tab and the arrow keys on the tab bar
// are held until the page's rule allows them. A change made any other way (by the program) is
// asked about after it, and put back when refused. A page shown with ShowPage asks no rule.
class PageRules : public QObject {
  public:
    using Rule = std::function<bool(int page)>;
    using Entered = std::function<void(int page)>;
    PageRules(QTabWidget& pages, Rule mayLeave, Entered entered = {});
    void ShowPage(int page);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The page `event` would show: -1 when it changes no page.
    int Target(const QObject* watched, QEvent* event) const;
    // The page next to the current one, `step` away, wrapping round or not.
    int Neighbour(int step, bool wrap) const;
    bool MayLeave();
    void Changed(int page);

    QTabWidget& pages_;
    Rule mayLeave_;
    Entered entered_;
    int page_ = 0;
    bool quiet_ = false;
    // The current page has agreed to be left: the change under way asks no more.
    bool agreed_ = false;
};

}  // namespace vorn
