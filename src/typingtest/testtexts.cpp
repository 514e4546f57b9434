#include "typingtest/testtexts.h"

#include <algorithm>

#include "platform/paths.h"
#include "text/fields.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {

std::string TtypingTest::Criterion(const std::string& key) {
  int32_t value = 0;
  return tryStrToInt(ReadString(key), value) ? intToStr(value) : "0";
}

std::string TtypingTest::Title() {
  const std::string title = ReadString("title");
  return title.empty() ? Name() : title;
}

std::string TtypingTest::MustTypeAll() {
  return ReadString("mustTypeAll") == "1" ? "1" : "2";
}

int LoadDescriptor(TtypingTest& descriptor, const std::string& baseName,
                   const std::filesystem::path& folder, int mode) {
  descriptor.BaseName = baseName;
  const std::string path = joinResolved(folder, baseName + ".exi").string();
  if (descriptor.Open(path, mode) != 1 || descriptor.Load() != 1) return 255;
  return 1;
}

namespace {

// Dates the learner added texts are day counts; older stores may hold other text.
bool addedBefore(TtypingTest* a, TtypingTest* b) {
  const std::string ta = a->ReadString("dateAdded"), tb = b->ReadString("dateAdded");
  double da = 0, db = 0;
  if (tryStrToFloat(ta, da) && tryStrToFloat(tb, db) && da != db) return da < db;
  return compareText(ta, tb) < 0;
}

}  // namespace

void TestTextList::LoadTestTexts(const std::filesystem::path& folder, bool showAll,
                                 const std::string& languageCode) {
  texts_.clear();
  std::vector<std::unique_ptr<TtypingTest>> own, shipped;
  for (const std::string& file : listMatchingFiles(folder, "*.exi")) {
    auto d = std::make_unique<TtypingTest>();
    if (LoadDescriptor(*d, file.substr(0, file.size() - 4), folder, omReadShared) != 1) continue;
    if (!showAll && d->ReadBool("hidden")) continue;
    if (d->UserAdded()) {
      own.push_back(std::move(d));
      continue;
    }
    const std::string language = d->ReadString("language");
    if (!showAll && !language.empty() && upperCase(language) != upperCase(languageCode)) continue;
    shipped.push_back(std::move(d));
  }
  std::stable_sort(own.begin(), own.end(),
                   [](const auto& a, const auto& b) { return addedBefore(a.get(), b.get()); });
  std::stable_sort(shipped.begin(), shipped.end(), [](const auto& a, const auto& b) {
    return compareText(a->Name(), b->Name()) < 0;
  });
  for (auto& d : own) texts_.push_back(std::move(d));
  for (auto& d : shipped) texts_.push_back(std::move(d));
}

int TestTextList::IndexOf(const std::string& baseName) const {
  for (size_t i = 0; i < texts_.size(); ++i) {
    if (sameText(texts_[i]->BaseName, baseName)) return static_cast<int>(i);
  }
  return -1;
}

TtypingTest* TestTextList::FindTestText(const std::string& baseName) const {
  const int i = IndexOf(baseName);
  return i < 0 ? nullptr : texts_[static_cast<size_t>(i)].get();
}

TtypingTest* TestTextList::TestTextAt(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return texts_[static_cast<size_t>(index)].get();
}

std::vector<std::string> TestTextList::TestTextNames() const {
  std::vector<std::string> names;
  for (const auto& d : texts_) names.push_back(d->Title());
  return names;
}

bool TestTextList::DeleteTestText(TtypingTest* text, const std::filesystem::path& folder) {
  const int i = text != nullptr ? IndexOf(text->BaseName) : -1;
  if (i < 0) return false;
  const std::string base = text->BaseName;
  texts_.erase(texts_.begin() + i);
  std::error_code ec;
  bool gone = true;
  for (const char* ext : {".exm", ".exi"}) {
    const std::filesystem::path file = joinResolved(folder, base + ext);
    if (std::filesystem::exists(file, ec)) gone = std::filesystem::remove(file, ec) && gone;
  }
  return gone;
}

std::vector<std::filesystem::path> ContinuedTextFiles(const TestTextList& offered,
                                                      const std::string& chosenBase,
                                                      const std::filesystem::path& folder,
                                                      uintmax_t characters) {
  std::vector<std::filesystem::path> files{joinResolved(folder, chosenBase + ".exm")};
  std::error_code ec;
  const auto size = [&ec](const std::filesystem::path& file) {
    const uintmax_t bytes = std::filesystem::file_size(file, ec);
    return ec ? uintmax_t{0} : bytes;
  };
  uintmax_t total = size(files[0]);
  const int count = offered.Count();
  const int chosen = offered.IndexOf(chosenBase);
  for (int k = 1; k <= count && total < characters; ++k) {
    const TtypingTest* next = offered.TestTextAt((chosen + k) % count);
    if (next == nullptr || sameText(next->BaseName, chosenBase)) continue;
    const std::filesystem::path file = joinResolved(folder, next->BaseName + ".exm");
    const uintmax_t bytes = size(file);
    if (bytes == 0) continue;
    files.push_back(file);
    total += bytes;
  }
  return files;
}

std::string TestBaseName(const std::string& reference) {
  const size_t slash = reference.find_last_of("\\/");
  std::string name = slash == std::string::npos ? reference : reference.substr(slash + 1);
  if (startsWithText(name, "FILE:")) name.erase(0, 5);
  return name.substr(0, name.find('.'));
}

std::string TestTextField(const std::filesystem::path& folder, const std::string& baseName) {
  // A folder may hold ";" on this system: escaped, it stays one field.
  return "FILE:" + escapeField(pathTo1252(joinResolved(folder, baseName + ".exm")), ";");
}

std::string ExamInternalLine(const std::string& textField, TtypingTest& d) {
  return "Event=EXAMINTERNAL;0;" + textField + ";False;" + d.Criterion("MinGrossSpeed") + ";" +
         d.Criterion("MinAccuracy") + ";0;" + d.Criterion("MinSpeed") + ";" + d.MustTypeAll();
}

int DurationMinutes(const std::string& text) {
  int32_t minutes = 0;
  if (!tryStrToInt(text.substr(0, text.find(' ')), minutes)) return 0;
  return std::clamp(minutes, 0, 200);
}

}  // namespace ks
