#pragma once
// The built-in list of popular sites, in display order, and its groups.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tarrow {

struct Preset {
    std::string name;
    std::string domain;
    std::string kind;

    friend bool operator==(const Preset&, const Preset&) = default;
};

inline constexpr std::array<std::string_view, 6> presetKinds = {
    "Video", "Social media", "News", "Shopping", "Sport", "Games"};

// True for the regions DE, AT and CH.
bool germanShopsFor(std::string_view region);
// For the process's default locale, decided once.
bool germanShops();

// The 49 rows; two shopping rows depend on `germanShops`.
std::vector<Preset> presetsFor(bool germanShops);
// The rows for the process's locale, built once.
const std::vector<Preset>& presets();

}  // namespace tarrow
