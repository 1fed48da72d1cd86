#include "app/browser/browser_scripts.h"

#include <QUrl>

namespace tarrow {

const std::map<std::string, std::string>& scriptableBrowsers() {
    static const std::map<std::string, std::string> table = {
        {"com.apple.Safari", "current tab"},
        {"com.apple.SafariTechnologyPreview", "current tab"},
        {"com.google.Chrome", "active tab"},
        {"com.google.Chrome.beta", "active tab"},
        {"com.google.Chrome.dev", "active tab"},
        {"com.google.Chrome.canary", "active tab"},
        {"com.brave.Browser", "active tab"},
        {"com.microsoft.edgemac", "active tab"},
        {"company.thebrowser.Browser", "active tab"},
        {"com.vivaldi.Vivaldi", "active tab"},
    };
    return table;
}

std::optional<std::string> blockedHost(std::string_view url, const std::set<std::string>& names) {
    const QUrl parsed(QString::fromUtf8(url.data(), qsizetype(url.size())), QUrl::StrictMode);
    if (!parsed.isValid()) return std::nullopt;
    const QString scheme = parsed.scheme().toLower();
    if (scheme != "http" && scheme != "https") return std::nullopt;
    std::string host = parsed.host(QUrl::FullyEncoded).toLower().toStdString();
    if (host.empty()) return std::nullopt;
    if (host.back() == '.') host.pop_back();
    if (names.count(host) == 0) return std::nullopt;
    return host;
}

std::string scriptString(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

namespace {

std::string tell(std::string_view id, int seconds, std::string_view body) {
    return "tell application id " + scriptString(id) + "\n  with timeout of " +
           std::to_string(seconds) + " seconds\n" + std::string(body) + "  end timeout\nend tell";
}

std::string rewriteBody(std::string_view tabRef, std::string_view url, std::string_view page) {
    return "    set t to " + std::string(tabRef) + "\n    if URL of t is " + scriptString(url) +
           " then\n      set URL of t to " + scriptString(page) +
           "\n      return true\n    end if\n    return false\n";
}

}  // namespace

std::string readFrontTabScript(std::string_view id, std::string_view tab) {
    return tell(
        id, 2,
        "    try\n      return URL of " + std::string(tab) + " of front window\n    end try\n");
}

std::string rewriteFrontTabScript(std::string_view id, std::string_view tab, std::string_view url,
                                  std::string_view page) {
    return tell(id, 2, rewriteBody(std::string(tab) + " of front window", url, page));
}

std::string listAllTabsScript(std::string_view id) {
    return tell(id, 3,
                "    set out to {}\n    repeat with w in windows\n      try\n        set end of "
                "out to (URL of every tab of w)\n      on error\n        set end of out to {}\n "
                "     end try\n    end repeat\n    return out\n");
}

std::string rewriteOneTabScript(std::string_view id, int window, int tab, std::string_view url,
                                std::string_view page) {
    return tell(id, 2,
                rewriteBody("tab " + std::to_string(tab) + " of window " + std::to_string(window),
                            url, page));
}

}  // namespace tarrow
