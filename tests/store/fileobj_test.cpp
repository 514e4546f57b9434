#include <gtest/gtest.h>

#include "store/dynamicfile.h"
#include "store/fileobj.h"
#include "support/tempdir.h"

namespace ks {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

std::vector<std::string> readAllLines(TTextFile& f) {
  std::vector<std::string> lines;
  std::string line;
  while (f.ReadLine(line)) lines.push_back(line);
  return lines;
}

std::vector<std::string> readAllLines(TStreamFile& f) {
  std::vector<std::string> lines;
  std::string line;
  while (f.ReadLineText(line)) lines.push_back(line);
  return lines;
}

TEST(DataFileHeader, FieldsAreParsedAndTheBodyFollows) {
  TempDir dir;
  writeFile(dir / "c.cnt",
            "  $Version=6\r\n\t$description=Home row;ignored\r\n$longdesc=Long\r\n$author=Ann\r\n"
            "$copyright=(c) us\r\n$durationlist=5,10\r\n$language=eng\r\n$other=x\r\n$novalue\r\n"
            "body one\r\n$version=7\r\nlast");
  TTextFile text;
  ASSERT_EQ(text.OpenText((dir / "c.cnt").string(), TTextFile::tmRead), fsOk);
  EXPECT_EQ(text.version(), "6");
  EXPECT_TRUE(text.hasVersion());
  EXPECT_EQ(text.description(), "Home row");  // the splitter also cuts at ";"
  EXPECT_EQ(text.longDesc(), "Long");
  EXPECT_EQ(text.author(), "Ann");
  EXPECT_EQ(text.notice(), "(c) us");
  EXPECT_EQ(text.durationList(), "5,10");
  EXPECT_EQ(text.language(), "");  // only streams keep the language
  EXPECT_FALSE(text.scrambled());
  EXPECT_EQ(readAllLines(text), (std::vector<std::string>{"body one", "$version=7", "last"}));
  EXPECT_EQ(text.status(), fsEnd);
  EXPECT_EQ(text.Close(), fsClosed);

  TStreamFile stream;
  ASSERT_EQ(stream.OpenStream((dir / "C.CNT").string()), fsOk);  // any letter case
  EXPECT_EQ(stream.language(), "ENG");
  std::string first;
  ASSERT_TRUE(stream.ReadLineText(first));
  EXPECT_EQ(first, "$novalue");  // eight header lines at most for streams
  EXPECT_EQ(stream.size(), static_cast<int64_t>(readFile(dir / "c.cnt").size()));
}

TEST(DataFileHeader, EndMarkerAndLineLimitStartTheBody) {
  TempDir dir;
  writeFile(dir / "e.txt", "$end\r\n$version=1\r\nx\r\n");
  TTextFile f;
  ASSERT_EQ(f.OpenText((dir / "e.txt").string(), TTextFile::tmRead), fsOk);
  EXPECT_EQ(f.version(), "");
  EXPECT_EQ(readAllLines(f), (std::vector<std::string>{"$end", "$version=1", "x"}));

  std::string sixteen;
  for (int i = 1; i <= 16; ++i) sixteen += "$author=a" + std::to_string(i) + "\r\n";
  writeFile(dir / "h.txt", sixteen + "body\r\n");
  TTextFile g;
  ASSERT_EQ(g.OpenText((dir / "h.txt").string(), TTextFile::tmRead), fsOk);
  EXPECT_EQ(g.author(), "a15");
  EXPECT_EQ(readAllLines(g), (std::vector<std::string>{"$author=a16", "body"}));
}

TEST(Scrambling, GoldenBytesAndRoundTrip) {
  EXPECT_EQ(scrambleText("abc 1"), "\x3d\x3e\x3f\x7c\x6d");
  EXPECT_EQ(scrambleText(scrambleText("any text")), "any text");
  EXPECT_TRUE(scramblable("plain words, digits 0-9"));
  EXPECT_FALSE(scramblable("Quiet"));  // would become a CR
  EXPECT_FALSE(scramblable("Very"));   // a LF
  EXPECT_FALSE(scramblable("a\\b"));   // a NUL

  TempDir dir;
  const std::vector<std::string> body = {"$version=6", "home row: asdf jkl;", "the end"};
  std::string bytes = "$fileformat=CRYPTED\r\n";
  for (const auto& line : body) {
    ASSERT_TRUE(scramblable(line));
    bytes += scrambleText(line) + "\r\n";
  }
  writeFile(dir / "s.kbd", bytes);

  TTextFile text;
  ASSERT_EQ(text.OpenText((dir / "s.kbd").string(), TTextFile::tmRead), fsOk);
  EXPECT_TRUE(text.scrambled());
  EXPECT_EQ(text.version(), "6");  // header lines after the switch are descrambled too
  EXPECT_EQ(readAllLines(text), (std::vector<std::string>{"home row: asdf jkl;", "the end"}));

  TStreamFile stream;
  ASSERT_EQ(stream.OpenStream((dir / "s.kbd").string()), fsOk);
  std::string rest;
  ASSERT_TRUE(stream.ReadRest(rest));
  EXPECT_EQ(rest, "home row: asdf jkl;\r\nthe end\r\n");  // line breaks stay
  EXPECT_FALSE(stream.ReadRest(rest));
  EXPECT_EQ(stream.status(), fsEnd);

  std::vector<std::string> raw;
  ASSERT_EQ(TStreamFile::ReadAllLines(raw, (dir / "s.kbd").string()), fsOk);
  EXPECT_EQ(raw[1], scrambleText("$version=6"));  // no descrambling there
}

TEST(TextFile, ReadsEveryLineEnding) {
  TempDir dir;
  const std::string longLine(3000, 'x');
  writeFile(dir / "m.txt", "lf\ncr\rcrlf\r\n\r\n" + longLine + "\nend");
  TTextFile f;
  ASSERT_EQ(f.OpenText((dir / "m.txt").string(), TTextFile::tmRead), fsOk);
  EXPECT_EQ(readAllLines(f), (std::vector<std::string>{"lf", "cr", "crlf", "", longLine, "end"}));
  std::string rest;
  EXPECT_FALSE(f.ReadRest(rest));

  TStreamFile s;
  ASSERT_EQ(s.OpenStream((dir / "m.txt").string(), 1, true), fsOk);
  std::string line;
  ASSERT_TRUE(s.ReadLineShort(line, 2));
  EXPECT_EQ(line, "lf");
  ASSERT_TRUE(s.ReadLineShort(line, 1));
  EXPECT_EQ(line, "c");
  EXPECT_EQ(readAllLines(s).size(), 4u);
  EXPECT_TRUE(s.AtEnd());
  EXPECT_FALSE(s.ReadLineText(line));
  EXPECT_EQ(s.status(), fsEnd);
}

TEST(TextFile, WritesLinesWithoutEverLeavingAHalfFile) {
  TempDir dir;
  const auto path = dir / "out.txt";
  writeFile(path, "old content\r\n");
  {
    TTextFile f;
    ASSERT_EQ(f.OpenText(path.string(), TTextFile::tmCreate), fsOk);
    EXPECT_TRUE(f.WriteLine(std::string(300, 'a')));
    EXPECT_TRUE(f.WriteLine("second"));
    EXPECT_EQ(readFile(path), "old content\r\n");  // replaced only when complete
    std::string line;
    EXPECT_FALSE(f.ReadLine(line));  // not open for reading
    EXPECT_EQ(f.Close(), fsClosed);
  }
  const std::string expected = std::string(250, 'a') + "\r\nsecond\r\n";
  EXPECT_EQ(readFile(path), expected);

  TTextFile app;
  ASSERT_EQ(app.OpenText(path.string(), TTextFile::tmAppend), fsOk);
  EXPECT_TRUE(app.WriteLine("third"));
  EXPECT_EQ(readFile(path), expected + "third\r\n");  // appended at once
  EXPECT_EQ(app.Close(), fsClosed);

  TTextFile reader;
  ASSERT_EQ(reader.OpenText(path.string(), TTextFile::tmRead), fsOk);
  EXPECT_FALSE(reader.WriteLine("no"));
  EXPECT_EQ(reader.status(), fsWriteError);
}

TEST(TextFile, OpenFailuresAreReportedAndHarmless) {
  TempDir dir;
  TTextFile f;
  EXPECT_EQ(f.OpenText((dir / "missing.txt").string(), TTextFile::tmRead), fsNotFound);
  EXPECT_EQ(f.size(), -1);
  EXPECT_EQ(f.OpenText((dir / "missing.txt").string(), TTextFile::tmAppend), fsOpenFailed);
  EXPECT_FALSE(std::filesystem::exists(dir / "missing.txt"));
  EXPECT_EQ(f.OpenText((dir / "no" / "dir.txt").string(), TTextFile::tmCreate), fsOpenFailed);
  EXPECT_EQ(f.Close(), fsOpenFailed);  // nothing to close

  writeFile(dir / "a.txt", "one\r\ntwo\r\n");
  ASSERT_EQ(f.OpenText((dir / "a.txt").string(), TTextFile::tmRead), fsOk);
  EXPECT_EQ(f.OpenText((dir / "b.txt").string(), TTextFile::tmRead), fsAlreadyOpen);
  std::string line;
  ASSERT_TRUE(f.ReadLine(line));
  EXPECT_EQ(line, "one");  // the first file is still the open one
  EXPECT_EQ(f.fileName(), (dir / "a.txt").string());

  // A reader denies writers: a second program cannot append meanwhile.
  TTextFile writer;
  EXPECT_EQ(writer.OpenText((dir / "a.txt").string(), TTextFile::tmAppend), fsOpenFailed);
  f.Close();
  EXPECT_EQ(writer.OpenText((dir / "a.txt").string(), TTextFile::tmAppend), fsOk);
}

TEST(StreamFile, WebAddressesGoThroughTheInstalledFetcher) {
  std::vector<std::string> asked;
  setUrlFetcher([&](const std::string& url, bool bypass, std::string& body) {
    asked.push_back(url + (bypass ? " fresh" : " cached"));
    if (url.find("missing") != std::string::npos) return 404;
    body += "$language=ger\r\nzeile\r\n";
    return 200;
  });
  TStreamFile f;
  ASSERT_EQ(f.OpenStream("HTTP://host/data/kurs.cnt"), fsOk);
  EXPECT_EQ(f.language(), "GER");
  std::string line;
  ASSERT_TRUE(f.ReadLineText(line));
  EXPECT_EQ(line, "zeile");
  f.Close();
  EXPECT_EQ(f.OpenStream("http://host/missing.cnt"), fsNotFound);
  std::vector<std::string> lines;
  EXPECT_EQ(TStreamFile::ReadAllLines(lines, "http://host/x.txt"), fsOk);
  EXPECT_EQ(lines, (std::vector<std::string>{"$language=ger", "zeile"}));
  EXPECT_EQ(asked, (std::vector<std::string>{"HTTP://host/data/kurs.cnt cached",
                                             "http://host/missing.cnt cached",
                                             "http://host/x.txt cached"}));
  setUrlFetcher(nullptr);
  EXPECT_EQ(f.OpenStream("http://host/data/kurs.cnt"), fsNotFound);
}

TEST(StreamFile, LocalPathsFileUrlsAndFailures) {
  TempDir dir;
  std::filesystem::create_directory(dir / "Lessons");
  writeFile(dir / "Lessons" / "Words.txt", "a\r\nb");
  TStreamFile f;
  EXPECT_EQ(f.OpenStream(""), fsNotFound);
  EXPECT_EQ(f.OpenStream((dir / "nothing.txt").string()), fsNotFound);
  // Backslashes from data files and any letter case find the file.
  EXPECT_EQ(f.OpenStream(dir.path().string() + "\\lessons\\words.TXT"), fsOk);
  f.Close();

  std::vector<std::string> lines;
  EXPECT_EQ(TStreamFile::ReadAllLines(lines, "file://" + (dir / "Lessons/Words.txt").string()),
            fsOk);
  EXPECT_EQ(lines, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(TStreamFile::ReadAllLines(lines, (dir / "none").string()), fsNotFound);
  EXPECT_TRUE(lines.empty());
}

TEST(StreamFile, BinaryRecordsWithClampedLengths) {
  TempDir dir;
  // Two 10-byte index records, then a 25-byte word record whose length byte claims 200.
  std::string bytes("\x41\x00\x02\x00\xff\xff\x00\x00\x05\x00", 10);
  bytes += std::string("\x42\x00\x03\x00\x02\x00\x01\x00\x06\x00", 10);
  std::string word(25, 'w');
  word[0] = static_cast<char>(200);
  bytes += word;
  writeFile(dir / "eng.hdr", bytes);

  TStreamFile f;
  ASSERT_EQ(f.OpenStream((dir / "eng.hdr").string(), 1, true), fsOk);
  int32_t v = 0;
  ASSERT_TRUE(f.ReadInt16(v));
  EXPECT_EQ(v, 0x41);
  f.ReadInt16(v);
  f.ReadInt16(v);
  EXPECT_EQ(v, -1);  // signed
  f.SeekRecord(1, 10);
  f.ReadInt16(v);
  EXPECT_EQ(v, 0x42);
  f.SeekRecord(2, 10);
  std::string text;
  ASSERT_TRUE(f.ReadShortString(text, 24));
  EXPECT_EQ(text, std::string(24, 'w'));
  EXPECT_TRUE(f.AtEnd());
  EXPECT_FALSE(f.ReadBytes(text, 25));
  EXPECT_EQ(f.status(), fsEnd);
  f.SeekRecord(INT64_MAX, 10);  // far past the end: a short read, never a crash
  EXPECT_FALSE(f.ReadInt16(v));
  EXPECT_EQ(v, 0);
}

}  // namespace
}  // namespace ks
