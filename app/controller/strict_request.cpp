// The app's side of a strict lock: the strict request beside the request file, which
// the helper takes the lock from.

#include "app/controller/tarrow.h"
#include "common/strict_lock_text.h"

namespace tarrow::app {

void Tarrow::keepStrictRequest(const Evaluation& evaluation,
                               const std::vector<std::string>& names) {
    const Config& config = store_.config();
    if (!evaluation.strict) {
        if (strictRequest_.last() && !strictRequest_.last()->empty())
            logFailure(strictFailure_, "cannot empty the strict request: ", strictRequest_.empty());
        return;
    }
    Result<RequestWriter::Outcome> outcome =
        strictRequest_.update(strictLockText(*config.strictUntil, std::nullopt, names));
    logFailure(strictFailure_, "cannot write the strict request: ", outcome.status());
    if (outcome && *outcome == RequestWriter::Outcome::written)
        hooks_.log("strict lock until " + isoText(*config.strictUntil));
}

}  // namespace tarrow::app
