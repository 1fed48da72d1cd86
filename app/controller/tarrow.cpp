#include "app/controller/tarrow.h"

#include <chrono>

#include "app/controller/log.h"
#include "app/model/state_folder.h"
#include "common/file_io.h"
#include "common/strict_lock_text.h"
#include "platform/paths.h"

namespace tarrow::app {

ControllerPaths systemPaths(const std::string& folder, std::string helperSHA256) {
    return ControllerPaths{
        .folder = folder,
        .request = fileIn(folder, "request/blocked-hosts"),
        .hosts = std::string(systemHostsPath),
        .helper = std::string(helperPath),
        .service = std::string(daemonPlistPath),
        .stillOpen = std::string(stillOpenPath),
        .helperSHA256 = std::move(helperSHA256),
    };
}

namespace {

ControllerHooks withDefaults(ControllerHooks hooks) {
    if (!hooks.now) {
        hooks.now = [] {
            return std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
        };
    }
    if (!hooks.elapsed) hooks.elapsed = [] { return std::chrono::steady_clock::now(); };
    if (!hooks.log) hooks.log = [](std::string_view message) { app::log(message); };
    if (!hooks.post) hooks.post = [](std::function<void()> work) { work(); };
    if (!hooks.exit) hooks.exit = [](int status) { std::exit(status); };
    if (!hooks.writeFile) hooks.writeFile = writeNow;
    return hooks;
}

}  // namespace

Tarrow::Tarrow(Store& store, ControllerPaths paths, StatusItem& item, Calendar calendar,
               ControllerHooks hooks)
    : store_(store),
      paths_(std::move(paths)),
      item_(item),
      calendar_(std::move(calendar)),
      hooks_(withDefaults(std::move(hooks))),
      request_(paths_.request),
      strictRequest_(fileIn(folderOf(paths_.request), std::string(strictRequestName))),
      hosts_(paths_.hosts),
      attempts_(paths_.folder, hooks_.log),
      stillOpen_(paths_.stillOpen),
      alive_(std::make_shared<bool>(true)) {
    item_.setToolTip(std::string(appName), std::string(appName), "");
    item_.setMark(false);
    attempts_.writeFile = hooks_.writeFile;
    std::weak_ptr<bool> alive = alive_;
    store_.changed = [this, alive] {
        if (!alive.expired()) tick();
    };
    addBuiltInCommands();
    if (hooks_.watchHits) hooks_.watchHits();
}

Tarrow::~Tarrow() {
    store_.changed = nullptr;
}

void Tarrow::addCommand(std::string word, CommandAction action, bool logged) {
    if (logged) {
        unlogged_.erase(word);
    } else {
        unlogged_.insert(word);
    }
    commands_[std::move(word)] = std::move(action);
}

void Tarrow::addBuiltInCommands() {
    addCommand("on", [this](const Command&, Instant now) {
        store_.setConfig(switched(store_.config(), true, now, calendar_));
    });
    addCommand("off", [this](const Command&, Instant) { okayNow("command"); });
    addCommand("for", [this](const Command& command, Instant now) {
        if (command.words.size() < 2) return;
        if (std::optional<int> minutes = lockMinutes(command.words[1])) {
            store_.setConfig(lockedFor(store_.config(), *minutes, now));
        }
    });
    addCommand("lock", [this](const Command& command, Instant now) {
        if (command.words.size() < 2) return;
        if (std::optional<int> minutes = strictLockMinutes(command.words[1])) {
            store_.setConfig(lockedFor(store_.config(), *minutes, now, true));
        } else {
            hooks_.log("lock: minutes must be a whole number from 1 to " +
                       std::to_string(maxStrictLockMinutes));
        }
    });
    // Changes nothing; the sender reads the state file written after it.
    addCommand("status", [](const Command&, Instant) {});
    addCommand("suggest", [this](const Command&, Instant) { store_.loadSuggestions(true); });
    addCommand("forget", [this](const Command&, Instant now) {
        attempts_.forget();
        keepAttempts(now);
    });
}

void Tarrow::takeCommand(Instant now) {
    std::optional<std::string> text = takeCommandText(fileIn(paths_.folder, "command"));
    // A sender waits for the state file written at the end of this pass.
    if (text && runCommand(*text, now)) commandTaken_ = true;
}

bool Tarrow::runCommand(std::string_view text, Instant now) {
    std::optional<Command> command = parseCommand(text);
    if (!command) return false;
    auto action = commands_.find(command->words.front());
    if (action == commands_.end()) return false;
    action->second(*command, now);
    if (!unlogged_.contains(command->words.front())) hooks_.log("command: " + command->text);
    return true;
}

void Tarrow::keepAttempts(Instant now) {
    attempts_.save(now, calendar_);
    SiteAttempts week = attempts_.week(now, calendar_);
    if (week != store_.weekAttempts()) store_.setWeekAttempts(std::move(week));
}

void Tarrow::keepStillOpen() {
    logFailure(stillOpenFailure_, "", stillOpen_.update());
    const StillOpen& open = stillOpen_.open();
    if (open != loggedOpen_) {
        for (const auto& [name, reason] : open) {
            auto before = loggedOpen_.find(name);
            if (before == loggedOpen_.end() || before->second != reason)
                hooks_.log("still open: " + name + " (" + reason + ")");
        }
        loggedOpen_ = open;
    }
    // Mapped every tick: a site added or removed changes the rows as much as the file.
    SiteOpenNames bySite = openNamesBySite(store_.config().sites, open);
    if (bySite != store_.stillOpen()) store_.setStillOpen(std::move(bySite));
}

void Tarrow::emptyRequest() {
    logFailure(emptyFailure_, "cannot empty the request: ", request_.empty());
}

void Tarrow::unblockAndExit(std::string_view reason) {
    emptyRequest();
    hooks_.log(reason);
    hooks_.exit(0);
}

void Tarrow::logFailure(std::optional<std::string>& logged, std::string_view what,
                        const Status& status) {
    if (status.ok()) {
        logged.reset();
        return;
    }
    std::string line = std::string(what) + status.text();
    if (logged != line) hooks_.log(line);
    logged = std::move(line);
}

}  // namespace tarrow::app
