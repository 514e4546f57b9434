// Courses (".cnt"): read as the course list previews them and as studying opens them (no learner,
// no layout), with every event line split as the loader splits it.
#include "content/contents.h"
#include "content/eventloader.h"
#include "content/exercise.h"
#include "fuzzfolder.h"

namespace {

void walk(const ks::TContents& course) {
  course.LessonTitles(ks::TitlePrefix::LessonWord);
  course.TotalMinutes();
  course.EventLineNames();
  course.NewKeysVariantName();
  for (const auto& lesson : course.Lessons) {
    for (const auto& exercise : lesson->Exercises) {
      for (const auto& event : exercise->Events) event->EventFields();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ks::fuzz::FuzzFolder folder;
  folder.clear();
  const std::string path = folder.write("fuzz.cnt", ks::fuzz::bytesOf(data, size)).string();
  const ks::CourseServices none;
  {
    ks::TContents preview(ks::TContents::PreviewTag{}, path, none);
    walk(preview);
  }
  ks::TContents course(path, -1, 0, none);
  walk(course);
  return 0;
}
