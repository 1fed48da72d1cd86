#include "app/browser/page_routes.h"

#include <QUrl>
#include <QUrlQuery>
#include <map>
#include <nlohmann/json.hpp>
#include <vector>

#include "common/file_io.h"
#include "common/hosts_section.h"
#include "common/utf8.h"

namespace tarrow {

namespace {

PageAnswer plain(std::string status) {
    PageAnswer answer;
    answer.status = std::move(status);
    return answer;
}

std::vector<std::string_view> splitAt(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> pieces;
    size_t start = 0;
    while (true) {
        size_t at = text.find(separator, start);
        pieces.push_back(text.substr(start, at == std::string_view::npos ? at : at - start));
        if (at == std::string_view::npos) return pieces;
        start = at + separator.size();
    }
}

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    for (std::string_view piece : splitAt(line, " ")) {
        if (!piece.empty()) out.push_back(piece);
    }
    return out;
}

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// The values of every line of the header `name` (lower case, with its colon).
std::vector<std::string_view> headerValues(const std::vector<std::string_view>& lines,
                                           std::string_view name) {
    std::vector<std::string_view> values;
    for (size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].size() < name.size()) continue;
        std::string start(lines[i].substr(0, name.size()));
        for (char& c : start) c = char(std::tolower(static_cast<unsigned char>(c)));
        if (start == name) values.push_back(trimmed(lines[i].substr(name.size())));
    }
    return values;
}

// The Host value, when there is exactly one Host line. Two of them are refused:
// servers and proxies disagree on which one counts, which is how such checks are
// slipped past.
std::optional<std::string_view> hostValue(const std::vector<std::string_view>& lines) {
    const auto values = headerValues(lines, "host:");
    if (values.size() != 1) return std::nullopt;
    return values.front();
}

// Whether a request may learn the blocked names: not from a web page. Chromium sends
// an extension's own requests with no Origin and "Sec-Fetch-Site: none"; a page's
// request, even one whose answer it may not read, says where it comes from.
bool fromTheExtension(const std::vector<std::string_view>& lines, const std::string& id) {
    const auto origins = headerValues(lines, "origin:");
    if (origins.size() > 1) return false;
    if (origins.size() == 1 && (id.empty() || origins.front() != "chrome-extension://" + id))
        return false;
    const auto sites = headerValues(lines, "sec-fetch-site:");
    return sites.empty() || (sites.size() == 1 && sites.front() == "none");
}

