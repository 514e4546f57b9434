// The lists of learners: one index per group in the data folder ("<group>.idx", lines of
// "<file name>=<learner name>"), rebuilt from the learners' files when they fall behind.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ks {

// The window a long rebuild shows; the user interface installs one.
class ListProgress {
 public:
  virtual ~ListProgress() = default;
  virtual void Begin(const std::string& /*title*/, const std::string& /*text*/, int /*range*/) {}
  virtual void Step(int /*position*/) {}
  virtual void End() {}
};
// nullptr: no progress is shown.
void setListProgress(ListProgress* progress);

// Reads every learner's file (shared, so files others hold are read too; the guest is left out)
// and writes each group's index anew, sorted. A group id above the largest group or below 0
// counts as group 0. Indexes that cannot be written are left as they were, and logged: the
// cause is returned for the caller to tell the learner (empty when every index was written).
std::string RebuildIndexes();
// The lines of a group's index; of every group's index for -1.
std::vector<std::string> IndexedUsers(int group);
// "<file name>=<learner name>" of every learner's file that no index of an existing group lists.
std::vector<std::string> UnindexedUsers();
// The sorted lines of a group: a positive group's index (rebuilt once when it is empty and its
// file missing); for -1 every index and the unindexed learners (rebuilt from 30 unindexed on);
// for 0 its index and the unindexed learners.
std::vector<std::string> UserList(int group);
// UserList reduced to the learners' names.
std::vector<std::string> UserNames(int group);
// The file base (file name without extension) of the learner called `name` (any letter case),
// searched in the group's index (all indexes for -1), then among the unindexed learners.
std::optional<std::string> UserFileFor(int group, std::string_view name);

}  // namespace ks
