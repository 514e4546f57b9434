// Groups of learners: numbered settings stores in the root folder ("<id>.grp"), whose values
// and locks apply to their members.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "store/dynamicsettings.h"

namespace ks {

// Opening a learner or a group failed; what() is the (1252) text to show.
class UserOpenError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TUserGroup : public TDynamicSettings {
 public:
  explicit TUserGroup(int id) : id_(id) {}
  int GroupId() const { return id_; }

 private:
  int id_;
};

// Opens group `id` with the store mode, or else with mode 1; raises UserOpenError (message
// 1887, the path, message 1888) when neither works. Group 0 gets its name (message 1162) when
// it has none and is opened with mode 1; a group without a date gets the current one.
std::unique_ptr<TUserGroup> OpenGroup(int id, int mode);

// "0" when "0.grp" is missing, then the ids (the names before ".") of the group files.
std::vector<std::string> GroupIds();
// The largest id of GroupIds (other names count as 0).
int MaxGroupId();
// The "Name" of each group (message 1162 when empty); all groups when `ids` is empty.
std::vector<std::string> GroupNames(const std::vector<std::string>& ids, int mode);

}  // namespace ks
