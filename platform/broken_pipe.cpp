#include "platform/broken_pipe.h"

#include <csignal>

namespace tarrow::platform {

void ignoreBrokenPipes() {
    std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace tarrow::platform
