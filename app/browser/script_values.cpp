#include "app/browser/script_values.h"

#include <cctype>
#include <variant>

namespace tarrow {

namespace {

struct Value;
using List = std::vector<Value>;
struct Value {
    std::variant<std::string, bool, List, std::monostate> v;  // monostate: anything else
};

// A small recursive reader; depth is bounded so hostile output cannot exhaust the stack.
class Reader {
  public:
    explicit Reader(std::string_view text) : s_(text) {}

    std::optional<Value> whole() {
        auto value = read(0);
        skipSpace();
        if (!value || at_ != s_.size()) return std::nullopt;
        return value;
    }

  private:
    std::optional<Value> read(int depth) {
        skipSpace();
        if (at_ >= s_.size() || depth > 8) return std::nullopt;
        if (s_[at_] == '"') return text();
        if (s_[at_] == '{') return list(depth);
        size_t end = at_;
        while (end < s_.size() && s_[end] != ',' && s_[end] != '}') ++end;
        std::string_view word = s_.substr(at_, end - at_);
        while (!word.empty() && std::isspace(static_cast<unsigned char>(word.back()))) {
            word.remove_suffix(1);
        }
        at_ += word.size();
        if (word == "true") return Value{true};
        if (word == "false") return Value{false};
        if (word.empty()) return std::nullopt;
        return Value{std::monostate{}};
    }

    std::optional<Value> text() {
        std::string out;
        for (++at_; at_ < s_.size(); ++at_) {
            char c = s_[at_];
            if (c == '"') {
                ++at_;
                return Value{out};
            }
            if (c == '\\') {
                if (++at_ >= s_.size()) return std::nullopt;
                c = s_[at_];
                if (c == 'n')
                    c = '\n';
                else if (c == 't')
                    c = '\t';
                else if (c == 'r')
                    c = '\r';
            }
            out += c;
        }
        return std::nullopt;
    }

    std::optional<Value> list(int depth) {
        List items;
        ++at_;
        skipSpace();
        if (at_ < s_.size() && s_[at_] == '}') {
            ++at_;
            return Value{items};
        }
        while (true) {
            auto item = read(depth + 1);
            if (!item) return std::nullopt;
            items.push_back(std::move(*item));
            skipSpace();
            if (at_ >= s_.size()) return std::nullopt;
            if (s_[at_] == '}') {
                ++at_;
                return Value{items};
            }
            if (s_[at_] != ',') return std::nullopt;
            ++at_;
        }
    }

    void skipSpace() {
        while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\n' || s_[at_] == '\r')) ++at_;
    }

    std::string_view s_;
    size_t at_ = 0;
};

}  // namespace

std::optional<std::string> scriptText(std::string_view result) {
    auto value = Reader(result).whole();
    if (!value || !std::holds_alternative<std::string>(value->v)) return std::nullopt;
    return std::get<std::string>(value->v);
}

std::optional<bool> scriptBool(std::string_view result) {
    auto value = Reader(result).whole();
    if (!value || !std::holds_alternative<bool>(value->v)) return std::nullopt;
    return std::get<bool>(value->v);
}

std::optional<std::vector<std::vector<std::string>>> scriptLists(std::string_view result) {
    auto value = Reader(result).whole();
    if (!value || !std::holds_alternative<List>(value->v)) return std::nullopt;
    std::vector<std::vector<std::string>> windows;
    for (const Value& window : std::get<List>(value->v)) {
        std::vector<std::string> tabs;
        if (const List* list = std::get_if<List>(&window.v)) {
            for (const Value& tab : *list) {
                const std::string* url = std::get_if<std::string>(&tab.v);
                tabs.push_back(url ? *url : std::string());
            }
        }
        windows.push_back(std::move(tabs));
    }
    return windows;
}

}  // namespace tarrow