QString qstr(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

std::string str(const QString& s) {
    return s.toStdString();
}

struct Target {
    std::string path;
    std::map<std::string, std::string> query;
    bool foreign = false;  // absolute form naming another server
};

Target parseTarget(std::string_view text, uint16_t port) {
    Target target;
    const QUrl url =
        QUrl::fromEncoded(QByteArray(text.data(), qsizetype(text.size())), QUrl::StrictMode);
    if (!url.isValid()) return target;
    // A proxy-style target must name this server too, or it is not ours to answer.
    if (!url.scheme().isEmpty() || !url.authority().isEmpty()) {
        target.foreign = url.scheme() != "http" || url.host() != "127.0.0.1" ||
                         url.port() != int(port) || !url.userInfo().isEmpty();
    }
    target.path = str(url.path(QUrl::FullyDecoded));
    for (const auto& [name, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        target.query[str(name)] = str(value);
    }
    return target;
}

std::string item(const Target& target, const std::string& name) {
    auto it = target.query.find(name);
    return it == target.query.end() ? std::string() : it->second;
}

bool webAddress(const std::string& text) {
    const QUrl url(qstr(text), QUrl::StrictMode);
    if (!url.isValid()) return false;
    const QString scheme = url.scheme().toLower();
    return scheme == "http" || scheme == "https";
}

PageAnswer status(const Target& target, const PageSetup& setup) {
    if (!sameSecret(item(target, "t"), setup.token)) return plain("403 Forbidden");
    const bool blocked = setup.blocking->blocking(setup.hostsPath);
    PageAnswer answer = plain("200 OK");
    answer.body = blocked ? "blocked" : "open";
    return answer;
}

// What Tarrow blocks now, for its browser extension: no more than the hosts file shows,
// and nothing while the page switch is off. The app's name tells the extension that it
// talks to Tarrow.
PageAnswer blocking(const PageSetup& setup) {
    const bool page = setup.pageSwitch->load();
    nlohmann::json names = nlohmann::json::array();
    if (page)
        for (const std::string& name : setup.blocking->names(setup.hostsPath))
            names.push_back(name);
    const nlohmann::json body{{"app", "Tarrow"}, {"page", page}, {"names", std::move(names)}};
    return PageAnswer{"200 OK", "application/json", body.dump(), "no-store"};
}

PageAnswer font(const std::string& path, const PageSetup& setup) {
    const std::string weight = path.find("700") != std::string::npos ? "700" : "400";
    if (setup.fontFolder.empty()) return plain("404 Not Found");
    const auto bytes =
        readRegularFile(setup.fontFolder + "/apfel-grotezk-latin-" + weight + "-normal.ttf");
    if (!bytes) return plain("404 Not Found");
    return PageAnswer{"200 OK", "font/ttf", *bytes, "max-age=86400"};
}

}  // namespace

std::optional<size_t> headEnd(std::string_view buffer) {
    const size_t at = buffer.find("\r\n\r\n");
    if (at == std::string_view::npos) return std::nullopt;
    return at;
}

bool sameSecret(std::string_view a, std::string_view b) {
    // Runs over the expected length whatever the guess is, so timing tells nothing.
    unsigned char diff = a.size() == b.size() ? 0 : 1;
    for (size_t i = 0; i < b.size(); ++i) {
        const unsigned char x = i < a.size() ? static_cast<unsigned char>(a[i]) : 0;
        diff |= x ^ static_cast<unsigned char>(b[i]);
    }
    return diff == 0;
}

Routed route(std::string_view buffer, const PageSetup& setup) {
    const auto end = headEnd(buffer);
    if (!end) return plain("400 Bad Request");
    const std::string_view head = buffer.substr(0, *end);
    if (!validUtf8(head)) return plain("400 Bad Request");
    const auto lines = splitAt(head, "\r\n");
    const auto request = words(lines.front());
    if (request.size() < 2) return plain("400 Bad Request");

    const auto host = hostValue(lines);
    if (!host || *host != "127.0.0.1:" + std::to_string(setup.port)) {
        return plain("421 Misdirected Request");
    }
    const Target target = parseTarget(request[1], setup.port);
    if (target.foreign) return plain("421 Misdirected Request");
    if (request[0] != "GET") return plain("404 Not Found");

    if (target.path == "/blocked") {
        PageWanted wanted{item(target, "site"), item(target, "back")};
        if (!webAddress(wanted.back)) wanted.back.clear();
        if (!validHost(wanted.site)) return plain("400 Bad Request");
        return wanted;
    }
    if (target.path == "/status") return status(target, setup);
    if (target.path == "/blocking") {
        if (!fromTheExtension(lines, setup.extensionId)) return plain("403 Forbidden");
        return blocking(setup);
    }
    if (target.path == "/font/apfel-grotezk-700.ttf" ||
        target.path == "/font/apfel-grotezk-400.ttf") {
        return font(target.path, setup);
    }
    return plain("404 Not Found");
}

PageAnswer pageAnswer(std::string html) {
    return PageAnswer{"200 OK", "text/html; charset=utf-8", std::move(html), "no-store"};
}

std::string answerBytes(const PageAnswer& answer) {
    std::string out = "HTTP/1.1 " + answer.status + "\r\nContent-Type: " + answer.type +
                      "\r\nContent-Length: " + std::to_string(answer.body.size()) +
                      "\r\nCache-Control: " + answer.cache + "\r\n";
    out +=
        "X-Frame-Options: DENY\r\nReferrer-Policy: no-referrer\r\nX-Content-Type-Options: "
        "nosniff\r\n";
    out +=
        "Content-Security-Policy: default-src 'self'; style-src 'unsafe-inline'; "
        "script-src 'unsafe-inline'; frame-ancestors 'none'\r\n";
    out += "Connection: close\r\n\r\n";
    out += answer.body;
    return out;
}

}  // namespace tarrow
