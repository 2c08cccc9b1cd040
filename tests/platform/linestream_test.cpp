#include "platform/linestream.h"
#include "platform/windowstream.h"

#include <gtest/gtest.h>

#include <random>

#include "support/temp_dir.h"
#include "text/cp932.h"

namespace zazir {
namespace {

std::string writeTemp(const std::string& bytes) {
  static const testing::TempDir temp;
  const std::string path = temp.path("linestream_test.bin");
  testing::writeBytes(path, bytes);
  return path;
}

// Lines of every length around the buffer and read limits, some without a
// line feed at the end of the data.
std::string mixedLines(unsigned seed, std::size_t size) {
  std::mt19937 rng(seed);
  std::string data;
  while (data.size() < size) {
    const std::size_t length = rng() % 8 == 0 ? rng() % 12000 : rng() % 90;
    for (std::size_t i = 0; i < length; ++i) data += static_cast<char>('a' + rng() % 26);
    data += rng() % 5 == 0 ? "\n" : "\r\n";
  }
  data.resize(size);
  return data;
}

// Reads the whole stream with `maxBytes`, seeking now and then as the
// readers do (back one byte for the carry rule, back to a noted offset,
// forward past the buffer) and asking for blocks; returns each line with
// the offset after it.
std::vector<std::pair<std::string, LogOffset>> readAll(LineStream& stream, std::size_t maxBytes,
                                                       unsigned seed, LogOffset size) {
  std::mt19937 rng(seed);
  std::vector<std::pair<std::string, LogOffset>> lines;
  std::string_view view;
  LogOffset noted = 0;
  while (stream.readLineView(view, maxBytes)) {
    lines.emplace_back(std::string(view), stream.tell());
    switch (rng() % 40) {
      case 0:
        stream.seek(stream.tell() - 1);
        break;
      case 1:
        stream.seek(noted);
        break;
      case 2:
        noted = stream.tell();
        break;
      case 3:
        stream.seek(std::min<LogOffset>(size, stream.tell() + rng() % 30000));
        break;
      case 4:
        // A block asked for, as the scans ask: it starts where the lines go on.
        lines.emplace_back(std::string(stream.buffered(8 + rng() % 140000).substr(0, 8)),
                           stream.tell());
        break;
      default:
        break;
    }
    if (lines.size() > 200'000) break;  // a stream that never ends
  }
  lines.emplace_back("<end>", stream.tell());
  return lines;
}

TEST(FileLineStream, ReadsExactlyAsTheMemoryStream) {
  const std::string data = mixedLines(7, 400'000);
  const std::string path = writeTemp(data);
  const auto size = static_cast<LogOffset>(data.size());
  for (std::size_t bufferSize : {2048u, 4099u, 10000u, 65536u, 131072u}) {
    for (std::size_t maxBytes : {1u, 2u, 77u, 1023u, 5000u, 20000u}) {
      auto file = FileLineStream::open(path, bufferSize);
      ASSERT_TRUE(file);
      MemoryLineStream memory(data);
      const unsigned seed = static_cast<unsigned>(bufferSize * 31 + maxBytes);
      const auto fromFile = readAll(*file, maxBytes, seed, size);
      const auto fromMemory = readAll(memory, maxBytes, seed, size);
      ASSERT_EQ(fromFile.size(), fromMemory.size()) << bufferSize << "/" << maxBytes;
      for (std::size_t i = 0; i < fromFile.size(); ++i) {
        ASSERT_EQ(fromFile[i], fromMemory[i]) << bufferSize << "/" << maxBytes << " line " << i;
      }
    }
  }
}

// Read through another stream's bytes where they reach, its own file
// elsewhere: the same lines, whatever part of the file the bytes are.
TEST(WindowStream, ReadsExactlyAsTheMemoryStream) {
  const std::string data = mixedLines(11, 300'000);
  const std::string path = writeTemp(data);
  const auto size = static_cast<LogOffset>(data.size());
  struct Window {
    std::size_t start, bytes;
  };
  for (const Window window : {Window{0, data.size()}, Window{0, 70'000}, Window{123'457, 90'000},
                              Window{200'001, data.size() - 200'001}, Window{5, 0}}) {
    for (std::size_t maxBytes : {1u, 77u, 1023u, 20000u}) {
      auto file = FileLineStream::open(path, 4099);
      ASSERT_TRUE(file);
      WindowStream stream(*file);
      stream.show(std::string_view(data).substr(window.start, window.bytes),
                  static_cast<LogOffset>(window.start), window.start + window.bytes == data.size());
      MemoryLineStream memory(data);
      const auto seed = static_cast<unsigned>(window.start + maxBytes);
      EXPECT_EQ(readAll(stream, maxBytes, seed, size), readAll(memory, maxBytes, seed, size))
          << window.start << "+" << window.bytes << "/" << maxBytes;
    }
  }
}

TEST(FileLineStream, SeeksAnywhereAndRereads) {
  const std::string data = "first\r\nsecond\r\n" + std::string(30000, 'x') + "\r\nlast";
  const std::string path = writeTemp(data);
  auto file = FileLineStream::open(path, 10000);
  ASSERT_TRUE(file);
  std::string line;
  ASSERT_TRUE(file->readLine(line));
  EXPECT_EQ(line, "first\r\n");
  file->seek(static_cast<LogOffset>(data.size()) - 4);
  ASSERT_TRUE(file->readLine(line));
  EXPECT_EQ(line, "last");
  EXPECT_FALSE(file->readLine(line));
  EXPECT_EQ(file->tell(), static_cast<LogOffset>(data.size()));
  file->seek(7);
  ASSERT_TRUE(file->readLine(line));
  EXPECT_EQ(line, "second\r\n");
  file->seek(-5);
  EXPECT_EQ(file->tell(), 0);
  file->seek(static_cast<LogOffset>(data.size()) + 100);
  EXPECT_FALSE(file->readLine(line));
}

TEST(FileLineStream, CarryRuleAcrossTheBufferEdge) {
  // A kanji whose lead byte is the last byte of a 77-byte piece, placed so
  // that the piece ends exactly where the first buffer fill ends.
  std::string data(2048 - 77 + 76, 'a');
  data[2048 - 77 - 1] = '\n';
  data +=
      "\x8a\xbf"
      "b\r\n";
  const std::string path = writeTemp(data);
  auto file = FileLineStream::open(path, 2048);
  MemoryLineStream memory(data);
  std::string fromFile, fromMemory;
  while (true) {
    const bool a = readPiece(*file, fromFile, 77);
    const bool b = readPiece(memory, fromMemory, 77);
    ASSERT_EQ(a, b);
    if (!a) break;
    ASSERT_EQ(fromFile, fromMemory);
    ASSERT_EQ(file->tell(), memory.tell());
  }
}

TEST(FileLineStream, MissingFilesAndDirectoriesDoNotOpen) {
  EXPECT_FALSE(FileLineStream::open("/nonexistent/zazir.log"));
  EXPECT_FALSE(FileLineStream::open(::testing::TempDir()));
}

}  // namespace
}  // namespace zazir
