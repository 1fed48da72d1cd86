#pragma once
// A diagnostic run of the block-notice listener on 127.0.0.1 and two chosen ports.

#include <cstdint>
#include <string>

namespace tarrow {

// Exits 1 when the ports cannot be bound; otherwise serves until killed.
int runListenTest(const std::string& folder, uint16_t plainPort, uint16_t tlsPort);

}  // namespace tarrow
