// Reading ".kbd" files.
#include <algorithm>
#include <string>
#include <vector>

#include "analysis/keydataext.h"
#include "platform/paths.h"
#include "platform/systemkeyboard.h"
#include "store/errors.h"
#include "store/fileobj.h"
#include "store/langres.h"
#include "text/fields.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {
namespace {

constexpr size_t kMaxLine = 255;
constexpr size_t kMaxSlot = 15;
constexpr size_t kMaxShort = 255;
constexpr int kScanCodeColumn = 9;
constexpr int kShiftCaptionMessage = 167;
// Scan codes of the home row (a s d f, j k l ;) and of the upper letter row from its left end.
constexpr int kHomeRowScans[] = {30, 31, 32, 33, 36, 37, 38, 39};
constexpr int kUpperRowScans[] = {16, 17, 18, 19, 20, 21};

struct KeywordKind {
  const char* keyword;
  KeyKind kind;
};
constexpr KeywordKind kKeyLines[] = {
    {"key", KeyKind::Key},
    {"vkey", KeyKind::VKey},
    {"xkey", KeyKind::XKey},
    {"bowlkey", KeyKind::BowlKey},
    {"commadotkey", KeyKind::CommaDotKey},
    {"capslockkey", KeyKind::CapsLockKey},
    {"tabkey", KeyKind::TabKey},
    {"enterkey", KeyKind::EnterKey},
    {"spacekey", KeyKind::SpaceKey},
    {"backspacekey", KeyKind::BackspaceKey},
    {"controlkey", KeyKind::ControlKey},
    {"shiftcontrolkey", KeyKind::ShiftControlKey},
};

std::string cut(std::string text, size_t max) {
  if (text.size() > max) text.resize(max);
  return text;
}

// A character column: tokens for what a field cannot hold.
std::string slotText(const std::string& field) {
  if (field == "EMPTY") return "";
  if (field == "#13") return "\r";
  if (field == "#32") return " ";
  if (field == "% ") return "%";
  return cut(field, kMaxSlot);
}

// The characters the system layout types with a key; only what fits a slot.
std::string systemChars(int scanCode, int state) {
  return cut(systemKeyboard().keyChars(scanCode, state), 3);
}

// Thrown for content that makes the file unusable; caught inside the load.
struct BadContent {
  std::string what;
};

int32_t integerField(const std::vector<std::string>& f, size_t i, const char* keyword) {
  int32_t v = 0;
  if (i >= f.size() || !tryStrToInt(f[i], v))
    throw BadContent{std::string("\"") + keyword + "\" needs whole numbers"};
  return v;
}

int32_t numberOrZero(const std::vector<std::string>& f, size_t i) {
  return i < f.size() ? strToIntDef(f[i], 0) : 0;
}

// One load: the layout being filled, the position cursor and the row chain.
class KeyFileReader {
 public:
  KeyFileReader(TKeyDataExt& layout, std::filesystem::path folder)
      : l_(layout), folder_(std::move(folder)) {}

  void apply(std::string_view raw) {
    if (raw.find('\0') != std::string_view::npos) throw BadContent{"the file holds binary data"};
    const std::string_view line = trimBlanks(raw.substr(0, std::min(raw.size(), kMaxLine)));
    if (line.empty() || line.front() == '\'') return;
    const std::vector<std::string> f = splitFields(line, ";");
    if (f.empty()) return;
    const std::string keyword = lowerCase(f[0]);
    for (const KeywordKind& k : kKeyLines) {
      if (keyword == k.keyword) return addKey(k.kind, f);
    }
    applyLayoutLine(keyword, f);
  }

 private:
  void applyLayoutLine(const std::string& keyword, const std::vector<std::string>& f) {
    const bool has1 = f.size() > 1;
    if (keyword == "keybowldata") {
      l_.KeybowlLayout = true;
      l_.FingerGuide = false;
    } else if (keyword == "layoutcode" && has1) {
      l_.LayoutCode = f[1];
      l_.LanguageCode = f[1].size() >= 2 ? f[1].substr(f[1].size() - 2) : f[1];
    } else if (keyword == "dynamiclayout") {
      l_.DynamicLayout = true;
    } else if (keyword == "materialbased") {
      if (l_.DynamicLayout) {
        l_.MaterialName = detectMaterial();
      } else if (has1) {
        l_.MaterialName = cut(lowerCase(f[1]), kMaxShort);
      }
    } else if (keyword == "keybpicfile") {
      if (!has1) throw BadContent{"\"keybpicfile\" needs a file and a position"};
      const int32_t x = integerField(f, 2, "keybpicfile");
      const int32_t y = integerField(f, 3, "keybpicfile");
      l_.PictureFile = lowerCase(f[1]);
      l_.PictureX = x;
      l_.PictureY = y;
    } else if (keyword == "homerow") {
      if (l_.DynamicLayout) {
        std::string row;
        for (int sc : kHomeRowScans) row += systemChars(sc, ksPlain);
        l_.HomeRow = cut(row, kMaxShort);
      } else if (has1) {
        l_.HomeRow = cut(f[1], kMaxShort);
      } else {
        return;
      }
      l_.SemicolonKey = l_.HomeRow.size() >= 8 ? l_.HomeRow[7] : ';';
    } else if (keyword == "defaultsize") {
      l_.DefaultWidth = numberOrZero(f, 1);
      l_.DefaultHeight = numberOrZero(f, 2);
    } else if (keyword == "fontsize") {
      l_.CaptionFont = numberOrZero(f, 1);
      l_.SmallCaptionFont = numberOrZero(f, 2);
      l_.ShiftCaptionFont = numberOrZero(f, 3);
    } else if (keyword == "commadot") {
      l_.CommaDot = integerField(f, 1, "commadot");
    }
  }

