// The page server answers only who may ask (this server's Host, the token, Tarrow's own
// extension), escapes everything it puts in a page, and holds out against clients that
// stall or crowd it.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>

#include "app/browser/browser_page.h"
#include "app/browser/page_escape.h"
#include "app/browser/page_routes.h"
#include "app/browser/page_server.h"
#include "common/hosts_section.h"
#include "tests/support/files.h"
#include "tests/support/tcp_client.h"
#include "tests/support/temp_folder.h"

namespace tarrow {
namespace {

const std::string token = "0123abcd4567ef890123abcd4567ef89";
const std::string blockedHosts =
    hostsFile("127.0.0.1 localhost\n", {"youtube.com", "www.youtube.com"});

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
    // The status line and body of a plain answer; "page" when the page must be made.
    std::string answer(const std::string& request) {
        Routed r = route(request, setup);
        if (auto* page = std::get_if<PageWanted>(&r))
            return "page " + page->site + " " + page->back;
        const auto& a = std::get<PageAnswer>(r);
        return a.status + (a.body.empty() ? "" : " " + a.body);
    }
    static std::string get(const std::string& target, const std::string& more = "",
                           const std::string& host = "Host: 127.0.0.1:47112\r\n") {
        return "GET " + target + " HTTP/1.1\r\n" + host + more + "\r\n";
    }
    test::TempFolder dir;
    PageSetup setup;
};

TEST_F(Routes, HostTokenAndPathDecideTheAnswer) {
    const std::string status = "/status?t=" + token, misdirected = "421 Misdirected Request";
    const std::pair<std::string, std::string> cases[] = {
        {get(status), "200 OK open"},
        {get(status, "", "Host: localhost:47112\r\n"), misdirected},
        {get(status, "", "Host: 127.0.0.1:47110\r\n"), misdirected},
        {get(status, "", "hOsT: \t127.0.0.1:47112  \r\n"), "200 OK open"},
        {get(status, "", ""), misdirected},
        {get(status, "Host: 127.0.0.1:47112\r\n"), misdirected},                // two Host lines
        {"POST /blocked?site=a.com HTTP/1.1\r\nHost: x\r\n\r\n", misdirected},  // Host first
        {get("http://127.0.0.1:47112" + status), "200 OK open"},
        {get("http://evil.test" + status), misdirected},
        {get("//evil.test" + status), misdirected},
        {"GET\r\nHost: 127.0.0.1:47112\r\n\r\n", "400 Bad Request"},
        {get("/", "X: \xFF\r\n"), "400 Bad Request"},
        {"GET / HTTP/1.1\r\nHost: 127.0.0.1:47112\r\n", "400 Bad Request"},  // no end of head
        {"HEAD " + status + " HTTP/1.1\r\nHost: 127.0.0.1:47112\r\n\r\n", "404 Not Found"},
        {get("/Blocked?site=youtube.com"), "404 Not Found"},
        {get("/font/../../etc/passwd"), "404 Not Found"},
        {get("/blocked?site="), "400 Bad Request"},
        {get("/blocked?site=%3Cscript%3E.com"), "400 Bad Request"},
        {get("/blocked?site=evil.com&site=youtube.com"), "page youtube.com "},
        {get("/blocked?site=youtube.com&site=bad_name"), "400 Bad Request"},
        // The way back is kept only for a web address.
        {get("/blocked?site=youtube.com&back=HTTPS%3A%2F%2Fyoutube.com%2Fw%3Fv%3D1"),
         "page youtube.com HTTPS://youtube.com/w?v=1"},
        {get("/blocked?site=youtube.com&back=javascript%3Aalert(1)"), "page youtube.com "},
        {get("/blocked?site=youtube.com&back=%2F%2Fevil.test%2F"), "page youtube.com "},
        {get("/blocked?site=youtube.com&back=https%3A%2F%2Fa.test%2F%22onmouseover%3D"),
         "page youtube.com "},
        // The token, whole and the last one given.
        {get("/status"), "403 Forbidden"},
        {get("/status?t=" + std::string(32, '0')), "403 Forbidden"},
        {get(status + "&t=wrong"), "403 Forbidden"},
        {get("/status?t=wrong&t=" + token), "200 OK open"},
        {get("/font/apfel-grotezk-700.ttf"), "200 OK BOLD"},
        {get("/font/apfel-grotezk-400.ttf"), "404 Not Found"},
    };
    for (const auto& [request, expected] : cases) EXPECT_EQ(answer(request), expected) << request;
    test::writeFile(dir / "hosts", blockedHosts);
    EXPECT_EQ(answer(get(status)), "200 OK blocked");
    ::unlink((dir / "hosts").c_str());  // gone: nothing is blocked any more
    EXPECT_EQ(answer(get(status)), "200 OK open");
}

// The blocked names go to Tarrow's extension only: Chromium sends its requests without an
// Origin and with "Sec-Fetch-Site: none"; any page's request says where it is from.
TEST_F(Routes, BlockedNamesGoToTheExtensionOnly) {
    const std::string id(32, 'a');
    setup.extensionId = id;
    test::writeFile(dir / "hosts", blockedHosts);
    const std::string names =
        R"(200 OK {"app":"Tarrow","names":["www.youtube.com","youtube.com"],"page":true})";
    const std::pair<std::string, std::string> cases[] = {
        {"Sec-Fetch-Site: none\r\n", names},
        {"", names},
        {"Origin: chrome-extension://" + id + "\r\nSec-Fetch-Site: none\r\n", names},
        {"Origin: chrome-extension://" + std::string(32, 'b') + "\r\n", "403 Forbidden"},
        {"Origin: https://evil.test\r\n", "403 Forbidden"},
        {"Origin: null\r\n", "403 Forbidden"},
        {"Sec-Fetch-Site: cross-site\r\n", "403 Forbidden"},
        {"Sec-Fetch-Site: same-site\r\n", "403 Forbidden"},
        {"Sec-Fetch-Site: none\r\nSec-Fetch-Site: none\r\n", "403 Forbidden"},
    };
    for (const auto& [headers, expected] : cases)
        EXPECT_EQ(answer(get("/blocking", headers)), expected) << headers;
    setup.extensionId.clear();  // not known: no Origin is the extension's
    EXPECT_EQ(answer(get("/blocking", "Origin: chrome-extension://" + id + "\r\n")),
              "403 Forbidden");
    setup.pageSwitch->store(false);  // the page switched off: the extension learns no names
    EXPECT_EQ(answer(get("/blocking")), R"(200 OK {"app":"Tarrow","names":[],"page":false})");
    const std::string head = answerBytes(PageAnswer{"403 Forbidden", "text/plain", "", "no-store"});
    for (const char* line : {"X-Frame-Options: DENY", "nosniff", "default-src 'self'",
                             "frame-ancestors 'none'", "Content-Length: 0\r\n"})
        EXPECT_NE(head.find(line), std::string::npos) << line;
    EXPECT_NE(answerBytes(pageAnswer("h\xC3\xA9")).find("Content-Length: 3\r\n"),
              std::string::npos);
}

// Every name built from hostile pieces comes out of each escaping inert and whole.
TEST(PageEscaping, GeneratedHostileNamesComeOutInert) {
    const std::vector<std::string> pieces = {"<",  ">",  "&",        "\"", "'",    "</script>",
                                             "\n", "\\", "\xC3\xA9", "a",  "&amp;"};
    auto unescaped = [](std::string s) {
        for (const auto& [entity, c] : {std::pair{"&lt;", "<"},
                                        {"&gt;", ">"},
                                        {"&quot;", "\""},
                                        {"&#39;", "'"},
                                        {"&amp;", "&"}})
            for (size_t at = 0; (at = s.find(entity, at)) != std::string::npos; ++at)
                s.replace(at, std::strlen(entity), c);
        return s;
    };
    for (const std::string& a : pieces)
        for (const std::string& b : pieces)
            for (const std::string& c : pieces) {
                const std::string name = a + b + c, html = htmlEscape(name), js = jsString(name);
                EXPECT_EQ(html.find_first_of("<>\"'"), std::string::npos) << name;
                EXPECT_EQ(unescaped(html), name);
                EXPECT_EQ(js.find("</"), std::string::npos) << name;
                EXPECT_EQ(js.find('\n'), std::string::npos) << name;
                EXPECT_TRUE(js.size() >= 2 && js.front() == '"' && js.back() == '"') << js;
            }
    const std::string page =
        browserPage("<b>&\"Tom's\"", "until <i>", "https://a.test/\"><script>", "t");
    for (const char* s : {"<title>Tarrow: &lt;b&gt;&amp;&quot;Tom&#39;s&quot;</title>",
                          "href=\"https://a.test/&quot;&gt;&lt;script&gt;\"",
                          "BACK = \"https://a.test/\\\"><script>\";", "in your panel"})
        EXPECT_NE(page.find(s), std::string::npos) << s;
    EXPECT_EQ(page.find(" Mac"), std::string::npos);
    EXPECT_EQ(queryEscape("b\xC3\xBC+/%# \xE2\x80\x93"), "b\xC3\xBC%2B%2F%25%23%20%E2%80%93");
    EXPECT_EQ(queryEscape("\xFF"), "");  // not UTF-8
    EXPECT_EQ(jsString("\xFF\xFE"), "\"\"");
}

// The shared server's limits are proven on their own; here, that the page server sets a
// deadline: half a head, then nothing, is closed unanswered after about 3 s.
TEST(PageServing, AStallingClientIsClosed) {
    PageServerSetup setup;
    setup.onMain = [](std::function<void()> job) { job(); };
    setup.log = [](const std::string&) {};
    setup.hostsPath = "/nonexistent/hosts";
    setup.ports = {uint16_t(20000 + (getpid() % 2000) * 10), 10};
    PageServer server(setup);
    ASSERT_TRUE(server.start());
    test::Client stalling(*server.port());
    ASSERT_TRUE(stalling.send("GET / HTTP/1.1\r\n"));
    const test::Client::Received cut = stalling.receive(std::chrono::seconds(6));
    EXPECT_TRUE(cut.closed && cut.bytes.empty());
    EXPECT_GT(cut.after, std::chrono::milliseconds(2500));
    EXPECT_LT(cut.after, std::chrono::milliseconds(4500));
    EXPECT_EQ(server.counts().accepted, 1u);
    const std::string port = std::to_string(*server.port());
    EXPECT_EQ(server.url("a b", "/"), "http://127.0.0.1:" + port + "/blocked?site=a%20b&back=%2F");
    // Every port taken: said once, however often it is tried.
    std::vector<std::string> logged;
    setup.log = [&logged](const std::string& line) { logged.push_back(line); };
    setup.ports = {*server.port(), 1};
    PageServer second(setup);
    EXPECT_FALSE(second.start() || second.start());
    EXPECT_EQ(logged.size(), 1u);
}

}  // namespace
}  // namespace tarrow
