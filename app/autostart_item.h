#pragma once
// The app's start at login as the General tab switches it: the user's autostart entry.

#include "app/model/login_item.h"

namespace tarrow::app {

// Read back from the files each time it is asked.
LoginItem autostartItem();

}  // namespace tarrow::app
