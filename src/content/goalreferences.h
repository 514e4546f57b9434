// Goal fields that borrow from another exercise: an event line may write "L.E" (lesson and
// exercise number) in its goal fields instead of numbers, so that a course states its goals once.
#pragma once

#include <string>
#include <vector>

namespace ks {

class TContents;

// Replaces every "L.E" among the goal fields 10 to 14 of `fields` (an event line as the event
// splits it; only lines of more than 14 fields take references) with the same field of the events
// of that exercise that carry goals (more than 10 fields, field 11 not "0"); the last such event
// wins. A reference to a missing exercise, or to one without such an event, stays as it is.
void ResolveGoalReferences(std::vector<std::string>& fields, const TContents& course);

}  // namespace ks
