// The screen's queries and data sources, taken from the screen's own form
// definition (its resource) onto a plain form: the data and search tests run
// exactly the texts the screen carries, in every dialect.
#pragma once

#include "widgets/TForm.h"

#include <memory>

namespace ScreenQueries {

// A form holding the screen's TADOIBQuery and TDataSource components (with
// their fields), read from ":/forms/TfrmRealGlobal.dfm".
std::unique_ptr<TForm> form();

} // namespace ScreenQueries
