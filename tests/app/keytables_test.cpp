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
#include <set>
#include <sstream>

namespace zazir {
namespace {

std::vector<std::string> linesOf(const char* file) {
  std::ifstream in(std::string(ZAZIR_SOURCE_DIR "/") + file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The names a key goes by in the documents.
std::vector<std::string> namesOf(Key key) {
  static const std::pair<Key, const char*> kNamed[] = {
      {key::kUp, "Up"},         {key::kDown, "Down"},       {key::kLeft, "Left"},
      {key::kRight, "Right"},   {key::kPageUp, "PageUp"},   {key::kPageDown, "PageDown"},
      {key::kHome, "Home"},     {key::kEnd, "End"},         {key::kDelete, "Delete"},
      {key::kEnter, "Return"},  {key::kEscape, "Esc"},      {key::kTab, "Tab"},
      {key::kBackspace, "Backspace"}, {key::kBackspace, "Ctrl+H"}, {Key(' '), "Space"},
  };
  std::vector<std::string> names;
  for (const auto& [named, name] : kNamed) {
    if (named == key) names.emplace_back(name);
  }
  if (!names.empty() || !key.isByte()) return names;
  if (key.byte() >= 1 && key.byte() <= 26) return {std::string("Ctrl+") + char('A' + key.byte() - 1)};
  return {std::string(1, static_cast<char>(key.byte()))};
}

// What a piece of a document names as keys: named keys among its words,
// one-character code spans and bold arguments; digits in the running text
// tell of a key too, but are not taken for one.
struct Told {
  std::set<std::string> names;
  std::set<std::string> digits;
  std::string text;  // for the arrows, told of as a group
};

void addWords(Told& told, const std::string& text) {
  told.text += text + "\n";
  std::string word;
  for (std::size_t at = 0; at <= text.size(); ++at) {
    const char c = at < text.size() ? text[at] : ' ';
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '+') {
      word += c;
      continue;
    }
    static const std::set<std::string> kWords = {
        "Up",   "Down", "Left", "Right",  "PageUp", "PageDown",  "Home", "End",
        "Delete", "Return", "Esc", "Tab", "Space", "Backspace"};
    if (kWords.contains(word) || word.starts_with("Ctrl+")) told.names.insert(word);
    if (word.size() == 1 && std::isdigit(static_cast<unsigned char>(word[0]))) {
      told.digits.insert(word);
    }
    word.clear();
  }
}

// The README's Keys table: each row's first cell and the rest; "" holds
// the paragraph before it that tells the keys of every screen.
std::map<std::string, Told> readmeKeys() {
  std::map<std::string, Told> rows;
  bool inKeys = false;
  for (const std::string& line : linesOf("README.md")) {
    if (line.starts_with("## ")) inKeys = line == "## Keys";
    if (!inKeys) continue;
    const bool row = line.starts_with("| ");
    if (!row && rows.size() > 1) continue;
    const std::size_t bar = row ? line.find(" | ") : 0;
    Told& told = rows[row ? line.substr(2, bar - 2) : ""];
    const std::string rest = row ? line.substr(bar + 3) : line;
    addWords(told, rest);
    for (std::size_t open = rest.find('`'); open != std::string::npos;) {
      const std::size_t close = rest.find('`', open + 1);
      if (close == open + 2) told.names.insert(rest.substr(open + 1, 1));
      open = rest.find('`', close + 1);
    }
  }
  return rows;
}

// The man page's SCREENS AND KEYS by subsection ("" before the first);
// bold arguments of one character name keys.
std::map<std::string, Told> manKeys() {
  std::map<std::string, Told> sections;
  bool inKeys = false;
  std::string section;
  for (const std::string& line : linesOf("doc/zazir.1")) {
    if (line.starts_with(".SH ")) inKeys = line == ".SH SCREENS AND KEYS";
    if (!inKeys) continue;
    if (line.starts_with(".SS ")) {
      section = line.substr(4);
      section.erase(std::remove(section.begin(), section.end(), '"'), section.end());
      continue;
    }
    Told& told = sections[section];
    if (!line.starts_with(".B ") && !line.starts_with(".BR ")) {
      if (!line.starts_with(".")) addWords(told, line);
      continue;
    }
    // .BR alternates bold and roman arguments, starting bold.
    std::istringstream in(line.substr(line.find(' ') + 1));
    bool bold = true;
    for (std::string argument; in >> std::quoted(argument); bold = !bold) {
      if (!bold && line.starts_with(".BR ")) continue;
      addWords(told, argument);
      if (argument.size() == 1) told.names.insert(argument);
    }
  }
  return sections;
}

// Where each screen is told of: README rows and man sections by the start
// of their names; the paragraph for every screen ("") counts only one way.
struct Place {
  const char* screen;
  std::vector<std::string> readme, man;
};
const Place kPlaces[] = {
    {"lists", {"Lists"}, {"Lists"}},
    {"main menu", {"Lists", "Main menu"}, {"Lists", "Main menu"}},
    {"message board reader",
     {"All three readers", "Message board reader"},
     {"All three readers", "Message board reader"}},
    {"file board reader",
     {"All three readers", "File board reader"},
     {"All three readers", "File board reader"}},
    {"mail reader", {"All three readers", "Mail reader"}, {"All three readers", "Mail reader"}},
    {"preview", {"Preview"}, {"Preview"}},
    {"line input", {"Line input"}, {"Line input"}},
    {"recipient list", {"Recipient list"}, {"Recipient list"}},
    {"ID list", {"ID list"}, {"ID list"}},
    {"group list", {"Group list"}, {"Group list"}},
    {"log chooser", {"Log chooser"}, {"Log chooser"}},
};

TEST(KeyTables, EveryScreensKeysAreTheOnesTheReadmeAndTheManPageTell) {
  const std::vector<ScreenKeys> screens = everyScreensKeys();
  ASSERT_EQ(screens.size(), std::size(kPlaces));
  for (const auto& [document, parts] :
       {std::pair{"README.md", readmeKeys()}, std::pair{"zazir.1", manKeys()}}) {
    for (const ScreenKeys& screen : screens) {
      SCOPED_TRACE(std::string(document) + ": " + std::string(screen.screen));
      const Place& place = *std::find_if(std::begin(kPlaces), std::end(kPlaces),
                                         [&](const Place& p) { return p.screen == screen.screen; });
      const Told& everywhere = parts.at("");
      Told own;
      for (const std::string& start : document == std::string("README.md") ? place.readme
                                                                          : place.man) {
        const auto found = std::find_if(parts.begin(), parts.end(), [&](const auto& part) {
          return !part.first.empty() && part.first.starts_with(start);
        });
        ASSERT_NE(found, parts.end()) << start;
        own.names.insert(found->second.names.begin(), found->second.names.end());
        own.digits.insert(found->second.digits.begin(), found->second.digits.end());
        own.text += found->second.text;
      }
      const std::string text = own.text + everywhere.text;
      std::set<std::string> bound;
      for (const KeyRow& row : screen.keys) {
        for (const Key key : row.keys.keys()) {
          const std::vector<std::string> names = namesOf(key);
          bound.insert(names.begin(), names.end());
          // A lower-case letter beside its capital is the same key told.
          if (key.isByte() && std::islower(key.byte()) &&
              row.keys.contains(Key::ofByte(static_cast<unsigned char>(std::toupper(key.byte()))))) {
            continue;
          }
          const bool arrow = key == key::kUp || key == key::kDown || key == key::kLeft ||
                             key == key::kRight;
          const bool told = std::any_of(names.begin(), names.end(), [&](const std::string& n) {
            return own.names.contains(n) || own.digits.contains(n) ||
                   everywhere.names.contains(n) || everywhere.digits.contains(n);
          }) || (arrow && (text.find("cursor keys") != std::string::npos ||
                           text.find("arrows") != std::string::npos));
          EXPECT_TRUE(told) << "bound, never told: " << names.front();
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
