// Reads of the installation policy that work before (or without) a policy store: missing values
// read as empty, 0 and false.
#pragma once

#include <string>

#include "store/qssettings.h"

namespace ks {

inline std::string policyString(const std::string& name) {
  return PolicySettings ? PolicySettings->ReadString(name) : std::string();
}
inline int policyInt(const std::string& name) {
  return PolicySettings ? PolicySettings->ReadInteger(name) : 0;
}
inline bool policyBool(const std::string& name) {
  return PolicySettings ? PolicySettings->ReadBool(name) : false;
}
// Exercises are taken in order, each finished before the next ("Exercise_Lock", for every
// course or for the course `courseId`).
inline bool ExerciseLockApplies(const std::string& courseId) {
  return policyBool("Exercise_Lock") ||
         (!courseId.empty() && policyBool(courseId + ".Exercise_Lock"));
}

}  // namespace ks
