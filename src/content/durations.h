// How a course's study time is spread over its lessons, exercises and events: the default
// dynamic system works from the lesson's share of the study time and the weights; the static
// system from each event's own minutes plus a margin.
#pragma once

namespace ks {

class TContents;

// Sets the minutes of every lesson and exercise, every event's time limit in seconds, the
// dynamic-duration flags and the bookmark's planned course seconds.
void DistributeDurations(TContents& course);

}  // namespace ks
