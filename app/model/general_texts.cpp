#include "app/model/general_texts.h"

#include "platform/paths.h"

namespace tarrow {

namespace {

const std::string product(appName);

}  // namespace

std::string loginTitle() {
    return "Start " + product + " at login";
}

std::string startedByTip(std::string_view unit, Desktop desktop) {
    if (desktop == Desktop::mac) return "Started by the LaunchAgent de.brightloom.tarrow.";
    return "Started by the systemd user unit " + std::string(unit) + ".";
}

std::string agentName(std::string_view unit, Desktop desktop) {
    if (desktop == Desktop::mac) return "LaunchAgent";
    return "systemd user unit " + std::string(unit);
}

std::string noticeTitle() {
    return "Show " + product + "\u2019s page when a blocked site is opened";
}

std::string noticeExplanation(Desktop desktop) {
    if (desktop == Desktop::mac)
        return "The tab gets " + product +
               "\u2019s page instead of a connection error, also a tab that was open already. "
               "Other apps get a card in the middle of the screen. macOS asks once per browser.";
    // Tarrow's extension shows the page in the Chromium family; others get the card.
    return "Chromium, Chrome, Brave, Edge and Vivaldi show " + product +
           "\u2019s page instead of a connection error, also in a tab that was open already, "
           "after their next start. Other browsers get a card in the middle of the screen.";
}

std::string suggestExplanation(Desktop desktop) {
    const char* where = desktop == Desktop::mac ? "this Mac" : "this computer";
    return std::string("Sites lists the sites you visit most, read from the browsers on ") + where +
           " when you open it. Mail, logins, work tools and search engines are left out. Nothing "
           "is stored or sent.";
}

std::string privacyParagraph(Desktop desktop) {
    const bool mac = desktop == Desktop::mac;
    return "Quitting " + product + " unblocks every site. " + product + " blocks through " +
           (mac ? "your Mac\u2019s" : "this computer\u2019s") +
           " hosts file, so every browser follows the same list. It counts how often you try "
           "a blocked site, per day, and keeps the counts for 90 days. No account, no cloud, "
           "nothing about you leaves " +
           (mac ? "this Mac." : "this computer.");
}

std::string versionLine(std::string_view version) {
    return product + " " + std::string(version);
}

std::string aboutTitle() {
    return "About " + product;
}

std::string welcomeHeadline(Desktop desktop, bool tray) {
    if (desktop == Desktop::mac) return product + " lives in your menu bar";
    return product + (tray ? " lives in the panel" : " runs in the background");
}

std::string welcomeBody() {
    return "To block sites in every browser, " + product +
           " needs your password once. After that it never asks again.";
}

std::string welcomeWhere(Desktop desktop, bool tray) {
    if (desktop == Desktop::mac)
        return "You find " + product +
               " at the top right of your screen. Switch it on there, or let a schedule do it.";
    if (!tray)
        return "You find " + product +
               " in the applications menu: starting it there opens its settings. Switch it on "
               "there, or let a schedule do it.";
    return "You find " + product +
           " in the panel, among the status icons. Switch it on there, or let a schedule do it.";
}

}  // namespace tarrow