  // The unshifted characters of the upper letter row name the course material of a layout
  // that follows the system.
  static std::string detectMaterial() {
    std::string row;
    for (int sc : kUpperRowScans) row += systemChars(sc, ksPlain);
    const std::string first5 = row.substr(0, 5);
    if (first5 == "',.py") return "dvorak";
    if (first5 == ";qbyu") return "dvorakl";
    if (first5 == "56q.o") return "dvorakr";
    return lowerCase(row);
  }

  // X or Y: "+n"/"-n" from the previous key's far edge (n: at most three characters), 0 the
  // previous value, a number itself; anything else -1.
  static int32_t position(const std::vector<std::string>& f, size_t i, int32_t prev,
                          int32_t prevSize) {
    if (i >= f.size()) return -1;
    const std::string& s = f[i];
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
      const int32_t n = strToIntDef(s.substr(1, 3), 0);
      return s[0] == '+' ? prev + prevSize + n : prev + prevSize - n;
    }
    int32_t v = 0;
    if (!tryStrToInt(s, v)) return -1;
    return v == 0 ? prev : v;
  }

  static int32_t size(const std::vector<std::string>& f, size_t i, int32_t prev, int32_t def) {
    int32_t v = 0;
    if (i >= f.size() || !tryStrToInt(f[i], v)) return def;
    return v == 0 ? prev : v;
  }

  void readFlags(TKeyInfoExt& k, const std::string& flags) {
    for (char c : flags) {
      switch (lowerChar(static_cast<unsigned char>(c))) {
        case 'n':
          k.Nub = true;
          break;
        case 'd':
          k.Dim = true;
          break;
        case 'a':
          k.AlwaysActive = true;
          break;
        case 'h':
          k.HiddenUnlessLit = true;
          break;
        case 's':
          k.SmallCaption = true;
          break;
        case 'z':
          k.ErrorPicture = true;
          break;
        default:
          break;
      }
    }
  }

  void readPictures(TKeyInfoExt& k, const std::string& field) {
    const std::vector<std::string> names = splitFields(field.substr(4), ",");
    for (size_t i = 0; i < names.size() && i < 2; ++i) {
      const std::filesystem::path p = joinResolved(folder_, trimBlanks(names[i]));
      std::error_code ec;
      if (!std::filesystem::is_regular_file(p, ec)) continue;
      (i == 0 ? k.Picture : k.LitPicture) = p.string();
      k.HasPicture = true;
    }
  }

  void readSlots(TKeyInfoExt& k, const std::vector<std::string>& f, size_t first) {
    for (size_t i = first; i < f.size() && i - first < kKeySlots; ++i)
      k.Chars[i - first] = slotText(f[i]);
  }

  void addKey(KeyKind kind, const std::vector<std::string>& f) {
    auto owned = std::make_unique<TKeyInfoExt>();
    TKeyInfoExt& k = *owned;
    k.Kind = kind;
    int32_t finger = -1;
    k.Finger = f.size() > 1 && tryStrToInt(f[1], finger) ? finger : -1;
    k.X = position(f, 2, x_, w_);
    k.Y = position(f, 3, y_, h_);
    k.Width = size(f, 4, w_, l_.DefaultWidth);
    k.Height = size(f, 5, h_, l_.DefaultHeight);
    if (f.size() >= 7) readFlags(k, f[6]);
    size_t col = 7;
    if (f.size() > 7 && startsWithText(f[7], "pic=")) {
      readPictures(k, f[7]);
      col = 8;
    }

    if (k.isModifier()) {
      addModifier(k, f, col);
    } else {
      readSlots(k, f, col);
      fillSpecialSlots(k, f);
      for (const std::string& s : k.Chars) l_.CharacterSet += s;
    }
    if (kind == KeyKind::Key || kind == KeyKind::VKey) chain(k);
    x_ = k.X;
    y_ = k.Y;
    w_ = k.Width;
    h_ = k.Height;
    l_.Keys.push_back(std::move(owned));
  }

