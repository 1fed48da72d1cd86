#pragma once
// The controller: one object for the life of the app that keeps the request, the
// helper state and the tray item in line with the configuration, once per tick.

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "app/controller/command_file.h"
#include "app/controller/helper_identity.h"
#include "app/controller/hosts_readback.h"
#include "app/controller/request_writer.h"
#include "app/controller/status_item.h"
#include "app/controller/still_open_watch.h"
#include "app/model/attempts.h"
#include "app/model/calendar.h"
#include "app/model/evaluation.h"
#include "app/model/instant.h"
#include "app/model/log_fn.h"
#include "app/model/store.h"
#include "common/status.h"

namespace tarrow::app {

// Every path the controller touches, decided once at start-up (tests pass their own).
struct ControllerPaths {
    std::string folder;        // state folder
    std::string request;       // the request file
    std::string hosts;         // the hosts file read back
    std::string helper;        // the installed helper executable
    std::string service;       // its service file
    std::string stillOpen;     // the helper's list of blocked names that still resolve
    std::string helperSHA256;  // digest of the helper this build ships
};
// The real paths for a state folder.
ControllerPaths systemPaths(const std::string& folder, std::string helperSHA256);

// How long the hosts section may differ from the request before the helper is stuck.
inline constexpr std::chrono::seconds stuckAfter{8};

// What the controller needs from its surroundings. Left empty, `now` and `elapsed` are
// the system's clocks, `log` is the app's log, `post` runs the work at once (inside the
// current tick), `exit` ends the process and `writeFile` writes at once; `watchHits` and
// `sweepTabs` do nothing.
struct ControllerHooks {
    std::function<Instant()> now;  // the current instant
    // A clock that only moves forward and stands still while the machine sleeps: the
    // grace period of a lagging hosts file is measured on it, so a wall clock set back
    // cannot hide a helper that does not work, nor can a night of sleep fake one.
    std::function<std::chrono::steady_clock::time_point()> elapsed;
    LogFn log;  // the app's log
    // Runs work later on the main thread: the app posts it to its event loop.
    std::function<void(std::function<void()>)> post;
    std::function<void(int status)> exit;  // end the process
    std::function<void()> watchHits;       // arm the hits watch (browser part)
    std::function<void()> sweepTabs;       // tabs already showing a blocked site
    // A calendar in the system's new time zone when it changed since the last call; the
    // tick asks first thing, so it never works in a zone that is no longer the system's.
    std::function<std::optional<Calendar>()> newCalendar;
    // Where the state file and attempts.json go: the app's writer thread, with results
    // posted back to the main thread. Left empty, they are written at once.
    WriteFile writeFile;
};

class Tarrow {
  public:
    using CommandAction = std::function<void(const Command&, Instant now)>;

    Tarrow(Store& store, ControllerPaths paths, StatusItem& item, Calendar calendar,
           ControllerHooks hooks = {});
    ~Tarrow();
    Tarrow(const Tarrow&) = delete;
    Tarrow& operator=(const Tarrow&) = delete;

    // One pass; a call from inside a pass returns at once.
    void tick();
    // Runs the command file, if there is one.
    void takeCommand(Instant now);
    // Runs a command as if it came in the command file; false for no known word.
    bool runCommand(std::string_view text, Instant now);
    // Adds or replaces the action of a command-file word (the first word, exact case).
    // A word that is not `logged` leaves the log to its action.
    void addCommand(std::string word, CommandAction action, bool logged = true);

    // "Okay, Now" from the menu or the command file (`source` names which, for the log):
    // refused while a strict lock holds; with the wait switched on, the first choice
    // starts the minute's wait and the next one cancels it.
    enum class Opening { opened, refused, waiting, cancelled };
    Opening okayNow(std::string_view source);
    // When the waiting "Okay, Now" opens; none when nothing waits.
    std::optional<Instant> opensAt() const { return opensAt_; }

    // Empties the request, logs the reason and ends the process with status 0.
    void unblockAndExit(std::string_view reason);
    void quit() { unblockAndExit("quit (menu)"); }
    // Empties the request without ending (the will-terminate hook); a failure is logged.
    void emptyRequest();
    // A freshly installed helper gets a fresh grace period.
    void clearMismatch() { mismatchSince_.reset(); }

