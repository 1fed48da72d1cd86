#include "app/controller/attempts_mode.h"

#include <cerrno>

#include "app/model/attempts_json.h"
#include "app/model/attempts_texts.h"
#include "app/model/state_folder.h"
#include "common/file_io.h"

namespace tarrow::app {

int printAttempts(std::FILE* out, std::FILE* err, const std::string& folder, Instant now,
                  const Calendar& calendar) {
    const std::string path = fileIn(folder, "attempts.json");
    AttemptCounts counts;
    if (Result<std::string> text = readRegularFile(path)) {
        AttemptsReading reading = decodeAttempts(*text);
        if (!reading.counts) {
            // The running app sets such a file aside when it starts.
            std::fprintf(err, "cannot read %s: %s\n", path.c_str(), reading.problem.c_str());
            return 1;
        }
        counts = std::move(*reading.counts);
    } else if (text.status().error() != ENOENT) {
        std::fprintf(err, "%s\n", text.status().text().c_str());
        return 1;
    }
    const std::string report = attemptsReport(counts, localDay(now, calendar));
    std::fputs(report.c_str(), out);
    return std::fflush(out) == 0 ? 0 : 1;
}

}  // namespace tarrow::app
