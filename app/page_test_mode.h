#pragma once
// "--page-test": the block page server alone, for trying the page in a browser.

namespace tarrow::app {

// Prints the block page's address for the YouTube row of the popular sites and the
// server's token, then serves until the process is killed. Returns 1 when no port
// could be bound.
int runPageTest(int argc, char** argv);

}  // namespace tarrow::app