    // For the menu and the views.
    Store& store() { return store_; }
    // The counts of attempts at blocked sites; the browser side adds hits, the tick
    // writes them.
    Attempts& attempts() { return attempts_; }
    const Calendar& calendar() const { return calendar_; }
    Instant now() const { return hooks_.now(); }
    Evaluation evaluation() const { return evaluate(store_.config(), now(), calendar_); }
    const ControllerPaths& paths() const { return paths_; }
    const std::set<std::string>& blockingNames() const { return blockingNames_; }
    std::optional<bool> shownBlocking() const { return shownBlocking_; }
    const std::string& lastState() const { return lastState_; }
    const std::optional<std::string>& lastRequest() const { return request_.last(); }
    std::optional<Instant> mismatchSince() const {
        return mismatchSince_ ? std::optional<Instant>(mismatchSince_->at) : std::nullopt;
    }
    void log(std::string_view message) const { hooks_.log(message); }

  private:
    void expireTimedStates(Instant now);
    // The names to request, each once, in site order, with their text and their set.
    struct Wanted {
        bool on = false;
        std::vector<Site> sites;
        std::vector<std::string> names;
        std::string text;
        std::set<std::string> set;
    };
    const Wanted& wantedFor(bool on);
    void writeRequest(const std::string& text, const Evaluation& evaluation);
    // Writes the strict request beside the request while a strict lock holds (touched
    // every tick, as the request is), and empties it when none does.
    void keepStrictRequest(const Evaluation& evaluation, const std::vector<std::string>& names);
    // Opens once the wait is over; forgets the wait when blocking ended meanwhile.
    void followWait(Instant now);
    Helper helperState();
    std::string statusFor(const Evaluation& evaluation, Instant now, Helper helper) const;
    void show(bool blocking, Helper helper, const std::string& status);
    void writeState(const std::string& status, Helper helper, size_t blockedCount);
    void addBuiltInCommands();
    // Writes the counts when they changed and gives the views the week's counts.
    void keepAttempts(Instant now);
    // Reads the helper's still-open file when it changed, logs each name newly listed
    // and gives the views the open names per site.
    void keepStillOpen();
    // A failure that lasts is logged when it starts or its reason changes, not on every
    // try; `logged` holds the line last logged for it.
    void logFailure(std::optional<std::string>& logged, std::string_view what,
                    const Status& status);

    Store& store_;
    ControllerPaths paths_;
    StatusItem& item_;
    Calendar calendar_;
    ControllerHooks hooks_;
    std::map<std::string, CommandAction, std::less<>> commands_;
    std::set<std::string, std::less<>> unlogged_;
    bool commandTaken_ = false;  // this pass took a command: the state file is written

    RequestWriter request_;
    RequestWriter strictRequest_;
    std::optional<std::string> strictFailure_;
    std::optional<Instant> opensAt_;
    HostsReadBack hosts_;
    Attempts attempts_;
    StillOpenWatch stillOpen_;
    StillOpen loggedOpen_;  // the listing whose names were last logged
    std::optional<std::string> stillOpenFailure_;
    std::string lastState_;  // the state file's text as last handed to the writer
    std::optional<std::string> stateFailure_, emptyFailure_;
    struct Since {
        Instant at;
        std::chrono::steady_clock::time_point elapsed;
    };
    std::optional<Since> mismatchSince_;
    bool busy_ = false;
    std::optional<bool> shownBlocking_;
    std::optional<HelperHash> helperHash_;
    std::set<std::string> blockingNames_;
    std::optional<Wanted> wanted_;
    bool wantedChanged_ = true;
    std::optional<bool> same_;     // the section matched the wanted names at the last tick
    std::shared_ptr<bool> alive_;  // lets posted work and the store's callback outlive us safely
};

// The state file's text: the status, "helper: <state>", "blocked now: <n> host names".
std::string stateText(const std::string& status, Helper helper, size_t blockedCount);

}  // namespace tarrow::app
