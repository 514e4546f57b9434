// The one field splitter of course lines, event lines, result lines and layout lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ks {

// Splits at every character of `separators`. Runs of separators count as one and leading and
// trailing separators are ignored, so no field is empty. When the line holds a "%", a "%"
// directly before a separator makes that separator part of the field (the "%" is dropped).
// Fields are not trimmed.
std::vector<std::string> splitFields(std::string_view line, std::string_view separators = "=;");

// The event's own split of an event line: at ";" alone, except that the line's first "=" ends
// field 0 when it stands before the first ";".
std::vector<std::string> splitEventFields(std::string_view line);

// Writes a field so that it survives splitFields: every separator gets a "%" in front.
std::string escapeField(std::string_view field, std::string_view separators = "=;");

}  // namespace ks
