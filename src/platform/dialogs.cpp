#include "platform/dialogs.h"

#include <cstdio>

#include "text/cp1252.h"

namespace ks {
namespace {

class StderrDialogs final : public Dialogs {
 public:
  bool messageBox(const std::string& text, const std::string& caption, BoxKind) override {
    std::string line = cp1252ToUtf8(caption) + ": " + cp1252ToUtf8(text);
    for (char& c : line) {
      if (c == '\r') c = '\n';
    }
    std::fprintf(stderr, "%s\n", line.c_str());
    return false;
  }
};

StderrDialogs fallbackDialogs;
Dialogs* current = nullptr;

}  // namespace

Dialogs& dialogs() {
  return current ? *current : fallbackDialogs;
}
void setDialogs(Dialogs* d) {
  current = d;
}

}  // namespace ks
