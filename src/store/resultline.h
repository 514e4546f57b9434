// The stored form of a result: the value of its "Re<number>" line in the learner's settings,
// ";"-separated fields whose order depends on the source and the kind.
#pragma once

#include <string>
#include <string_view>

#include "store/resultitem.h"

namespace ks {

// How much an attempt of this kind and sub-kind is worth: a better-ranked attempt replaces a
// lesser one at the same exercise.
int Rank(const TResultItem& item);

// The value of the item's line. Text fields are never empty ("-" stands in) and never hold ";"
// or "=", so that they keep their places when the line is read again.
std::string ResultLine(const TResultItem& item);

// Reads a line written by ResultLine into `item` (whose number is kept): 1; -1 when a field from
// the source to the kind is unreadable, -2 when a later one is. On failure `item` is unchanged.
int ReadResultLine(std::string_view value, TResultItem& item);

}  // namespace ks
