#include <gtest/gtest.h>

#include "app/browser/page_routes.h"
#include "common/hosts_section.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

const std::string token = "0123abcd4567ef890123abcd4567ef89";

class Routes : public ::testing::Test {
  protected:
    void SetUp() override {
        test::writeFile(dir / "fonts/apfel-grotezk-latin-700-normal.ttf", "BOLD");
        test::writeFile(dir / "hosts", "127.0.0.1 localhost\n");
        setup.port = 47112;
        setup.token = token;
        setup.hostsPath = dir / "hosts";
        setup.fontFolder = dir / "fonts";
    }

    // The status line of a plain answer, or "page" when the page must be made.
    std::string statusOf(const std::string& request) {
        Routed r = route(request, setup);
        if (std::holds_alternative<PageWanted>(r)) return "page";
        return std::get<PageAnswer>(r).status;
    }

    static std::string get(const std::string& target, const std::string& host = "127.0.0.1:47112") {
        return "GET " + target + " HTTP/1.1\r\nHost: " + host + "\r\nAccept: */*\r\n\r\n";
    }

    test::TempFolder dir;
    PageSetup setup;
};

TEST_F(Routes, HostMustNameThisServerExactly) {
    struct Case {
        std::string request, status;
    };
    const Case cases[] = {
        {get("/status?t=" + token), "200 OK"},
        {get("/status?t=" + token, "localhost:47112"), "421 Misdirected Request"},
        {get("/status?t=" + token, "127.0.0.1:47110"), "421 Misdirected Request"},
        {get("/status?t=" + token, " \t127.0.0.1:47112  "), "200 OK"},  // trimmed
        {"GET /status?t=" + token + " HTTP/1.1\r\nhOsT:127.0.0.1:47112\r\n\r\n", "200 OK"},
        {"GET /status?t=" + token + " HTTP/1.1\r\nAccept: */*\r\n\r\n", "421 Misdirected Request"},
        // Two Host lines, even the same one twice: proxies disagree on which counts.
        {"GET /status?t=" + token +
             " HTTP/1.1\r\nHost: 127.0.0.1:47112\r\nHost: 127.0.0.1:47112\r\n\r\n",
         "421 Misdirected Request"},
        // The Host check comes before everything else, the method included.
        {"POST /blocked?site=youtube.com HTTP/1.1\r\nHost: x\r\n\r\n", "421 Misdirected Request"},
        // Absolute-form targets must name this server as well.
        {get("http://127.0.0.1:47112/status?t=" + token), "200 OK"},
        {get("http://evil.test/status?t=" + token), "421 Misdirected Request"},
        {get("http://127.0.0.1:47110/status?t=" + token), "421 Misdirected Request"},
        {get("http://user@127.0.0.1:47112/status?t=" + token), "421 Misdirected Request"},
        {get("https://127.0.0.1:47112/status?t=" + token), "421 Misdirected Request"},
        {get("//evil.test/status?t=" + token), "421 Misdirected Request"},
    };
    for (const Case& c : cases) EXPECT_EQ(statusOf(c.request), c.status) << c.request;
}

TEST_F(Routes, MalformedHeadsAreBadRequests) {
    const std::string cases[] = {
        "GET\r\nHost: 127.0.0.1:47112\r\n\r\n",
        "GET / HTTP/1.1\r\nHost: 127.0.0.1:47112\r\nX: \xFF\r\n\r\n",
        "GET / HTTP/1.1\r\nHost: 127.0.0.1:47112\r\n",  // no end of head
    };
    for (const auto& c : cases) EXPECT_EQ(statusOf(c), "400 Bad Request") << c;
}

