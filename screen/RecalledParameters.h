// The screen's choices as the user left them when a report last got its
// parameters (branch, cost type, period, groups and services, product range,
// level, ordering, kinds), and their return into the controls on request.
// Restoring acts as if the user typed the values: each change raises the
// control's own events, then the branch and product fields are checked as
// on leaving them; the first check that fails shows its message, keeps the
// focus on its field and ends the command (MensErro's silent abort).
#pragma once

#include <QVariantMap>

class TfrmRealGlobal;

namespace RecalledParameters {

QVariantMap capture(const TfrmRealGlobal &form);
void restore(TfrmRealGlobal &form, const QVariantMap &values);

} // namespace RecalledParameters
