#include "console/render.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/console.h"
#include "support/scripted_backend.h"
#include "support/terminal_model.h"

namespace zazir {
namespace {

using testing::ScriptedBackend;
using testing::sj;
using testing::TerminalModel;

class RenderTest : public ::testing::TestWithParam<bool> {
 protected:
  // Renders the console's screen into a model terminal whose ambiguous
  // characters are narrow or wide.
  TerminalModel render(Renderer& renderer, const Screen& screen) {
    model_.feed(renderer.frame(screen, 25, 80));
    return model_;
  }
  ScriptedBackend backend_;
  Console console_{backend_};
  TerminalModel model_{25, 80, GetParam()};
};

TEST_P(RenderTest, DoubleByteCharactersLandOnTheirExactColumns) {
  Renderer renderer("UTF-8");
  console_.clearScreen();
  console_.setCursor(3, 2);
  console_.writeText(sj("←★●ｱｲ漢x"));
  const TerminalModel& shown = render(renderer, console_.screen());
  struct Expect {
    int column;
    const char* glyph;
  } expected[] = {{3, "←"}, {5, "★"}, {7, "●"}, {9, "ｱ"}, {10, "ｲ"}, {11, "漢"}, {13, "x"}};
  for (const Expect& e : expected) {
    EXPECT_EQ(shown.glyphAt(2, e.column), e.glyph) << "column " << e.column;
  }
  EXPECT_EQ(shown.strayControls(), "");
}

TEST_P(RenderTest, RedrawsLeaveNothingStaleBehindNarrowOrWideGlyphs) {
  Renderer renderer("UTF-8");
  console_.clearScreen();
  console_.setCursor(0, 0);
  console_.writeText("abcdefgh");
  render(renderer, console_.screen());
  console_.setCursor(0, 0);
  console_.writeText(sj("←●") + "xy");
  TerminalModel shown = render(renderer, console_.screen());
  EXPECT_EQ(shown.glyphAt(0, 0), "←");
  EXPECT_EQ(shown.glyphAt(0, 2), "●");
  EXPECT_EQ(shown.glyphAt(0, 4), "x");
  EXPECT_EQ(shown.glyphAt(0, 6), "g");
  if (!GetParam()) {
    // Drawn one column wide, the glyph leaves a blank, not the old 'b'.
    EXPECT_EQ(shown.glyphAt(0, 1), " ");
    EXPECT_EQ(shown.glyphAt(0, 3), " ");
  }
  // And back from wide to narrow characters.
  console_.setCursor(0, 0);
  console_.writeText("1234");
  shown = render(renderer, console_.screen());
  EXPECT_EQ(shown.rowText(0), "1234xygh");
}

TEST_P(RenderTest, RoundTripMatchesTheVirtualScreen) {
  Renderer renderer("UTF-8");
  console_.clearScreen();
  for (int row = 0; row < 24; ++row) {
    console_.setCursor(row % 3, row);
    console_.setAttribute(static_cast<Attribute>(row * 11));
    console_.writeText(sj("行") + std::to_string(row) + sj("：漢字とｶﾅと★"));
  }
  const TerminalModel& shown = render(renderer, console_.screen());
  for (int row = 0; row < 24; ++row) {
    EXPECT_EQ(shown.rowText(row), rowToUtf8(console_.screen(), row)) << "row " << row;
  }
}

INSTANTIATE_TEST_SUITE_P(AmbiguousWidth, RenderTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Wide" : "Narrow"; });

TEST(Render, ControlBytesAndEscapesNeverReachTheTerminalRaw) {
  ScriptedBackend backend;
  Console console(backend);
  console.clearScreen();
  std::string hostile = "a\x1b[2Jb\x1b]0;title\x07";
  hostile += std::string("c\x00\x01\x7f\x80\xa0\xfd\xff", 9) + "\x88";  // lone lead at the end
  console.writeBody(hostile);
  Renderer renderer("UTF-8");
  const std::string out = renderer.frame(console.screen(), 25, 80);
  TerminalModel model(25, 80, false);
  model.feed(out);
  EXPECT_EQ(model.strayControls(), "");
  // Only the renderer's own sequences: every ESC starts a CSI it made.
  for (std::size_t at = out.find('\x1b'); at != std::string::npos; at = out.find('\x1b', at + 1)) {
    EXPECT_EQ(out[at + 1], '[');
  }
  EXPECT_EQ(model.rowText(0).substr(0, 4), "a?[2");
  EXPECT_EQ(rowToUtf8(console.screen(), 0), model.rowText(0));
}

TEST(Render, SgrFollowsTheConsoleColourBitsOrWithoutColoursReverseAndBold) {
  struct Case {
    Attribute attribute;
    const char* colours;
    const char* noColour;
  } cases[] = {
      // White on black and the start-up colours are the terminal's own.
      {attr::kStartup, "\x1b[0m", "\x1b[0m"},
      {attr::kNormal, "\x1b[0m", "\x1b[0m"},
      {attr::kBar, "\x1b[0;7m", "\x1b[0;7m"},            // the terminal's own colours reversed
      {attr::kHighlight, "\x1b[0;97;42m", "\x1b[0;7m"},  // bright white on green
      {attr::kFatal, "\x1b[0;30;104m", "\x1b[0;7m"},     // black on bright blue
      {attr::kIdFileNotice, "\x1b[0;30;105m", "\x1b[0;7m"},
      {attr::kMarked, "\x1b[0;30;103m", "\x1b[0;1m"},
      {attr::kTyped, "\x1b[0;92;40m", "\x1b[0m"},
      {0x01, "\x1b[0;34;40m", "\x1b[0m"},  // console blue is ANSI 4
      {0x04, "\x1b[0;31;40m", "\x1b[0m"},  // console red is ANSI 1
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sgrFor(c.attribute), c.colours) << int{c.attribute};
    EXPECT_EQ(sgrFor(c.attribute, Colours::Off), c.noColour) << int{c.attribute};
  }
}

TEST(Render, BarsStandOutOnDarkAndLightTerminals) {
  ScriptedBackend backend;
  Console console(backend);
  console.clearScreen();
  console.setCursor(0, 2);
  console.writeText("page");
  console.setBar();
  console.setCursor(0, 0);
  console.writeText("bar");
  console.setAttribute(attr::kHighlight);
  console.setCursor(0, 4);
  console.writeText("hit");
  for (const Colours colours : {Colours::On, Colours::Off}) {
    for (const testing::Theme theme : {testing::kDarkTheme, testing::kLightTheme}) {
      SCOPED_TRACE(::testing::Message()
                   << "colours " << int(colours) << ", background " << theme.background);
      Renderer renderer("UTF-8", colours);
      TerminalModel model(25, 80, false, theme);
      model.feed(renderer.frame(console.screen(), 25, 80));
      EXPECT_EQ(model.backgroundAt(2, 0), theme.background);
      EXPECT_EQ(model.foregroundAt(2, 0), theme.foreground);
      // The bar: the page's colours the other way round.
      EXPECT_EQ(model.backgroundAt(0, 0), theme.foreground);
      EXPECT_EQ(model.foregroundAt(0, 0), theme.background);
      if (colours == Colours::On) {
        EXPECT_EQ(model.backgroundAt(4, 0), 2);  // green stays
      }
    }
  }
}

TEST(Render, SendsOnlyWhatChanged) {
  ScriptedBackend backend;
  Console console(backend);
  console.clearScreen();
  console.writeText("hello");
  Renderer renderer("UTF-8");
  renderer.frame(console.screen(), 25, 80);
  EXPECT_EQ(renderer.frame(console.screen(), 25, 80), "\x1b[1;6H");  // only the cursor
  console.setCursor(1, 0);
  console.writeText("a");
  const std::string out = renderer.frame(console.screen(), 25, 80);
  EXPECT_NE(out.find("\x1b[1;2H"), std::string::npos);
  EXPECT_EQ(out.find("llo"), std::string::npos);
}

TEST(Render, AScreenOfAnotherHeightIsDrawnWholeAndLeavesNothingOfTheLastOne) {
  ScriptedBackend backend;
  backend.setRows(40);
  Console console(backend);
  console.clearScreen();
  console.setCursor(0, 39);
  console.writeText("bottom");
  Renderer renderer("UTF-8");
  TerminalModel tall(40, 80, false);
  tall.feed(renderer.frame(console.screen(), 40, 80));
  EXPECT_EQ(tall.rowText(39), "bottom");
  backend.setRows(25);
  console.clearScreen();
  tall.feed(renderer.frame(console.screen(), 40, 80));
  EXPECT_EQ(tall.rowText(39), "");
}

TEST(Render, BelowEightyByTwentyFourANoticeStandsInForTheScreenUntilItFits) {
  ScriptedBackend backend;
  Console console(backend);
  console.clearScreen();
  for (int row = 0; row < 24; ++row) {
    console.setCursor(0, row);
    console.writeText(std::string(78, 'x') + sj("漢"));
  }
  struct Case {
    int rows, columns;
    std::vector<std::string> shown;
  } cases[] = {
      {24, 79, {"端末の大きさを 80x24 以上にしてください。",
                "Please make the terminal at least 80x24.", "(79x24)"}},
      {23, 80, {"端末の大きさを 80x24 以上にしてください。",
                "Please make the terminal at least 80x24.", "(80x23)"}},
      // Cut at the edge, never half a character.
      {2, 13, {"端末の大きさ", "Please make t"}},
  };
  for (const Case& c : cases) {
    Renderer renderer("UTF-8");
    renderer.frame(console.screen(), 25, 80);
    TerminalModel model(c.rows, c.columns, false);
    model.feed(renderer.frame(console.screen(), c.rows, c.columns));
    for (int row = 0; row < c.rows; ++row) {
      const std::string expected = row < static_cast<int>(c.shown.size()) ? c.shown[row] : "";
      EXPECT_EQ(model.rowText(row), expected) << c.columns << "x" << c.rows << " row " << row;
    }
    EXPECT_EQ(model.strayControls(), "");
    // Large enough again: the screen whole, not only what changed meanwhile.
    TerminalModel larger(24, 80, false);
    larger.feed(renderer.frame(console.screen(), 24, 80));
    EXPECT_EQ(larger.rowText(23), rowToUtf8(console.screen(), 23));
  }
}

}  // namespace
}  // namespace zazir
