#pragma once

#include "search/dirstatistics.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace zentrix {

/// The texts of the directory statistics: the report of the "Info" page and
/// the summary box of "&Statistics ...".
namespace DirStatisticsReport {

/// A whole number with the locale's thousands separator every three digits
/// ("," where the locale has none).
std::string Grouped(int64_t value);
std::string Grouped(uint64_t value);
/// `part` * 100 / `whole`, rounded to the nearest whole number.
int64_t Percent(int64_t part, uint64_t whole);
/// A text padded with blanks on the left to `width` characters (never cut).
std::string RightAligned(const std::string& text, size_t width);

/// The nine summary lines. `diskSize` 0 (unknown) leaves the percentages out.
std::vector<std::string> SummaryLines(const std::string& startDir, const DirTotals& totals,
                                      uint64_t diskSize, std::time_t now);

/// A type's name in the report: "(TXT) " + the registered description, "(TXT)
/// TXT file" without one, "() Unknown file type" for names without extension.
/// `description` is the description chain's answer for a file named "test."
/// followed by the extension (empty when it has none).
std::string TypeName(const std::string& ext, const std::string& description);

/// The sections appended after the final summary: by date and by file type.
/// `types` must be sorted already; `description` gives the registered
/// description of an extension (without its dot).
std::vector<std::string>
YearAndTypeLines(const DirTotals& totals,
                 const std::function<std::string(const std::string&)>& description);

/// The text of the "&Statistics ..." box. The paragraphs on actual space and
/// slack are left out when the cluster size is 1.
std::string SummaryBoxText(const DirTotals& totals, uint64_t clusterSize);

} // namespace DirStatisticsReport
} // namespace zentrix