TEST_F(Routes, RoutesMethodsAndPaths) {
    struct Case {
        std::string request, status;
    };
    const Case cases[] = {
        {get("/blocked?site=youtube.com&back=https%3A%2F%2Fyoutube.com%2F"), "page"},
        {"POST /blocked?site=youtube.com HTTP/1.1\r\nHost: 127.0.0.1:47112\r\n\r\n",
         "404 Not Found"},
        {"HEAD /status?t=" + token + " HTTP/1.1\r\nHost: 127.0.0.1:47112\r\n\r\n", "404 Not Found"},
        {get("/Blocked?site=youtube.com"), "404 Not Found"},
        {get("/font/../../etc/passwd"), "404 Not Found"},
        {get("/<script>"), "404 Not Found"},  // does not parse: no path
        {get("/blocked?site="), "400 Bad Request"},
        {get("/blocked?site=%3Cscript%3E.com"), "400 Bad Request"},
        {get("/blocked?site=evil.com&site=youtube.com"), "page"},  // the later one counts
        {get("/blocked?site=youtube.com&site=bad_name"), "400 Bad Request"},
        {"GET  /status?t=" + token + "   HTTP/1.1\r\nHost: 127.0.0.1:47112\r\n\r\n", "200 OK"},
    };
    for (const Case& c : cases) EXPECT_EQ(statusOf(c.request), c.status) << c.request;
}

TEST_F(Routes, BackAddressIsKeptOnlyForTheWeb) {
    struct Case {
        std::string query, back;
    };
    const Case cases[] = {
        {"back=https%3A%2F%2Fwww.youtube.com%2Fwatch%3Fv%3D1", "https://www.youtube.com/watch?v=1"},
        {"back=HTTP%3A%2F%2Fyoutube.com%2F", "HTTP://youtube.com/"},
        {"back=javascript%3Aalert(1)", ""},
        {"back=%2F%2Fevil.test%2F", ""},                        // no scheme
        {"", ""},                                               // none given
        {"back=https%3A%2F%2Fa.test%2F%22onmouseover%3D", ""},  // not a valid address
    };
    for (const Case& c : cases) {
        Routed r = route(get("/blocked?site=youtube.com&" + c.query), setup);
        ASSERT_TRUE(std::holds_alternative<PageWanted>(r)) << c.query;
        EXPECT_EQ(std::get<PageWanted>(r).site, "youtube.com");
        EXPECT_EQ(std::get<PageWanted>(r).back, c.back) << c.query;
    }
}

TEST_F(Routes, StatusNeedsTheTokenAndReadsTheHostsFile) {
    struct Case {
        std::string target, status, body;
    };
    const Case cases[] = {
        {"/status", "403 Forbidden", ""},
        {"/status?t=" + std::string(32, '0'), "403 Forbidden", ""},
        {"/status?t=" + token + "&t=wrong", "403 Forbidden", ""},
        {"/status?t=wrong&t=" + token, "200 OK", "open"},
        {"/status?t=" + token, "200 OK", "open"},
    };
    for (const Case& c : cases) {
        Routed r = route(get(c.target), setup);
        ASSERT_TRUE(std::holds_alternative<PageAnswer>(r));
        const auto& a = std::get<PageAnswer>(r);
        EXPECT_EQ(a.status, c.status) << c.target;
        EXPECT_EQ(a.body, c.body) << c.target;
        EXPECT_EQ(a.cache, "no-store");
        EXPECT_EQ(a.type, "text/plain; charset=utf-8");
    }
    test::writeFile(dir / "hosts",
                    hostsFile("127.0.0.1 localhost\n", {"youtube.com", "www.youtube.com"}));
    EXPECT_EQ(std::get<PageAnswer>(route(get("/status?t=" + token), setup)).body, "blocked");
}

