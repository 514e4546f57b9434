// How large the tutor draws its book on a given screen. The page's geometry is fixed in design
// pixels; on a screen with room for a much larger page every window is drawn larger, the way a
// learner would zoom it, so the page does not sit small in the middle of a wide desktop.
#pragma once

#include <QApplication>
#include <optional>

namespace ks {

// The factor for a screen whose free area is `width` x `height` logical pixels: the largest
// quarter step at which the book window's design size still fits, and 1 (no change) unless
// that is at least 1.25.
double pageScaleFor(int width, int height);

// Creates the application in `app`. When the primary screen calls for a larger page and the
// user has not chosen a scale of their own (QT_SCALE_FACTOR, QT_SCREEN_SCALE_FACTORS), the
// application is made once more with that scale, before any window exists.
void createScaledApplication(std::optional<QApplication>& app, int& argc, char** argv);

}  // namespace ks
