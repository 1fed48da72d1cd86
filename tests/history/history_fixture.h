#pragma once
// Real history databases in the browsers' own layouts, under a temporary home folder.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarrow::test {

struct FixtureVisit {
    std::optional<std::string> url;  // none: a NULL address
    double daysAgo = 1;
    int times = 1;  // visits at that moment
};

double nowSeconds();

// Creates the database (and its folders) at path with the browser's tables and indexes.
void writeChromiumHistory(const std::string& path, const std::vector<FixtureVisit>& visits,
                          double now, bool timeIndex = true);
void writeFirefoxHistory(const std::string& path, const std::vector<FixtureVisit>& visits,
                         double now);
void writeSafariHistory(const std::string& path, const std::vector<FixtureVisit>& visits,
                        double now);

// Runs SQL on a database, failing the test on an error.
void execute(const std::string& path, const std::string& sql);

void writeFile(const std::string& path, const std::string& bytes);
void makeFolder(const std::string& path, unsigned mode = 0755);

// A fresh folder under /tmp that any user may enter, removed with everything in it.
class TempHome {
  public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

  private:
    std::string path_;
};

// Runs `work` as an unprivileged user and returns what it returned: in a forked child
// that drops to nobody when this process is root, in place otherwise. None when the
// switch to another user is not possible here.
std::optional<std::string> asUnprivileged(const std::function<std::string()>& work);

}  // namespace tarrow::test
