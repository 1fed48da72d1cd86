#pragma once
// The grey second lines of the Sites tab's rows, and names joined in prose.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/model/site_names.h"
#include "app/model/suggestion.h"

namespace tarrow {

// Under a listed site: the domain when the site has a display name of its own, then
// "also " and its aliases other than the www. and mobile. forms, then how often it was
// tried in the last seven days (`triedLine`), then why it still opens (`openLine`);
// joined by " · ". None when there is nothing to say.
std::optional<std::string> detail(std::string_view domain, int weekTries = 0,
                                  std::string_view locale = {},
                                  const std::vector<OpenName>& open = {});

// For the first of a site's open names: "still opens: <reason>" when it is the domain
// itself, else "still opens: <name> – <reason>"; none when no name is open.
std::optional<std::string> openLine(std::string_view domain, const std::vector<OpenName>& open);

// "tried once this week", "tried twice this week", "tried 14 times this week" (the
// number in the given locale); none for no attempt.
std::optional<std::string> triedLine(int weekTries, std::string_view locale);

// Under a suggestion: the domain when the site has a display name of its own, the visit
// count in the given locale (an ICU id such as "de_DE") and " visits", then the popular
// site's kind when it is one; joined by " · ".
std::string visitsLine(const Suggestion& suggestion, std::string_view locale);

// "" for none, "a" for one, "a and b", "a, b and c" for more.
std::string listJoined(const std::vector<std::string>& names);

}  // namespace tarrow
