#include <gtest/gtest.h>

#include "store/binio.h"
#include "store/fileobj.h"
#include "support/tempdir.h"

namespace ks {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

TEST(RecordFile, GoldenBytesAndReadBack) {
  TempDir dir;
  const auto path = dir / "u.dta";
  TRecFile w;
  ASSERT_EQ(w.OpenRecords(path.string(), TRecFile::raCreate, TRecFile::rsShared), fsOk);
  EXPECT_TRUE(w.WriteInt32(-2));
  EXPECT_TRUE(w.WriteInt16(0x1234));
  EXPECT_TRUE(w.WriteShortString("abc"));
  EXPECT_TRUE(w.WriteShortBlock("xy"));
  EXPECT_TRUE(w.WriteWideString("\xe9t\x80", 4));  // 1252 e-acute, t, euro sign
  EXPECT_EQ(w.Close(), fsClosed);

  std::string expected(
      "\xfe\xff\xff\xff\x34\x12\x03"
      "abc",
      10);
  std::string block(256, '\0');
  block[0] = 2;
  block[1] = 'x';
  block[2] = 'y';
  expected += block;
  expected += std::string("\x03\x00\xe9\x00t\x00\xac\x20\x00\x00", 10);
  EXPECT_EQ(readFile(path), expected);

  TRecFile r;
  ASSERT_EQ(r.OpenRecords(path.string(), TRecFile::raOpen, TRecFile::rsDenyWrite), fsOk);
  EXPECT_EQ(r.size(), static_cast<int64_t>(expected.size()));
  int32_t i = 0;
  ASSERT_TRUE(r.ReadInt32(i));
  EXPECT_EQ(i, -2);
  ASSERT_TRUE(r.ReadInt16(i));
  EXPECT_EQ(i, 0x1234);
  std::string s;
  r.SeekTo(10);
  ASSERT_TRUE(r.ReadBlocks(s, 256));
  EXPECT_EQ(s, "xy");
  ASSERT_TRUE(r.ReadWideString(s, 4));
  EXPECT_EQ(s, "\xe9t\x80");
  EXPECT_TRUE(r.ExactRecordCount(2, i));
  EXPECT_EQ(i, static_cast<int>(expected.size() / 2));
  EXPECT_FALSE(r.WriteInt32(1));  // opened for reading
  EXPECT_EQ(r.status(), fsWriteError);
  EXPECT_FALSE(r.WriteInt32(1));  // refused outright now
  EXPECT_EQ(r.Close(), fsClosed);
  EXPECT_EQ(readFile(path), expected);
}

TEST(RecordFile, CorruptLengthsAreClampedAndTruncationIsAStatus) {
  TempDir dir;
  // A block whose length byte claims 255 but the field holds 24; a wide text claiming 65535;
  // then a truncated integer.
  std::string bytes(25, 'k');
  bytes[0] = static_cast<char>(255);
  bytes += std::string("\xff\xff", 2) + std::string(8, 'z') + std::string("\x01\x02", 2);
  writeFile(dir / "bad.dta", bytes);

  TRecFile r;
  ASSERT_EQ(r.OpenRecords((dir / "bad.dta").string(), TRecFile::raOpen, TRecFile::rsExclusive),
            fsOk);
  std::string s;
  ASSERT_TRUE(r.ReadShortString(s, 24));
  EXPECT_EQ(s, std::string(24, 'k'));
  ASSERT_TRUE(r.ReadWideString(s, 4));
  EXPECT_EQ(s, "????");  // 'zz' units are not 1252 characters; four at most
  int32_t i = 7;
  EXPECT_FALSE(r.ReadInt32(i));
  EXPECT_EQ(i, 0);
  EXPECT_EQ(r.status(), fsEnd);
  EXPECT_FALSE(r.ReadBlocks(s, 600));
  EXPECT_EQ(s, "");

  // Blocks read past a short tail: the texts that are there, clamped.
  std::string blocks = encodeShortString("first", 255);
  blocks += std::string("\xc8shor", 5);  // claims 200 characters, holds 4
  writeFile(dir / "blocks.dta", blocks);
  TRecFile b;
  ASSERT_EQ(b.OpenRecords((dir / "blocks.dta").string(), TRecFile::raOpen, 0), fsOk);
  EXPECT_FALSE(b.ReadBlocks(s, 512));
  EXPECT_EQ(s, "firstshor");
  EXPECT_EQ(b.RecordCount(250), 1);
}

TEST(RecordFile, CreatingKeepsTheOldFileUntilTheNewOneIsComplete) {
  TempDir dir;
  const auto path = dir / "top.topten";
  writeFile(path, "old records");
  TRecFile w;
  ASSERT_EQ(w.OpenRecords(path.string(), TRecFile::raCreate, TRecFile::rsExclusive), fsOk);
  w.WriteInt32(1);
  EXPECT_EQ(readFile(path), "old records");
  EXPECT_EQ(w.Flush(), fsOk);
  EXPECT_EQ(readFile(path), std::string("\x01\x00\x00\x00", 4));
  w.SeekTo(8);  // a gap is zero-filled, never left undefined
  w.WriteInt16(-1);
  EXPECT_EQ(w.Close(), fsClosed);
  EXPECT_EQ(readFile(path), std::string("\x01\x00\x00\x00\x00\x00\x00\x00\xff\xff", 10));

  // Writing into an existing file changes only the bytes written.
  TRecFile u;
  ASSERT_EQ(u.OpenRecords(path.string(), TRecFile::raOpen, TRecFile::rsShared), fsOk);
  u.SeekTo(4);
  u.WriteInt16(7);
  u.Close();
  EXPECT_EQ(readFile(path), std::string("\x01\x00\x00\x00\x07\x00\x00\x00\xff\xff", 10));
}

TEST(RecordFile, SharingCountsAndLocks) {
  TempDir dir;
  const auto path = dir / "r.dat";
  writeFile(path, std::string(1000, 'r'));
  TRecFile a, b;
  EXPECT_EQ(a.OpenRecords((dir / "missing").string(), TRecFile::raOpen, 0), fsNotFound);
  EXPECT_EQ(a.OpenRecords(path.string(), TRecFile::raOpen, TRecFile::rsExclusive), fsOk);
  EXPECT_EQ(a.OpenRecords(path.string(), TRecFile::raOpen, 0), fsAlreadyOpen);
  EXPECT_EQ(b.OpenRecords(path.string(), TRecFile::raOpen, TRecFile::rsShared), fsOpenFailed);
  int count = 0;
  EXPECT_FALSE(a.ExactRecordCount(300, count));
  EXPECT_TRUE(a.ExactRecordCount(250, count));
  EXPECT_EQ(count, 4);
  EXPECT_EQ(a.RecordCount(0), 0);
  a.Close();

  ASSERT_EQ(a.OpenRecords(path.string(), TRecFile::raOpen, TRecFile::rsShared), fsOk);
  ASSERT_EQ(b.OpenRecords(path.string(), TRecFile::raOpen, TRecFile::rsShared), fsOk);
  EXPECT_TRUE(a.LockRange(0, 100));
  EXPECT_FALSE(b.LockRange(50, 10));
  EXPECT_TRUE(b.LockRange(100, 10));
  EXPECT_TRUE(a.UnlockRange(0, 100));
  EXPECT_TRUE(b.LockRange(50, 10));
}

TEST(BinaryFields, EncodersClampToTheField) {
  EXPECT_EQ(encodeShortString(std::string(30, 'a'), 24).size(), 25u);
  EXPECT_EQ(encodeShortString(std::string(30, 'a'), 24)[0], 24);
  EXPECT_EQ(decodeShortString(std::string("\x05"
                                          "ab",
                                          3),
                              24),
            "ab");
  EXPECT_EQ(decodeShortString("", 24), "");
  EXPECT_EQ(encodeWideString("abcdef", 2), std::string("\x02\x00"
                                                       "a\x00"
                                                       "b\x00",
                                                       6));
  EXPECT_EQ(decodeWideString(std::string("\x09\x00"
                                         "a\x00",
                                         4),
                             255),
            "a");
  std::string v;
  putInt32LE(v, INT32_MIN);
  EXPECT_EQ(getInt32LE(v), INT32_MIN);
}

}  // namespace
}  // namespace ks
