#pragma once
#include <string>

namespace tarrow {

// Whether the app may script a browser, in this order.
enum class Consent { granted, denied, notAsked, notRunning };

struct BrowserState {
    std::string id;    // the browser's identifier
    std::string name;  // its display name
    Consent consent = Consent::notAsked;

    friend bool operator==(const BrowserState&, const BrowserState&) = default;
};

}  // namespace tarrow
