#pragma once
// Checks on generated texts (scripts, units, pages) that name the parts that matter
// instead of copying the whole text.

#include <string>
#include <vector>

namespace tarrow::test {

// The first part not found after the one before it; "" when all appear in this order.
inline std::string missingInOrder(const std::string& text, const std::vector<std::string>& parts) {
    size_t at = 0;
    for (const std::string& part : parts)
        if ((at = text.find(part, at)) == std::string::npos) return part;
    return "";
}

}  // namespace tarrow::test
