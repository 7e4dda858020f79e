// Which item a combo box or a radio group shows for a stored value, and which code a chosen
// item stands for.
//
// The two sides agree on one numbering. An item is found by its code in `Values`, then by its
// text equal to the external value; failing both, a plain number n in a control without
// `Values` is a position counted from 1, the way a radio group without `Values` writes its
// choice back ("first item stands for 1"): n selects item n - 1. A number outside the items,
// or a control with `Values` that do not hold the code, selects nothing.
#pragma once

#include <QString>
#include <QStringList>

namespace vorn {

// The item index for a stored value, or -1.
int ChooseItem(const QStringList& values, const QStringList& items, const QString& internal,
               const QString& external);

// The code item `index` stands for when the control has no own code for it: the position
// counted from 1.
QString PositionCode(int index);

}  // namespace vorn
