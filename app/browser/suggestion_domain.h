#pragma once
// Which site a visited host counts for, and the hosts that are never suggested.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tarrow {

// Hosts beginning with one of these are tools, not pastimes.
inline constexpr std::array<std::string_view, 32> workPrefixes = {
    "mail.",     "webmail.",   "calendar.", "drive.",     "docs.", "sheets.",    "slides.",
    "meet.",     "accounts.",  "account.",  "login.",     "auth.", "sso.",       "id.",
    "admin.",    "console.",   "portal.",   "intranet.",  "vpn.",  "jira.",      "confluence.",
    "wiki.",     "git.",       "search.",   "translate.", "maps.", "analytics.", "ads.",
    "business.", "dashboard.", "app.",      "my."};

// A host containing one of these anywhere is a work tool: office and mail suites, online
// office and collaboration, code hosting, team chat, notes and design, video meetings,
// AI assistants, accounting and tax, payments, banks, translation, a developer question
// site, a network provider, a screen recorder, and the machine itself.
inline constexpr std::array<std::string_view, 34> workWords = {
    "office.com",    "outlook",    "gmail",           "microsoftonline", "sharepoint", "onedrive",
    "dropbox",       "trello",     "asana",           "atlassian",       "github",     "gitlab",
    "bitbucket",     "slack",      "teams.microsoft", "notion",          "evernote",   "figma",
    "canva",         "zoom.us",    "webex",           "chatgpt",         "openai",     "claude.ai",
    "quickbooks",    "elster",     "paypal",          "stripe",          "bank",       "deepl",
    "stackoverflow", "cloudflare", "loom.com",        "localhost"};

// General web search engines; the largest one, with its national domains, is matched by
// `isSearchEngineHost` instead.
inline constexpr std::array<std::string_view, 6> searchEngines = {
    "bing.com", "duckduckgo.com", "yahoo.com", "ecosia.org", "startpage.com", "baidu.com"};

// Country endings of two labels, under which a site's own name is the third label.
inline constexpr std::array<std::string_view, 10> twoPartEndings = {
    "co.uk", "org.uk", "ac.uk", "com.au", "co.nz", "co.jp", "com.br", "co.za", "com.tr", "co.in"};

// The largest search engine's domains: its name, a two- or three-letter ending and an
// optional two-letter country code, nothing before or after.
bool isSearchEngineHost(std::string_view host);

// The site a host counts for, or none when it must never be suggested.
std::optional<std::string> suggestionDomain(std::string_view host);

}  // namespace tarrow