  void addModifier(TKeyInfoExt& k, const std::vector<std::string>& f, size_t col) {
    // A line without its number column is a modifier drawn for show, in no table.
    k.ModifierNumber = col < f.size() ? strToIntDef(f[col], 0) : 0;
    readSlots(k, f, col + 1);
    if (k.Kind == KeyKind::ShiftControlKey)
      k.Chars[0] = cut(Localize().GetString(kShiftCaptionMessage), kMaxSlot);
    const int n = k.ModifierNumber;
    if (n <= 0 || n >= kKeySlots) return;
    if (k.Finger > 4 && l_.FingerGuide)
      l_.RightModifiers[n] = &k;
    else
      l_.LeftModifiers[n] = &k;
  }

  void fillSpecialSlots(TKeyInfoExt& k, const std::vector<std::string>& f) {
    switch (k.Kind) {
      case KeyKind::TabKey:
        k.Chars[0] = "\t";
        break;
      case KeyKind::EnterKey:
        k.Chars[0] = "\r";
        break;
      case KeyKind::SpaceKey:
        k.Chars[0] = " ";
        break;
      case KeyKind::BackspaceKey:
        k.Chars[0] = "\b";
        break;
      case KeyKind::BowlKey:
        k.BowlKey = true;
        break;
      case KeyKind::CommaDotKey: {
        // Without a system keyboard the file's own character stays.
        std::string c = systemChars(kKeypadDecimalScanCode, ksPlain).substr(0, 1);
        if (!c.empty()) k.Chars[0] = c;
        break;
      }
      case KeyKind::XKey:
      case KeyKind::VKey: {
        int32_t scan = 0;
        if (!l_.DynamicLayout || f.size() <= kScanCodeColumn ||
            !tryStrToInt(f[kScanCodeColumn], scan) || scan == 0)
          break;
        k.Chars = {};
        k.Chars[0] = systemChars(scan, ksPlain);
        k.Chars[1] = systemChars(scan, ksShift);
        k.Chars[kAltGrModifier] = systemChars(scan, ksAltGr);
        k.Chars[20] = systemChars(scan, ksShiftAltGr);
        break;
      }
      default:
        break;
    }
  }

  // Keys of "key" and "vkey" lines on the same row are neighbours.
  void chain(TKeyInfoExt& k) {
    if (lastChained_ && lastChained_->Y == k.Y) {
      lastChained_->RightNeighbour = &k;
      k.LeftNeighbour = lastChained_;
    }
    lastChained_ = &k;
  }

  TKeyDataExt& l_;
  std::filesystem::path folder_;
  int32_t x_ = 0, y_ = 0, w_ = 0, h_ = 0;
  TKeyInfoExt* lastChained_ = nullptr;
};

}  // namespace

void TKeyDataExt::clearLayout() {
  Keys.clear();
  LeftModifiers.fill(nullptr);
  RightModifiers.fill(nullptr);
  ExtraModifier = nullptr;
  KeybowlLayout = false;
  FingerGuide = true;
  CharacterSet.clear();
  CaptionFont = 18;
  SmallCaptionFont = 14;
  ShiftCaptionFont = 14;
}

void TKeyDataExt::resetAll() {
  clearLayout();
  DynamicLayout = false;
  LayoutChanged = false;
  LayoutCode.clear();
  LanguageCode = "00NONE0000";
  MaterialName = "qwerty";
  PictureFile.clear();
  PictureX = PictureY = 0;
  HomeRow.clear();
  SemicolonKey = '\0';
  DefaultWidth = DefaultHeight = 0;
  CommaDot = 0;
}

int TKeyDataExt::loadFromFile(const std::string& path) {
  LayoutCode.clear();
  DynamicLayout = false;
  FileName = path;
  TTextFile file;
  const int opened = file.OpenText(path, TTextFile::tmRead);
  if (opened < 0) return opened;
  clearLayout();
  LayoutChanged = false;

  int result = opened;
  std::string problem;
  if (file.version() != "6") {
    result = kWrongVersion;
    problem = path;
  } else {
    KeyFileReader reader(*this, std::filesystem::path(path).parent_path());
    std::string line;
    try {
      while (file.ReadLine(line)) reader.apply(line);
      if (Keys.empty()) throw BadContent{"no keys"};
    } catch (const BadContent& bad) {
      result = kBadContent;
      problem = path + ": " + bad.what;
    }
  }
  file.Close();
  if (result < 0) {
    resetAll();
    ReportError(result, problem);
    return result;
  }
  if (MaterialName.empty()) MaterialName = "qwerty";
  return result;
}

std::filesystem::path TKeyDataExt::picturePath() const {
  if (PictureFile.empty()) return {};
  return joinResolved(std::filesystem::path(FileName).parent_path(), PictureFile);
}

}  // namespace ks
