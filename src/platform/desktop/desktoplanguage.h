// The language of the desktop session, which the programs speak until a policy or the learner
// chooses another.
#pragma once

#include <string>

namespace ks {

// The session's first user-interface language as an upper-case three-letter (ISO 639-2/T) code,
// the form the installation's language list uses ("DEU" for German); "" when it has none.
std::string desktopLanguageCode();

}  // namespace ks
