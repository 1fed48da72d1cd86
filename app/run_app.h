#pragma once
// The running app: the one place that builds the long-lived objects and connects the
// controller, the browser side and the views.

#include <string>

namespace tarrow::app {

// Runs the event loop until the app quits; returns its exit status.
int runApp(int argc, char** argv, const std::string& folder);

}  // namespace tarrow::app
