#include "app/model/uuid.h"

#include <uuid/uuid.h>

namespace tarrow {

std::string newUuid() {
    uuid_t id;
    uuid_generate_random(id);
    char text[37];
    uuid_unparse_upper(id, text);
    return text;
}

std::optional<std::string> canonicalUuid(std::string_view text) {
    if (text.size() != 36) return std::nullopt;
    std::string out(text);
    for (size_t i = 0; i < out.size(); ++i) {
        char& c = out[i];
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (c != '-') return std::nullopt;
            continue;
        }
        if (c >= 'a' && c <= 'f') c = char(c - 'a' + 'A');
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return std::nullopt;
    }
    return out;
}

}  // namespace tarrow
