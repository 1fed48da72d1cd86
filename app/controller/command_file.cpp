#include "app/controller/command_file.h"

#include <unistd.h>

#include "common/file_io.h"
#include "common/utf8.h"

namespace tarrow::app {

namespace {

// Length in bytes of the white-space character at the front of text, or 0. The text is
// valid UTF-8 or plain ASCII.
size_t spaceAt(std::string_view text) {
    unsigned char c = static_cast<unsigned char>(text[0]);
    if (c == ' ' || (c >= '\t' && c <= '\r')) return 1;
    if (c < 0xc2 || text.size() < 2) return 0;
    unsigned char c1 = static_cast<unsigned char>(text[1]);
    if (c == 0xc2) return (c1 == 0x85 || c1 == 0xa0) ? 2 : 0;  // NEL, no-break space
    if (text.size() < 3) return 0;
    unsigned char c2 = static_cast<unsigned char>(text[2]);
    if (c == 0xe1 && c1 == 0x9a && c2 == 0x80) return 3;  // ogham space mark
    if (c == 0xe2 && c1 == 0x80 && (c2 <= 0x8a || c2 == 0xa8 || c2 == 0xa9 || c2 == 0xaf))
        return 3;  // en quad … hair space, line and paragraph separators, narrow no-break
    if (c == 0xe2 && c1 == 0x81 && c2 == 0x9f) return 3;  // medium mathematical space
    if (c == 0xe3 && c1 == 0x80 && c2 == 0x80) return 3;  // ideographic space
    return 0;
}

}  // namespace

std::optional<Command> parseCommand(std::string_view text) {
    Command command;
    size_t i = 0, first = std::string_view::npos, last = 0;
    std::string word;
    auto endWord = [&] {
        if (!word.empty()) command.words.push_back(std::move(word));
        word.clear();
    };
    while (i < text.size()) {
        size_t space = spaceAt(text.substr(i));
        if (space > 0) {
            endWord();
            i += space;
            continue;
        }
        if (first == std::string_view::npos) first = i;
        word.push_back(text[i]);
        last = ++i;
    }
    endWord();
    if (command.words.empty()) return std::nullopt;
    command.text = std::string(text.substr(first, last - first));
    return command;
}

std::optional<int> lockMinutes(std::string_view word) {
    bool negative = false;
    if (!word.empty() && (word[0] == '+' || word[0] == '-')) {
        negative = word[0] == '-';
        word.remove_prefix(1);
    }
    if (word.empty()) return std::nullopt;
    long value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return std::nullopt;
        // Stop growing once out of range, so no length of digits can overflow.
        if (value <= maxLockMinutes) value = value * 10 + (c - '0');
    }
    if (negative || value < 1 || value > maxLockMinutes) return std::nullopt;
    return static_cast<int>(value);
}

std::optional<int> strictLockMinutes(std::string_view word) {
    std::optional<int> minutes = lockMinutes(word);
    if (minutes && *minutes > maxStrictLockMinutes) return std::nullopt;
    return minutes;
}

std::optional<std::string> takeCommandText(const std::string& path) {
    Result<std::string> text = readRegularFile(path);
    if (!text || !validUtf8(*text)) return std::nullopt;
    ::unlink(path.c_str());
    return std::move(*text);
}

}  // namespace tarrow::app
