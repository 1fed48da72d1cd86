#pragma once
// A user-visible text that names the machine or the place of the app's icon, in both
// variants: the macOS words, and "this computer" / "the panel" for other desktops. The
// variant is chosen when the program is built; both are kept as text and tested.

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace tarrow {

enum class Desktop { mac, other };

#ifdef __APPLE__
inline constexpr Desktop thisDesktop = Desktop::mac;
#else
inline constexpr Desktop thisDesktop = Desktop::other;
#endif

// "{product}", "{letter}" (the mark's letter) and "{domain}" are filled in where the text
// is used.
struct MachineText {
    std::string_view mac;
    std::string_view other;
};

using TextFills = std::initializer_list<std::pair<std::string_view, std::string_view>>;

// The text of one variant with each "{name}" of `fills` replaced by its value.
std::string machineText(const MachineText& text, TextFills fills = {},
                        Desktop desktop = thisDesktop);

}  // namespace tarrow
