#pragma once
// An extra address on the loopback interface, for systems that route only 127.0.0.1
// there. Linux routes all of 127.0.0.0/8 to lo, so it never needs one.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarrow::platform {

#ifdef __APPLE__
inline constexpr bool loopbackNeedsAlias = true;
#else
inline constexpr bool loopbackNeedsAlias = false;
#endif

inline constexpr std::string_view ifconfigPath = "/sbin/ifconfig";
inline constexpr std::string_view loopbackInterface = "lo0";

// True when ifconfig's listing of the interface names the address ("inet <address> ").
bool listsAddress(std::string_view listing, std::string_view address);

// ifconfig lo0, output captured: whether the address is on the interface. False when
// the tool cannot run.
bool hasAlias(std::string_view address);

// ifconfig lo0 <arguments>, output discarded: true when it ran and exited 0.
bool ifconfig(const std::vector<std::string>& arguments);

// The two operations, replaceable in tests.
struct LoopbackAlias {
    std::function<bool(std::string_view address)> has = hasAlias;
    std::function<bool(const std::vector<std::string>& arguments)> run = ifconfig;
};

}  // namespace tarrow::platform
