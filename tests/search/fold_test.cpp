#include "search/fold.h"

#include <gtest/gtest.h>

#include "support/scripted_backend.h"

namespace zazir::search {
namespace {

using testing::sj;

struct FoldCase {
  const char* what;
  std::string text;
  std::string pattern;
  std::vector<MatchSpan> spans;
};

TEST(FoldTest, MatchesWhatAPersonTypesInWhatTheHostWrote) {
  const FoldCase cases[] = {
      {"ASCII case", "Hello WORLD", "world", {{6, 5}}},
      {"full-width letters for ASCII", sj("ＺａＺＩＲ"), "zAzir", {{0, 10}}},
      {"ASCII for full-width letters", "zazir", sj("ＺＡＺＩＲ"), {{0, 5}}},
      {"full-width digits and punctuation", sj("ｖｅｒ１．２！"), "VER1.2!", {{0, 14}}},
      {"half-width katakana with marks", sj("ｱｯﾌﾟﾛｰﾄﾞ完了"), sj("アップロード"), {{0, 8}}},
      {"voiced kana for half-width", sj("ガイド"), sj("ｶﾞｲﾄﾞ"), {{0, 6}}},
      {"semi-voiced", sj("ﾊﾟｿｺﾝ"), sj("パソコン"), {{0, 5}}},
      {"a voiced kana is not its base", sj("ｶﾞ"), sj("カ"), {}},
      {"nor the base a voiced kana", sj("カ"), sj("ｶﾞ"), {}},
      {"a lone mark", sj("ｱﾞ"), sj("゛"), {{1, 1}}},
      {"no start on a trail byte", sj("ア表"), "A", {}},
      {"nor on the yen sign's twin", sj("表"), "\\", {}},
      {"full-width yen sign", "C:\\DOS", sj("￥"), {{2, 1}}},
      {"TAB and ideographic space are blanks", "a\tb" + sj("　c"), "a b c", {{0, 6}}},
      {"every match, none overlapping", "aAaAa", "aa", {{0, 2}, {2, 2}}},
      {"an empty pattern finds nothing", "abc", "", {}},
      // CP932 holds some characters twice; what is typed gets one code.
      {"NEC's twin of a symbol", "\x87\x90", sj("≒"), {{0, 2}}},
      {"an IBM kanji in NEC's code", "\xEE\xE0" + sj("橋"), sj("髙橋"), {{0, 4}}},
      {"a full-width form in NEC's code", "\xEE\xFC", "\"", {{0, 2}}},
  };
  for (const FoldCase& c : cases) {
    EXPECT_EQ(findMatches(c.text, compilePattern(c.pattern)), c.spans) << c.what;
  }
}

TEST(FoldTest, RawFormsAreEveryWayTheTextCanHoldAUnit) {
  const auto formsOf = [](const std::string& text) {
    std::vector<std::string> forms = rawForms(compilePattern(text).units.at(0));
    std::sort(forms.begin(), forms.end());
    return forms;
  };
  EXPECT_EQ(formsOf("a"), (std::vector<std::string>{"A", "a", sj("Ａ"), sj("ａ")}));
  EXPECT_EQ(formsOf(sj("ガ")), (std::vector<std::string>{sj("ガ"), sj("ｶﾞ")}));
  EXPECT_EQ(formsOf(sj("漢")), (std::vector<std::string>{sj("漢")}));
}

}  // namespace
}  // namespace zazir::search
