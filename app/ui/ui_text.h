#pragma once
// The model's texts are UTF-8 std::string_views; Qt wants QStrings.

#include <QString>
#include <string_view>

namespace tarrow::ui {

inline QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

}  // namespace tarrow::ui
