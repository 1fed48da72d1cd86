// The five-second pass that keeps the request, the helper state and the tray item in
// line with the configuration.

#include <utility>

#include "app/controller/tarrow.h"
#include "app/model/site_names.h"
#include "app/model/state_folder.h"
#include "app/model/texts.h"
#include "common/file_io.h"
#include "platform/paths.h"

namespace tarrow::app {

namespace {

// Texts that replace the ordinary status line while blocking is on.
const std::string noSiteStatus = "Tarrow \u2013 but no site is switched on";
const std::string stuckStatus = "Blocking isn\u2019t working right now";
const std::string missingStatus = "Not blocking \u2013 set up needed";

std::string joined(const std::vector<std::string>& parts, std::string_view separator) {
    std::string text;
    for (const std::string& part : parts) {
        if (!text.empty()) text.append(separator);
        text.append(part);
    }
    return text;
}

}  // namespace

std::string stateText(const std::string& status, Helper helper, size_t blockedCount) {
    return status + "\nhelper: " + helperName(helper) +
           "\nblocked now: " + std::to_string(blockedCount) + " host names";
}

void Tarrow::tick() {
    if (busy_) return;
    busy_ = true;
    if (hooks_.newCalendar) {
        if (std::optional<Calendar> calendar = hooks_.newCalendar()) {
            calendar_ = std::move(*calendar);
            hooks_.log("time zone: " + calendar_.zone());
        }
    }
    const Instant now = hooks_.now();
    takeCommand(now);
    if (hooks_.watchHits) hooks_.watchHits();
    expireTimedStates(now);
    followWait(now);

    const Evaluation evaluation = evaluate(store_.config(), now, calendar_);
    const Wanted& wanted = wantedFor(evaluation.on);
    writeRequest(wanted.text, evaluation);
    keepStrictRequest(evaluation, wanted.names);

    // Comparing hundreds of names is skipped when neither side changed since last time.
    const std::set<std::string>& blocked = hosts_.blocked();
    if (hosts_.readLastTime() || wantedChanged_ || !same_) same_ = blocked == wanted.set;
    const bool same = *same_;
    if (same) {
        mismatchSince_.reset();
    } else if (!mismatchSince_) {
        mismatchSince_ = Since{now, hooks_.elapsed()};
    }
    const Helper helper = helperState();
    if (store_.helper() != helper) {
        store_.setHelper(helper);
        hooks_.log(std::string("helper: ") + helperName(helper));
    }
    const bool blocking = !wanted.names.empty() && same;
    const std::string status = statusFor(evaluation, now, helper);
    if (store_.status() != status) store_.setStatus(status);

    if (blocking) {
        if (wantedChanged_ || blockingNames_.empty()) blockingNames_ = wanted.set;
        if (shownBlocking_ != true && hooks_.sweepTabs) {
            std::weak_ptr<bool> alive = alive_;
            hooks_.post([this, alive] {
                if (!alive.expired()) hooks_.sweepTabs();
            });
        }
    } else {
        blockingNames_.clear();
    }
    show(blocking, helper, status);
    writeState(status, helper, blocked.size());
    keepAttempts(now);
    keepStillOpen();
    busy_ = false;
}

void Tarrow::expireTimedStates(Instant now) {
    auto expired = [now](const std::optional<Instant>& until) { return until && *until <= now; };
    const Config& current = store_.config();
    if (!expired(current.onUntil) && !expired(current.offUntil) && !expired(current.strictUntil))
        return;
    Config config = store_.config();
    if (config.onUntil && *config.onUntil <= now) {
        config.onUntil.reset();
        hooks_.log("timer over");
    }
    if (config.offUntil && *config.offUntil <= now) config.offUntil.reset();
    if (config.strictUntil && *config.strictUntil <= now) {
        config.strictUntil.reset();
        hooks_.log("strict lock over");
    }
    if (config != store_.config()) store_.setConfig(std::move(config));
}

const Tarrow::Wanted& Tarrow::wantedFor(bool on) {
    // The names depend only on the switch and the sites; a tick that changed neither
    // keeps the previous list instead of building hundreds of names again.
    const std::vector<Site>& sites = store_.config().sites;
    wantedChanged_ = !wanted_ || wanted_->on != on || wanted_->sites != sites;
    if (!wantedChanged_) return *wanted_;
    Wanted wanted{on, sites, {}, {}, {}};
    if (on) {
        for (const Site& site : sites) {
            if (!site.enabled) continue;
            for (std::string& name : hostNames(site.domain)) {
                if (wanted.set.insert(name).second) wanted.names.push_back(std::move(name));
            }
        }
    }
    wanted.text = requestText(wanted.names);
    wanted_ = std::move(wanted);
    return *wanted_;
}

void Tarrow::writeRequest(const std::string& text, const Evaluation& evaluation) {
    Result<RequestWriter::Outcome> outcome = request_.update(text);
    if (!outcome) {
        hooks_.log("cannot write the request: " + outcome.status().text());
        return;
    }
    if (*outcome != RequestWriter::Outcome::written) return;
    if (!evaluation.on) {
        hooks_.log("okay, now");
        return;
    }
    std::vector<std::string> domains;
    for (const Site& site : store_.config().sites) {
        if (site.enabled) domains.push_back(site.domain);
    }
    hooks_.log("tarrow (" + joined(domains, ", ") + ")");
}

Helper Tarrow::helperState() {
    if (!helperInstalled(paths_.helper, paths_.service)) return Helper::missing;
    std::optional<std::string> hash = installedHelperHash(helperHash_, paths_.helper);
    if (!hash || *hash != paths_.helperSHA256) return Helper::outdated;
    if (mismatchSince_ && hooks_.elapsed() - mismatchSince_->elapsed > stuckAfter) {
        return Helper::stuck;
    }
    return Helper::working;
}

std::string Tarrow::statusFor(const Evaluation& evaluation, Instant now, Helper helper) const {
    if (opensAt_) return openingLine(*opensAt_, now);
    if (!evaluation.on) return statusLine(evaluation, now, calendar_);
    bool anyEnabled = false;
    for (const Site& site : store_.config().sites) anyEnabled = anyEnabled || site.enabled;
    if (!anyEnabled) return noSiteStatus;
    if (helper == Helper::stuck) return stuckStatus;
    if (helper == Helper::missing) return missingStatus;
    return statusLine(evaluation, now, calendar_);
}

void Tarrow::show(bool blocking, Helper helper, const std::string& status) {
    if (shownBlocking_ != blocking) {
        item_.setMark(blocking);
        shownBlocking_ = blocking;
    }
    item_.setDimmed(helper == Helper::missing);
    const std::string tip = std::string(appName) + " \u2013 " + status;
    if (item_.toolTip() != tip) item_.setToolTip(tip, std::string(appName), status);
}

void Tarrow::writeState(const std::string& status, Helper helper, size_t blockedCount) {
    std::string text = stateText(status, helper, blockedCount);
    const bool answer = std::exchange(commandTaken_, false);
    if (text == lastState_ && !answer) return;
    AtomicWrite how;
    how.sync = false;  // a side file: losing it in a crash costs nothing
    lastState_ = text;
    std::weak_ptr<bool> alive = alive_;
    hooks_.writeFile({fileIn(paths_.folder, "state"), std::move(text), how,
                      [this, alive](const Status& written) {
                          if (alive.expired()) return;
                          logFailure(stateFailure_, "cannot write the state file: ", written);
                          // Forgotten, so that the next tick writes it again.
                          if (!written.ok()) lastState_.clear();
                      }});
}

}  // namespace tarrow::app
