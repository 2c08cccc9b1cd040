#include "formats/boardlog.h"

#include <gtest/gtest.h>

#include <string>

namespace zazir {
namespace {

TEST(BoardLog, PosterHandle) {
  struct Case {
    std::string line;
    std::string handle;
  } cases[] = {
      {"Message  #0012 is from: ID0001 hana", "hana"},
      {"Message  #0012 is from:    ID0001  two  words\r\n", " two  words"},
      {"Message  #0012 is from: ID0001\r\n", ""},
      {"Message  #0012 is from: ID0001 ", ""},
      {"short", ""},
      {"Message  #0012 is from: ID0001 h\tx", "h x"},
      {"Message  #0012 is from: ID0001 " + std::string(60, 'h'), std::string(48, 'h')},
  };
  for (const Case& c : cases) EXPECT_EQ(posterHandle(c.line), c.handle) << c.line;
}

TEST(BoardLog, StopLinesAndNumbers) {
  EXPECT_TRUE(isStopLine("*CH"));
  EXPECT_TRUE(isStopLine("00xx:"));
  EXPECT_TRUE(isStopLine("0012:34"));
  EXPECT_FALSE(isStopLine("0012"));
  EXPECT_FALSE(isStopLine("1012:34"));
  EXPECT_FALSE(isStopLine(" *CH"));
  EXPECT_EQ(messageNumber("Message  #0012 is"), 12);
  EXPECT_EQ(messageNumber("Message  #0089 is"), 89);  // never octal
  EXPECT_EQ(messageNumber("Message #12"), 0);
}

TEST(EntryLine, TheFirstThreeCharactersAreTheFileNumber) {
  struct Case {
    std::string line;
    int number;
  } cases[] = {
      {"001: A.LZH", 1}, {"  7: B.LZH", 7}, {"123:", 123},       {" +7:", 7},   {"000: C.LZH", 0},
      {"1234: D", 0},    {"abc: E", 0},     {"-01: F", 0},       {"12: G", 0},  {"007 H", 0},
      {"", 0},           {"01:", 0},        {"089: octal?", 89}, {"7  : I", 7}, {"   : J", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(entryFileNumber(c.line), c.number) << c.line;
}

}  // namespace
}  // namespace zazir
