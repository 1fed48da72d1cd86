#include "app/model/config.h"

#include "app/model/uuid.h"

namespace tarrow {

Site Site::named(std::string domain, bool enabled) {
    return Site{newUuid(), std::move(domain), enabled};
}

Schedule Schedule::make(bool enabled, std::set<int> days, int start, int end) {
    return Schedule{newUuid(), enabled, std::move(days), start, end};
}

const Config& Config::initial() {
    // The first three sites are the popular-site rows YouTube, Bild and Google News.
    static const Config value(
        {Site::named("youtube.com"), Site::named("bild.de"), Site::named("news.google.com")},
        {Schedule::make(false, {2, 3, 4, 5, 6}, 480, 720)});
    return value;
}

}  // namespace tarrow
