#pragma once
// First start: take over the earlier product's configuration when there is none yet.

#include <string>

#include "app/model/log_fn.h"

namespace tarrow {

// Creates the folder (errors ignored); when it holds no config.json, copies the earlier
// product's file there and logs "settings taken over from Pinfold". Returns whether a
// file was taken over.
bool migrate(const std::string& folder, const LogFn& log);

}  // namespace tarrow
