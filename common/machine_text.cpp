#include "common/machine_text.h"

namespace tarrow {

std::string machineText(const MachineText& text, TextFills fills, Desktop desktop) {
    std::string out(desktop == Desktop::mac ? text.mac : text.other);
    for (const auto& [name, value] : fills) {
        const std::string mark = "{" + std::string(name) + "}";
        for (size_t at = out.find(mark); at != std::string::npos;
             at = out.find(mark, at + value.size())) {
            out.replace(at, mark.size(), value);
        }
    }
    return out;
}

}  // namespace tarrow
