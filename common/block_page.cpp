#include "common/block_page.h"

#include "common/app_name.h"

namespace tarrow {

namespace {

std::string replaced(std::string_view text, char what, std::string_view with) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == what)
            out.append(with);
        else
            out.push_back(c);
    }
    return out;
}

// The mark: a heavy lower-case "t" with a band cut through its middle and the pink bar
// laid over the cut.
constexpr std::string_view markSvg =
    "<svg class=\"mark\" viewBox=\"0 0 18 18\" aria-hidden=\"true\"><defs><mask id=\"c\">"
    "<rect width=\"18\" height=\"18\" fill=\"#fff\"/>"
    "<rect y=\"6.8\" width=\"18\" height=\"4.4\" fill=\"#000\"/></mask></defs>"
    "<path mask=\"url(#c)\" fill=\"#F3EEF6\" d=\"M5.7 1.6h3.7v3.3h3.3v3.2H9.4v4.6c0 1 .4 1.4 "
    "1.3 1.4.6 0 1.2-.1 1.9-.3l.4 3.1c-1 .3-2.1.5-3.2.5-2.8 0-4.1-1.5-4.1-4.3V8.1H3.7V4.9h2z\"/>"
    "<rect x=\"1.6\" y=\"8.05\" width=\"14.8\" height=\"1.9\" rx=\".95\" fill=\"#FF5C93\"/></svg>";

constexpr std::string_view pageHead =
    "<!doctype html>\n"
    "<html lang=\"en\"><head><meta charset=\"utf-8\"><meta name=\"viewport\" "
    "content=\"width=device-width,initial-scale=1\">\n"
    "<title>Tarrow</title>\n"
    "<style>\n"
    "html{background:#16131C;color:#F3EEF6;font:18px/1.5 -apple-system,BlinkMacSystemFont,"
    "\"Helvetica Neue\",Helvetica,Arial,sans-serif;-webkit-text-size-adjust:100%}\n"
    "body{margin:0;min-height:100vh;display:grid;place-items:center;padding:8vh 24px;"
    "box-sizing:border-box}\n"
    "main{max-width:34rem}\n"
    ".mark{width:44px;height:44px;display:block;margin:0 0 36px}\n"
    "h1{font-size:clamp(2.6rem,7vw,4.6rem);line-height:1.02;letter-spacing:-.02em;"
    "font-weight:700;margin:0 0 .55em}\n"
    ".now{position:relative;display:inline-block}\n"
    ".now::after{content:\"\";position:absolute;left:-.03em;right:-.03em;top:.6em;"
    "height:.1em;border-radius:.05em;background:#FF5C93}\n"
    "p{margin:0 0 .75em;color:#ADA4B6;max-width:30rem}\n"
    "b{color:#F3EEF6;font-weight:600}\n"
    "</style></head><body><main>\n";

}  // namespace

std::string blockPage(const std::optional<std::string>& host) {
    std::string_view name = host ? std::string_view(*host) : std::string_view("This site");
    if (name.starts_with("www.")) name.remove_prefix(4);
    if (name.starts_with("m.")) name.remove_prefix(2);
    const std::string escaped = replaced(replaced(name, '&', "&amp;"), '<', "&lt;");
    const std::string letter(1, static_cast<char>(appName[0] - 'A' + 'a'));

    std::string page(pageHead);
    page.append(markSvg).append("\n");
    page.append("<h1>").append(escaped).append("?<br><span class=\"now\">");
    page.append(appName).append("</span>.</h1>\n");
    page.append("<p><b>").append(appName);
    page.append(machineText(machine::helperPageWhy)).append("</p>\n");
    page.append("<p>").append(machineText(machine::helperPageHow, {{"letter", letter}}));
    page.append("</p>\n");
    page.append("</main></body></html>");
    return page;
}

std::string blockAnswer(const std::optional<std::string>& host) {
    const std::string body = blockPage(host);
    std::string answer =
        "HTTP/1.1 403 Forbidden\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
        std::to_string(body.size()) + "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n";
    return answer + body;
}

}  // namespace tarrow
