#include <gtest/gtest.h>

#include "analysis/analyzer.h"
#include "analysis/wordlist.h"

namespace ks {
namespace {

std::string le16(int v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}
std::string le32(int v) {
  return le16(v & 0xFFFF) + le16((v >> 16) & 0xFFFF);
}

TEST(WordRecords, AnEntryIsItsFieldsInOrder) {
  TWordList list;
  for (int i = 0; i < 3; ++i) list.AddOccurrence("house", 3, wsTutor, false);
  list.AddOccurrence("don't", 7, wsMonitor | wsHidden, false);
  std::string bytes;
  list.Save(bytes);
  // No wrap yet: the used entries only, no allocation state.
  ASSERT_EQ(bytes.size(), 2 * TWordList::EntrySize);
  std::string house = le16(2) + "\x05house" + std::string(250, '\0') + le16(3) + le16(2) + le16(3) +
                      le16(3) + le16(3) + std::string(14, '\0');
  ASSERT_EQ(house.size(), TWordList::EntrySize);
  EXPECT_EQ(bytes.substr(0, 282), house);
  std::string dont = le16(9) +
                     "\x05"
                     "don't" +
                     std::string(250, '\0') + le16(1) + le16(0) + le16(7) + std::string(18, '\0');
  EXPECT_EQ(bytes.substr(282), dont);
}

TEST(WordRecords, AWrappedTableWritesItsAllocationState) {
  TWordList list;
  for (int i = 1; i <= TWordList::Capacity + 1; ++i) {
    list.AddOccurrence("word" + std::to_string(i), 1, wsTutor, false);
  }
  std::string bytes;
  list.Save(bytes);
  ASSERT_EQ(bytes.size(), TWordList::Capacity * TWordList::EntrySize + 8);
  EXPECT_EQ(bytes.substr(bytes.size() - 8), le32(1) + le32(1));
  TWordList back;
  size_t pos = 0;
  back.Load(bytes, pos);
  EXPECT_EQ(pos, bytes.size());
  EXPECT_EQ(back.NextEntry, 1);
  EXPECT_EQ(back.Pass, 1);
  EXPECT_EQ(back.Entry(1).Word, "word2001");
  EXPECT_EQ(back.Entry(2000).Word, "word2000");
  EXPECT_FALSE(back.Modified);
  std::string again;
  back.Save(again);
  EXPECT_EQ(again, bytes);
}

TEST(WordRecords, LoadingReadsWholeRecordsAndRepairsDamage) {
  TWordList list;
  for (const char* w : {"alpha", "bravo", "charlie"}) list.AddOccurrence(w, 2, wsTutor, false);
  std::string bytes = "HEAD";
  list.Save(bytes);
  size_t pos = 4;
  TWordList back;
  back.Load(bytes.substr(0, bytes.size() - 1), pos);  // the last record is cut short
  EXPECT_EQ(back.NextEntry, 2);
  EXPECT_EQ(back.Entry(2).Word, "bravo");
  EXPECT_EQ(back.Find("charlie"), 0);
  EXPECT_EQ(back.AddOccurrence("delta", 1, wsTutor, false), 3);

  // A slot outside the ring and a negative repeat count.
  std::string damaged = bytes.substr(4, 282);
  damaged[258] = 11;
  damaged[260] = static_cast<char>(0xFF);
  damaged[261] = static_cast<char>(0xFF);
  pos = 0;
  back.Load(damaged, pos);
  EXPECT_EQ(back.Entry(1).Slot, 1);
  EXPECT_EQ(back.Entry(1).Repeats, 0);
  EXPECT_EQ(TWordList::Difficulty(back.Entry(1)), 17);  // a score of 2 at the latest place

  // A full table whose allocation state is out of range or missing.
  TWordList full;
  for (int i = 1; i <= TWordList::Capacity; ++i)
    full.AddOccurrence("w" + std::to_string(i), 1, 2, false);
  std::string fullBytes;
  full.Save(fullBytes);
  ASSERT_EQ(full.Pass, 0);
  fullBytes.replace(fullBytes.size() - 8, 8, le32(5000) + le32(-3));
  pos = 0;
  back.Load(fullBytes, pos);
  EXPECT_EQ(back.NextEntry, 2000);
  EXPECT_EQ(back.Pass, 0);
  pos = 0;
  back.Load(fullBytes.substr(0, fullBytes.size() - 8), pos);
  EXPECT_EQ(back.NextEntry, 2000);
  EXPECT_EQ(back.Pass, 0);
  // Nothing at all: an empty table.
  pos = 0;
  back.Load("", pos);
  EXPECT_EQ(back.NextEntry, 0);
  EXPECT_EQ(back.Find("w1"), 0);
}

TEST(WordRecords, ANewListIsSavedSoNoStaleRecordsComeBack) {
  DifficultKeySets keys;
  TWordList list;
  TWord word(keys, list);
  word.List.AddOccurrence("stale", 1, wsTutor, false);
  word.NewList();
  EXPECT_TRUE(word.List.Modified);
  std::string bytes;
  word.Save(bytes);
  EXPECT_TRUE(bytes.empty());  // the caller cuts the file after the last record written
  // A loaded, unchanged table still writes itself whole.
  word.List.AddOccurrence("fresh", 1, wsTutor, false);
  word.Save(bytes);
  size_t pos = 0;
  word.Load(bytes, pos);
  std::string again;
  word.Save(again);
  EXPECT_EQ(again, bytes);
}

}  // namespace
}  // namespace ks
