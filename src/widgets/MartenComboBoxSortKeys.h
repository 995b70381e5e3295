// The values that the grid combo box sorts number and date columns by.
#pragma once

#include <optional>
#include <string_view>

namespace quillon::widgets {

// Returns the number that the start of text spells (after leading blanks and tabs: an optional
// sign, digits, an optional fraction and an optional exponent), or 0 when text does not start
// with a number. "12abc" gives 12, "-3.5e2x" gives -350, "abc" gives 0.
double LeadingNumber(std::string_view text);

// Returns text as a date serial (days since 30 December 1899, the time of day as the fraction),
// or nullopt when text is no date. Understood: "2024-03-05" (also with "/" or "."), "3/5/2024"
// (month first, as in the default locale), "5.3.2024" (day first with dots), "5 March 2024",
// "March 5, 2024", each optionally followed by a time "14:30", "14:30:15", "2:30 PM"; or a time
// alone. Two-digit years 0-29 are 2000-2029, 30-99 are 1930-1999.
std::optional<double> DateSerial(std::string_view text);

}  // namespace quillon::widgets
