#include "app/model/presets.h"

#include <unicode/locid.h>

#include "app/model/calendar.h"

namespace tarrow {

bool germanShopsFor(std::string_view region) {
    return region == "DE" || region == "AT" || region == "CH";
}

bool germanShops() {
    static const bool value = germanShopsFor(icu::Locale(userLocale().c_str()).getCountry());
    return value;
}

std::vector<Preset> presetsFor(bool german) {
    return {
        {"YouTube", "youtube.com", "Video"},
        {"Netflix", "netflix.com", "Video"},
        {"Twitch", "twitch.tv", "Video"},
        {"Prime Video", "primevideo.com", "Video"},
        {"Disney+", "disneyplus.com", "Video"},
        {"TikTok", "tiktok.com", "Video"},
        {"Instagram", "instagram.com", "Social media"},
        {"Facebook", "facebook.com", "Social media"},
        {"X (Twitter)", "x.com", "Social media"},
        {"Reddit", "reddit.com", "Social media"},
        {"LinkedIn", "linkedin.com", "Social media"},
        {"Threads", "threads.com", "Social media"},
        {"Bluesky", "bsky.app", "Social media"},
        {"Pinterest", "pinterest.com", "Social media"},
        {"Snapchat", "snapchat.com", "Social media"},
        {"Google News", "news.google.com", "News"},
        {"Bild", "bild.de", "News"},
        {"Spiegel", "spiegel.de", "News"},
        {"Zeit", "zeit.de", "News"},
        {"FAZ", "faz.net", "News"},
        {"Süddeutsche", "sueddeutsche.de", "News"},
        {"Welt", "welt.de", "News"},
        {"Tagesschau", "tagesschau.de", "News"},
        {"n-tv", "n-tv.de", "News"},
        {"t-online", "t-online.de", "News"},
        {"Focus", "focus.de", "News"},
        {"Stern", "stern.de", "News"},
        {"Heise", "heise.de", "News"},
        {"Golem", "golem.de", "News"},
        {"Hacker News", "news.ycombinator.com", "News"},
        {"BBC", "bbc.com", "News"},
        {"The Guardian", "theguardian.com", "News"},
        {"New York Times", "nytimes.com", "News"},
        {"Amazon", german ? "amazon.de" : "amazon.com", "Shopping"},
        {"eBay", german ? "ebay.de" : "ebay.com", "Shopping"},
        {"Kleinanzeigen", "kleinanzeigen.de", "Shopping"},
        {"Zalando", "zalando.de", "Shopping"},
        {"Otto", "otto.de", "Shopping"},
        {"IKEA", "ikea.com", "Shopping"},
        {"MediaMarkt", "mediamarkt.de", "Shopping"},
        {"Etsy", "etsy.com", "Shopping"},
        {"AliExpress", "aliexpress.com", "Shopping"},
        {"Temu", "temu.com", "Shopping"},
        {"Kicker", "kicker.de", "Sport"},
        {"Sport1", "sport1.de", "Sport"},
        {"Transfermarkt", "transfermarkt.de", "Sport"},
        {"ESPN", "espn.com", "Sport"},
        {"Steam", "store.steampowered.com", "Games"},
        {"Chess.com", "chess.com", "Games"},
    };
}

const std::vector<Preset>& presets() {
    static const std::vector<Preset> value = presetsFor(germanShops());
    return value;
}

}  // namespace tarrow
