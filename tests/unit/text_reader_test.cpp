// The reading rules of text files.
#include "editor/text_reader.h"

#include <gtest/gtest.h>

namespace vellumo {
namespace {

struct ReadCase {
  Text file;
  Text text;
};

const ReadCase kReadCases[] = {
    {"", ""},
    {"\x1a"
     "abc",
     ""},
    {"abc", "abc\r\n"},
    {"abc\r\n", "abc\r\n"},
    {"abc\r", "abc\r\n"},
    {"a\nb\n", "a\nb\n\r\n"},
    {"a\rb", "a\r\nb\r\n"},
    {"a\r\r\nb", "a\r\n\r\nb\r\n"},
    {"ab\x1a"
     "cd",
     "ab\r\n"},
    {"ab\r\n\x1a", "ab\r\n"},
    {"\r", "\r\n"},
    {"\n", "\n\r\n"},
    {"\r\n\r\n", "\r\n\r\n"},
    {"ab\r\ncd", "ab\r\ncd\r\n"},
    {"a\r\nb\n", "a\r\nb\n\r\n"},
    {Text("a\0b\r\n", 5), Text("a\0b\r\n", 5)},
    {"\x83\x5c\x83\x7c\r\n", "\x83\x5c\x83\x7c\r\n"},
};

TEST(TextReader, RulesAsOneBlock) {
  for (const auto& c : kReadCases)
    EXPECT_EQ(ReadTextRules(c.file), c.text) << c.file;
}

TEST(TextReader, RulesHoldWhateverTheBlockBoundaries) {
  for (const auto& c : kReadCases) {
    for (const std::size_t size : {1u, 2u, 3u, 100u}) {
      for (const bool take : {false, true}) {
        TextReader reader;
        Text out;
        Text scratch;
        for (std::size_t i = 0; i < c.file.size() && !reader.Ended(); i += size) {
          const TextView block = TextView(c.file).substr(i, size);
          if (take) {
            out.append(reader.Take(block, scratch));
          } else {
            reader.Feed(block, out);
          }
        }
        reader.Finish(out);
        EXPECT_EQ(out, c.text) << c.file << " in blocks of " << size << (take ? ", taken" : "");
      }
    }
  }
}

TEST(TextReader, LongLinesAreReadWhole) {
  for (const std::size_t n : {300u, 100000u}) {
    const Text line(n, 'x');
    EXPECT_EQ(ReadTextRules(line), line + "\r\n");
  }
}

TEST(TextReader, StopsFeedingAtByte26) {
  TextReader reader;
  Text out;
  EXPECT_TRUE(reader.Feed("ab", out));
  EXPECT_FALSE(
      reader.Feed("c\x1a"
                  "d",
                  out));
  EXPECT_FALSE(reader.Feed("more", out));
  reader.Finish(out);
  EXPECT_EQ(out, "abc\r\n");
}

}  // namespace
}  // namespace vellumo
