// Typing test texts: the descriptor ("<base>.exi") read as the test's choice and exam read it,
// and a learner's own text file imported as a new test text.
#include "fuzzfolder.h"
#include "typingtest/testtexts.h"
#include "typingtest/textimport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ks::fuzz::FuzzFolder folder;
  folder.clear();
  const auto [descriptor, text] = ks::fuzz::splitInput(ks::fuzz::bytesOf(data, size));
  folder.write("Texts/Fuzz.exi", descriptor);
  folder.write("Texts/Fuzz.exm", text);
  const std::filesystem::path texts = folder / "Texts";
  ks::TestTextList list;
  list.LoadTestTexts(texts, true, "ENG");
  list.TestTextNames();
  ks::TtypingTest test;
  if (ks::LoadDescriptor(test, "Fuzz", texts, ks::omReadShared) == 1) {
    test.Name();
    test.Copyright();
    for (const char* key : {"MinAccuracy", "MinSpeed", "MinGrossSpeed"}) test.Criterion(key);
    ks::ExamInternalLine(ks::TestTextField(texts, "Fuzz"), test);
    ks::DurationMinutes(test.ReadString("duration"));
  }
  std::string untypable;
  ks::ImportText(
      text, [](unsigned char c) { return c != '~'; }, true, &untypable);
  ks::ImportText(text, nullptr, false, nullptr);
  return 0;
}
