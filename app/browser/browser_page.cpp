#include "app/browser/browser_page.h"

#include "app/browser/page_escape.h"
#include "app/model/machine_texts.h"
#include "common/block_page.h"
#include "platform/paths.h"

namespace tarrow {

namespace {

// The emblem is the helper page's own, taken from that page so the two never differ.
const std::string& markSvg() {
    static const std::string mark = [] {
        const std::string page = blockPage(std::nullopt);
        const size_t begin = page.find("<svg");
        const size_t end = page.find("</svg>", begin);
        if (begin == std::string::npos || end == std::string::npos) return std::string();
        return page.substr(begin, end + 6 - begin);
    }();
    return mark;
}

// The mark's letter: the product name's initial, lower case.
std::string markLetter() {
    return std::string(1, char(appName[0] - 'A' + 'a'));
}

}  // namespace

std::string browserPage(std::string_view name, std::string_view line, std::string_view back,
                        std::string_view token, bool tray) {
    const std::string n = htmlEscape(name);
    std::string page;
    const auto add = [&page](std::string_view text) {
        page += text;
        page += '\n';
    };
    add("<!doctype html>");
    add("<html lang=\"en\"><head><meta charset=\"utf-8\"><meta name=\"viewport\" "
        "content=\"width=device-width,initial-scale=1\">");
    add("<title>Tarrow: " + n + "</title>");
    add("<style>");
    add("@font-face{font-family:\"Apfel Grotezk\";src:url(/font/apfel-grotezk-700.ttf) "
        "format(\"truetype\");font-weight:700;font-display:block}");
    add("@font-face{font-family:\"Apfel Grotezk\";src:url(/font/apfel-grotezk-400.ttf) "
        "format(\"truetype\");font-weight:400;font-display:block}");
    add(":root{--night:#16131C;--paper:#F3EEF6;--ash:#ADA4B6;--pink:#FF5C93;--pink-hover:#"
        "FF85AE;color-scheme:dark}");
    add("html{background:var(--night);color:var(--paper);font:400 20px/1.5 \"Apfel "
        "Grotezk\",-apple-system,BlinkMacSystemFont,\"Helvetica Neue\",Arial,sans-serif;-"
        "webkit-text-size-adjust:100%}");
    add("body{margin:0;min-height:100vh;display:grid;grid-template-columns:minmax(0,42rem);"
        "align-items:center;padding:10vh clamp(24px,8vw,128px);box-sizing:border-box}");
    add("main{min-width:0}");
    add("::selection{background:var(--pink);color:var(--night)}");
    add(".mark{width:44px;height:44px;display:block;margin:0 0 clamp(32px,7vh,72px)}");
    add("h1{font-weight:700;font-size:clamp(3rem,9vw,6.4rem);line-height:1;letter-spacing:-."
        "025em;margin:0 0 .45em}");
    add("h1 .site{display:block;overflow-wrap:anywhere}");
    add(".now{position:relative;display:inline-block;line-height:1}");
    add(".now::after{content:\"\";position:absolute;left:-.064em;right:-.064em;top:.534em;"
        "height:.112em;border-radius:.056em;background:var(--pink)}");
    add(".lead{font-size:1.2rem;max-width:32rem;margin:0}");
    add(".lead b{font-weight:700}");
    add(".how{color:var(--ash);margin:1.2rem 0 0;max-width:32rem}");
    add(".how b{color:var(--paper);font-weight:700}");
    add("a{color:var(--pink);text-decoration-thickness:.08em;text-underline-offset:.18em}");
    add("a:hover{color:var(--pink-hover)}");
    add(":focus-visible{outline:3px solid var(--paper);outline-offset:4px}");
    add("small{display:block;color:var(--ash);font-size:.9rem;line-height:1.5;margin-top:"
        "clamp(40px,8vh,88px);max-width:30rem}");
    add("[hidden]{display:none!important}");
    add("</style></head><body><main>");
    add(markSvg());
    add("<h1><span class=\"site\">" + n + "?</span><span class=\"now\">Tarrow</span>.</h1>");
    add("<p class=\"lead\" id=\"line\"><b>Tarrow</b> keeps this site closed " + htmlEscape(line) +
        ".</p>");
    add("<p class=\"how\" id=\"how\">" +
        machineText(machine::pageHowNoTray, tray, {{"letter", markLetter()}}) + "</p>");
    add("<p class=\"how\" id=\"open\" hidden><a href=\"" + htmlEscape(back) + "\">Go to " + n +
        "</a></p>");
    add("<small>" + machineText(machine::pageFooter) + "</small>");
    add("</main>");
    add("<script>");
    add("const T = " + jsString(token) + ", BACK = " + jsString(back) + ";");
    add("const $ = id => document.getElementById(id);");
    add(machineText(machine::pageScriptNote));
    add("const timer = setInterval(async () => {");
    add("  try {");
    add("    const r = await fetch('/status?t=' + T, {cache: 'no-store'});");
    add("    if (!r.ok || await r.text() !== 'open') return;");
    add("  } catch (e) { return; }");
    add("  clearInterval(timer);");
    add("  $('line').textContent = 'Everything is open again.';");
    add("  $('how').hidden = true;");
    add("  $('open').hidden = !BACK;");
    add("}, 2000);");
    add("</script>");
    page += "</body></html>";
    return page;
}

}  // namespace tarrow
