#pragma once
// "--render <folder>": pictures of the settings views, the card and the settings window
// for the documentation, without a tray and beside a running copy of the app.

#include <string>
#include <vector>

namespace tarrow::app {

// Chooses the off-screen platform at one pixel per point before Qt starts, so the
// pictures are the same on every machine and nothing reaches the screen.
void prepareRenderPlatform();

// Renders into `folder` (made when missing) with the store of the state folder, prepared
// by the flags in `args` (the command line without the program). Prints one line per
// settings tab. 0 when every picture was written; 1 when the folder cannot be made or
// written (said on the log), or some picture could not be rendered (not said).
int renderPictures(int argc, char** argv, const std::string& folder, const std::string& stateFolder,
                   const std::vector<std::string>& args);

}  // namespace tarrow::app
