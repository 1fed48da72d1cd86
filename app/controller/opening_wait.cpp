// "Okay, Now" against a strict lock, and the minute's wait before it opens.

#include "app/controller/tarrow.h"
#include "app/model/texts.h"

namespace tarrow::app {

namespace {
constexpr std::chrono::seconds openingWait{60};
}

Tarrow::Opening Tarrow::okayNow(std::string_view source) {
    const Instant now = hooks_.now();
    const Config& config = store_.config();
    const std::string from = " (" + std::string(source) + ")";
    if (strictHolds(config, now)) {
        hooks_.log("okay, now refused: a strict lock holds until " + isoText(*config.strictUntil) +
                   from);
        return Opening::refused;
    }
    if (config.waitToOpen) {
        if (opensAt_) {
            opensAt_.reset();
            hooks_.log("opening cancelled" + from);
            tick();
            return Opening::cancelled;
        }
        opensAt_ = now + openingWait;
        hooks_.log("opening in " + std::to_string(openingWait.count()) + " s" + from);
        tick();
        return Opening::waiting;
    }
    store_.setConfig(switched(config, false, now, calendar_));
    return Opening::opened;
}

void Tarrow::followWait(Instant now) {
    if (!opensAt_) return;
    const Config& config = store_.config();
    if (!evaluate(config, now, calendar_).on || strictHolds(config, now)) {
        opensAt_.reset();  // nothing left to open, or locked meanwhile
        return;
    }
    if (now < *opensAt_) return;
    opensAt_.reset();
    hooks_.log("opened after the wait");
    store_.setConfig(switched(config, false, now, calendar_));
}

}  // namespace tarrow::app
