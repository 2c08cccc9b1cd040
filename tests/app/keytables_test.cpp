// Every screen's key table against what the README and the man page tell
// of that screen, both ways: a key bound and never told, or told and no
// longer bound, fails.
#include "app/keytables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iomanip>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace zazir {
namespace {

// The names a key goes by in the documents.
std::set<std::string> namesOf(Key key) {
  static const std::map<std::uint16_t, std::set<std::string>> kNamed = {
      {key::kUp.code(), {"Up"}},         {key::kDown.code(), {"Down"}},
      {key::kLeft.code(), {"Left"}},     {key::kRight.code(), {"Right"}},
      {key::kPageUp.code(), {"PageUp"}}, {key::kPageDown.code(), {"PageDown"}},
      {key::kHome.code(), {"Home"}},     {key::kEnd.code(), {"End"}},
      {key::kDelete.code(), {"Delete"}}, {key::kEnter.code(), {"Return"}},
      {key::kEscape.code(), {"Esc"}},    {key::kTab.code(), {"Tab"}},
      {' ', {"Space"}},                  {key::kBackspace.code(), {"Backspace", "Ctrl+H"}},
  };
  if (const auto named = kNamed.find(key.code()); named != kNamed.end()) return named->second;
  if (key.byte() < 0x20) return {std::string("Ctrl+") + char('@' + key.byte())};
  return {std::string(1, static_cast<char>(key.byte()))};
}

// What a piece of a document tells: key names (named keys among its words,
// one-character code spans, one-character bold arguments), and, loosely,
// the digits of its running text and the arrows it tells of as a group.
struct Told {
  std::set<std::string> names, loose;
  void add(const std::string& text) {
    static const std::set<std::string> kWords = {
        "Up",  "Down", "Left", "Right", "PageUp", "PageDown", "Home",     "End",
        "Esc", "Tab",  "Space", "Return", "Delete", "Backspace"};
    std::istringstream words(std::regex_replace(text, std::regex("[^A-Za-z0-9+]"), " "));
    for (std::string word; words >> word;) {
      if (kWords.contains(word) || word.starts_with("Ctrl+")) names.insert(word);
      if (word.size() == 1 && std::isdigit(static_cast<unsigned char>(word[0]))) loose.insert(word);
    }
    if (text.find("cursor keys") != std::string::npos || text.find("arrows") != std::string::npos) {
      loose.insert({"Up", "Down", "Left", "Right"});
    }
  }
};

// The README's Keys table by its rows' first cells; "" holds the
// paragraph before it, which tells the keys of every screen.
std::map<std::string, Told> readmeKeys() {
  std::map<std::string, Told> parts;
  std::ifstream in(ZAZIR_SOURCE_DIR "/README.md");
  bool inKeys = false;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("## ")) inKeys = line == "## Keys";
    const bool row = line.starts_with("| ");
    if (!inKeys || (!row && parts.size() > 1)) continue;
    const std::size_t bar = row ? line.find(" | ") : 0;
    Told& told = parts[row ? line.substr(2, bar - 2) : ""];
    const std::string rest = row ? line.substr(bar + 3) : line;
    told.add(rest);
    static const std::regex kSpan("`([^`])`");
    for (std::sregex_iterator span(rest.begin(), rest.end(), kSpan), end; span != end; ++span) {
      told.names.insert((*span)[1]);
    }
  }
  return parts;
}

// The man page's SCREENS AND KEYS by subsection ("" before the first).
std::map<std::string, Told> manKeys() {
  std::map<std::string, Told> parts;
  std::ifstream in(ZAZIR_SOURCE_DIR "/doc/zazir.1");
  bool inKeys = false;
  std::string part;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with(".SH ")) inKeys = line == ".SH SCREENS AND KEYS";
    if (!inKeys) continue;
    if (line.starts_with(".SS ")) {
      part = std::regex_replace(line.substr(4), std::regex("\""), "");
    } else if (line.starts_with(".B ") || line.starts_with(".BR ")) {
      // .BR alternates bold and roman arguments, starting bold.
      std::istringstream arguments(line.substr(line.find(' ') + 1));
      bool bold = true;
      for (std::string argument; arguments >> std::quoted(argument); bold = !bold) {
        if (!bold && line.starts_with(".BR ")) continue;
        parts[part].add(argument);
        if (argument.size() == 1) parts[part].names.insert(argument);
      }
    } else if (!line.starts_with(".")) {
      parts[part].add(line);
    }
  }
  return parts;
}

// Where each screen is told of, by the start of the parts' names in both
// documents.
const std::map<std::string_view, std::vector<std::string>> kPlaces = {
    {"lists", {"Lists"}},
    {"main menu", {"Lists", "Main menu"}},
    {"title list", {"Lists", "Title list"}},
    {"message board reader", {"All three readers", "Message board reader"}},
    {"file board reader", {"All three readers", "File board reader"}},
    {"mail reader", {"All three readers", "Mail reader"}},
    {"preview", {"Preview"}},
    {"line input", {"Line input"}},
    {"recipient list", {"Recipient list"}},
    {"ID list", {"ID list"}},
    {"group list", {"Group list"}},
    {"log chooser", {"Log chooser"}},
};

TEST(KeyTables, EveryScreensKeysAreTheOnesTheReadmeAndTheManPageTell) {
  const std::vector<ScreenKeys> screens = everyScreensKeys();
  ASSERT_EQ(screens.size(), kPlaces.size());
  for (const auto& [document, parts] : {std::pair{"README.md", readmeKeys()},
                                        std::pair{"zazir.1", manKeys()}}) {
    for (const ScreenKeys& screen : screens) {
      SCOPED_TRACE(std::string(document) + ": " + std::string(screen.screen));
      Told own, all = parts.at("");
      for (const std::string& start : kPlaces.at(screen.screen)) {
        const auto part = std::find_if(parts.begin(), parts.end(), [&](const auto& p) {
          return !p.first.empty() && p.first.starts_with(start);
        });
        ASSERT_NE(part, parts.end()) << start;
        for (Told* told : {&own, &all}) {
          told->names.insert(part->second.names.begin(), part->second.names.end());
          told->loose.insert(part->second.loose.begin(), part->second.loose.end());
        }
      }
      std::set<std::string> bound;
      for (const KeyRow& row : screen.keys) {
        for (const Key key : row.keys.keys()) {
          const std::set<std::string> names = namesOf(key);
          bound.insert(names.begin(), names.end());
          // A small letter beside its capital is the capital told.
          if (key.isByte() && std::islower(key.byte()) &&
              row.keys.contains(Key::ofByte(static_cast<unsigned char>(std::toupper(key.byte()))))) {
            continue;
          }
          EXPECT_TRUE(std::any_of(names.begin(), names.end(), [&](const std::string& name) {
            return all.names.contains(name) || all.loose.contains(name);
          })) << "bound, never told: " << *names.begin();
        }
      }
      for (const std::string& name : own.names) {
        EXPECT_TRUE(bound.contains(name)) << "told, not bound: " << name;
      }
    }
  }
}

}  // namespace
}  // namespace zazir
