#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zentrix {

/// The texts of the tip and quote windows from their resource: one text per
/// line, read in order until the first empty or missing line, each cut to at most
/// 255 characters (never inside a UTF-8 character). Carriage returns are dropped.
std::vector<std::string> ReadDayTexts(std::string_view resource);

/// The text a day starts with: the day's number (days since 1970) modulo the
/// count, so that each day brings the next one. 0 when there are none.
int DayTextIndex(long long daysSinceEpoch, int count);

/// A quote line "text -- author" split into its two parts; no author when the
/// line has no " -- ".
struct QuoteParts {
    std::string text;
    std::string author;
};
QuoteParts SplitQuote(const std::string& line);

} // namespace zentrix
