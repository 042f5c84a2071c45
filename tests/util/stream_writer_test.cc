#include "util/stream_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support.h"

namespace kastel {
namespace {

namespace fs = std::filesystem;
using testing::ExpectError;
using testing::ReadFile;
using testing::WriteFile;

class StreamWriterTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir_ / name; }

  testing::ScratchDir dir_;
};

TEST_F(StreamWriterTest, OpenReplacesOrAppendsAsAsked) {
  struct Case {
    const char* what;
    std::optional<std::string> before;  // nothing: the file does not exist
    bool append;
    std::vector<std::string> texts;
    std::string after;
  };
  const std::vector<Case> cases = {
      {"new file", std::nullopt, false, {"a\r\n", "b"}, "a\r\nb"},
      {"existing file is emptied", "old contents\r\n", false, {"new"}, "new"},
      {"existing file emptied with nothing written", "old", false, {}, ""},
      {"append keeps the contents", "old\r\n", true, {"new"}, "old\r\nnew"},
      {"append creates a missing file", std::nullopt, true, {"x"}, "x"},
      {"no line break is added", std::nullopt, false, {"-- t", "GO"}, "-- tGO"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = Path("f.sql");
    fs::remove(path);
    if (c.before) WriteFile(path, *c.before);
    StreamWriter w;
    w.Open_(path, c.append);
    for (const std::string& t : c.texts) w.Write_(t);
    w.Close_();
    EXPECT_EQ(ReadFile(path), c.after);
  }
}

TEST_F(StreamWriterTest, TextIsStoredInTheChosenEncoding) {
  struct Case {
    TextEncoding encoding;
    std::string text;
    std::string bytes;
  };
  const std::vector<Case> cases = {
      // Two bytes for each full-width character.
      {TextEncoding::kCp932, "社員", "\x8E\xD0\x88\xF5"},
      {TextEncoding::kCp932, "-- ｱ", "-- \xB1"},
      {TextEncoding::kCp932, "N'部署マスタ''s'", "N'\x95\x94\x8F\x90\x83\x7D\x83\x58\x83\x5E''s'"},
      // What CP932 cannot hold becomes "?", one per character.
      {TextEncoding::kCp932, "Straße 😀", "Stra?e ?"},
      {TextEncoding::kUtf8, "社員 😀", "社員 😀"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string path = Path("enc.sql");
    StreamWriter w(c.encoding);
    w.Open_(path, false);
    w.Write_(c.text);
    w.Close_();
    EXPECT_EQ(ReadFile(path), c.bytes);
  }
}

// Each writer holds its own file: a second Open closes the first file, and a writer released
// while open closes its file with everything written, in order (more than its worker takes at
// a time).
TEST_F(StreamWriterTest, EachWriterKeepsItsOwnFileAndClosesItWhenReleased) {
  std::string big;
  while (big.size() < 3'000'000) big += "-- " + std::to_string(big.size()) + "\r\n";
  {
    StreamWriter a, b;
    a.Open_(Path("first.sql"), false);
    b.Open_(Path("b.sql"), false);
    a.Write_("one");
    b.Write_("B1");
    a.Open_(Path("second.sql"), false);
    EXPECT_EQ(ReadFile(Path("first.sql")), "one");
    for (std::size_t at = 0; at < big.size(); at += 1000) a.Write_(big.substr(at, 1000));
    b.Write_("B2");
  }
  EXPECT_EQ(ReadFile(Path("second.sql")), big);
  EXPECT_EQ(ReadFile(Path("b.sql")), "B1B2");
}

TEST_F(StreamWriterTest, OpenFailsWithTheRuntimesErrorAndLeavesNoFileOpen) {
  WriteFile(Path("plain"), "");
  struct Case {
    std::string path;
    RuntimeError error;
  };
  const std::vector<Case> cases = {
      {Path("missing/table.sql"), RuntimeError::kPathNotFound},
      {Path("plain/table.sql"), RuntimeError::kPathNotFound},  // a file where a folder should be
      {dir_.path().string(), RuntimeError::kPathFile},         // the path names a folder
      {"", RuntimeError::kBadFileName}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    StreamWriter w;
    ExpectError([&] { w.Open_(c.path, false); }, c.error);
    EXPECT_FALSE(w.is_open());
    ExpectError([&] { w.Write_("x"); }, RuntimeError::kBadFileName);
  }
  EXPECT_FALSE(fs::exists(Path("missing")));
}

TEST_F(StreamWriterTest, WritingOrClosingWithoutAnOpenFileFailsWithBadFileNumber) {
  StreamWriter never_opened;
  ExpectError([&] { never_opened.Write_("x"); }, RuntimeError::kBadFileName);
  ExpectError([&] { never_opened.Close_(); }, RuntimeError::kBadFileName);

  StreamWriter closed;
  closed.Open_(Path("c.sql"), false);
  closed.Close_();
  ExpectError([&] { closed.Close_(); }, RuntimeError::kBadFileName);
  ExpectError([&] { closed.Write_("x"); }, RuntimeError::kBadFileName);
}

// Blocks built by the writer's worker land where they were written; one that fails to build
// fails the file at the next call, with what came before it kept and nothing after it.
TEST_F(StreamWriterTest, TextsBuiltByTheWorkerKeepTheirPlaceAndTheirFailureIsReported) {
  const std::string path = Path("built.sql");
  StreamWriter w;
  w.Open_(path, false);
  w.Write_("a");
  w.Write_([] { return std::string("社"); });
  w.Write_("c");
  w.Write_([]() -> std::string { throw Error::Runtime(RuntimeError::kOutOfMemory); });
  w.Write_("lost");
  ExpectError([&] { w.Close_(); }, RuntimeError::kOutOfMemory);
  EXPECT_EQ(ReadFile(path),
            "a\x8E\xD0"
            "c");
  EXPECT_FALSE(w.is_open());
}

TEST_F(StreamWriterTest, AFullDiskIsReportedWhenTheFileIsClosed) {
  StreamWriter w;
  w.Open_("/dev/full", false);
  w.Write_("buffered until the close");
  ExpectError([&] { w.Close_(); }, 61, "ディスクの空き容量が不足しています。");
  EXPECT_FALSE(w.is_open());
}

}  // namespace
}  // namespace kastel
