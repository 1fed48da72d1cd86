#pragma once
// Writing to a pipe or socket whose reader has gone (a closed terminal behind standard
// error, a peer that hung up) fails with EPIPE instead of ending the process.

namespace tarrow::platform {

// Ignores SIGPIPE for the whole process. Programs it starts through runProgram get the
// default action back.
void ignoreBrokenPipes();

}  // namespace tarrow::platform
