// Texts of the monitor's windows: messages with a mnemonic letter each, so that every control
// answers Alt and its letter.
#pragma once

#include <QString>

namespace ks {

// `text` with "&" before its first letter that `used` does not hold yet; the letter is added
// to `used`. Texts that carry their own "&" keep it.
QString withMnemonic(const QString& text, QString& used);

}  // namespace ks