// The blocked names go to Tarrow's extension only: Chromium sends its requests without
// an Origin and with "Sec-Fetch-Site: none"; any page's request says where it is from.
TEST_F(Routes, BlockingAnswersTheExtensionOnly) {
    const std::string id(32, 'a');
    setup.extensionId = id;
    test::writeFile(dir / "hosts",
                    hostsFile("127.0.0.1 localhost\n", {"youtube.com", "www.youtube.com"}));
    const std::string names =
        R"({"app":"Tarrow","names":["www.youtube.com","youtube.com"],"page":true})";
    struct Case {
        std::string headers, status, body;
    };
    const Case cases[] = {
        {"Sec-Fetch-Site: none\r\n", "200 OK", names},
        {"", "200 OK", names},
        {"Origin: chrome-extension://" + id + "\r\nSec-Fetch-Site: none\r\n", "200 OK", names},
        {"Origin: chrome-extension://" + std::string(32, 'b') + "\r\n", "403 Forbidden", ""},
        {"Origin: https://evil.test\r\n", "403 Forbidden", ""},
        {"Origin: null\r\n", "403 Forbidden", ""},
        {"Sec-Fetch-Site: cross-site\r\n", "403 Forbidden", ""},  // a page's no-cors request
        {"Sec-Fetch-Site: same-site\r\n", "403 Forbidden", ""},
        {"Sec-Fetch-Site: none\r\nSec-Fetch-Site: none\r\n", "403 Forbidden", ""},
    };
    for (const Case& c : cases) {
        const std::string request =
            "GET /blocking HTTP/1.1\r\nHost: 127.0.0.1:47112\r\n" + c.headers + "\r\n";
        const PageAnswer a = std::get<PageAnswer>(route(request, setup));
        EXPECT_EQ(a.status, c.status) << c.headers;
        EXPECT_EQ(a.body, c.body) << c.headers;
    }
    EXPECT_EQ(statusOf("GET /blocking HTTP/1.1\r\nHost: localhost:47112\r\n\r\n"),
              "421 Misdirected Request");
    setup.extensionId.clear();  // not known: no Origin is the extension's
    EXPECT_EQ(statusOf("GET /blocking HTTP/1.1\r\nHost: 127.0.0.1:47112\r\nOrigin: "
                       "chrome-extension://" +
                       id + "\r\n\r\n"),
              "403 Forbidden");
    // The page switch off: the extension is told, and learns no names.
    setup.pageSwitch->store(false);
    const PageAnswer off = std::get<PageAnswer>(route(get("/blocking"), setup));
    EXPECT_EQ(off.body, R"({"app":"Tarrow","names":[],"page":false})");
    EXPECT_EQ(off.type, "application/json");
}

TEST_F(Routes, FontsAreServedFromTheFolderOrNotFound) {
    Routed bold = route(get("/font/apfel-grotezk-700.ttf"), setup);
    ASSERT_TRUE(std::holds_alternative<PageAnswer>(bold));
    const PageAnswer& a = std::get<PageAnswer>(bold);
    EXPECT_EQ((std::vector<std::string>{a.status, a.type, a.body, a.cache}),
              (std::vector<std::string>{"200 OK", "font/ttf", "BOLD", "max-age=86400"}));
    for (const char* weight : {"400", "500"}) {  // a missing file, a weight never served
        EXPECT_EQ(statusOf(get(std::string("/font/apfel-grotezk-") + weight + ".ttf")),
                  "404 Not Found");
    }
    setup.fontFolder.clear();
    EXPECT_EQ(statusOf(get("/font/apfel-grotezk-700.ttf")), "404 Not Found");
}

TEST(AnswerBytes, WritesTheExactHead) {
    const std::string bytes =
        answerBytes(PageAnswer{"403 Forbidden", "text/plain; charset=utf-8", "", "no-store"});
    EXPECT_EQ(bytes,
              "HTTP/1.1 403 Forbidden\r\nContent-Type: text/plain; charset=utf-8\r\n"
              "Content-Length: 0\r\nCache-Control: no-store\r\n"
              "X-Frame-Options: DENY\r\nReferrer-Policy: no-referrer\r\n"
              "X-Content-Type-Options: nosniff\r\n"
              "Content-Security-Policy: default-src 'self'; style-src 'unsafe-inline'; "
              "script-src 'unsafe-inline'; frame-ancestors 'none'\r\n"
              "Connection: close\r\n\r\n");
    const std::string page = answerBytes(pageAnswer("h\xC3\xA9"));
    EXPECT_NE(page.find("Content-Length: 3\r\n"), std::string::npos);  // bytes, not characters
    EXPECT_NE(page.find("Content-Type: text/html; charset=utf-8\r\n"), std::string::npos);
    EXPECT_TRUE(page.ends_with("\r\n\r\nh\xC3\xA9"));
}

TEST(SameSecret, ComparesWholeStrings) {
    EXPECT_TRUE(sameSecret("abc", "abc") && sameSecret("", ""));
    for (const std::string& other : {std::string("abd"), std::string("ab"), std::string("abcd"),
                                     std::string(), std::string("abc\0", 4)}) {
        EXPECT_FALSE(sameSecret(other, "abc")) << other;
    }
}

}  // namespace
}  // namespace tarrow
