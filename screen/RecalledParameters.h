// The screen's choices as the parameter memory keeps them (ParameterMemory,
// one entry a screen): the keys and value forms are those of files users
// already have, so they do not change.
#pragma once

#include "ScreenChoices.h"

#include <QVariantMap>

namespace RecalledParameters {

QVariantMap stored(const ScreenChoices &choices);
// Missing values take the screen's start-up defaults (dates: left alone).
ScreenChoices fromStored(const QVariantMap &values);

} // namespace RecalledParameters
