#include "monitor/ui/monitortexts.h"

namespace ks {

QString withMnemonic(const QString& text, QString& used) {
  if (text.contains('&')) return text;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i].toLower();
    if (!c.isLetter() || used.contains(c)) continue;
    used += c;
    return text.left(i) + '&' + text.mid(i);
  }
  return text;
}

}  // namespace ks
