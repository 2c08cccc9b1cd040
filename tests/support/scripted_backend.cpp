#include "support/scripted_backend.h"

#include "console/render.h"
#include "platform/encoding.h"

namespace zazir {
std::ostream& operator<<(std::ostream& out, Key key) {
  return out << "key 0x" << std::hex << key.code() << std::dec;
}
}  // namespace zazir

namespace zazir::testing {

ScriptedBackend& ScriptedBackend::type(std::string_view keys) {
  for (char c : keys) keys_.push_back({keyOfByte(static_cast<unsigned char>(c))});
  return *this;
}

ScriptedBackend& ScriptedBackend::press(Key key) {
  keys_.push_back({key});
  return *this;
}

ScriptedBackend& ScriptedBackend::press(Key key, int times) {
  keys_.insert(keys_.end(), times, Entry{key});
  return *this;
}

ScriptedBackend& ScriptedBackend::press(const std::vector<Key>& keys) {
  for (Key key : keys) keys_.push_back({key});
  return *this;
}

ScriptedBackend& ScriptedBackend::hangUp(int signal) {
  keys_.push_back({{}, signal});
  return *this;
}

ScriptedBackend& ScriptedBackend::resize(int rows) {
  keys_.push_back({key::kResize, 0, rows});
  return *this;
}

void ScriptedBackend::present(const Screen& screen) {
  shown_ = screen;
}

Key ScriptedBackend::readKey() {
  atKey_.push_back(shown_);
  if (hungUpBy_ == 0 && !keys_.empty() && keys_.front().signal != 0) {
    hungUpBy_ = keys_.front().signal;
    keys_.pop_front();
  }
  if (hungUpBy_ != 0) throw ProgramExit{128 + hungUpBy_, {}, hungUpBy_};
  if (keys_.empty()) throw ScriptExhausted();
  const Entry entry = keys_.front();
  keys_.pop_front();
  if (entry.rows != 0) rows_ = entry.rows;
  return entry.key;
}

std::optional<Key> ScriptedBackend::pollKey() {
  if (keys_.empty() || keys_.front().signal != 0) return std::nullopt;
  const Entry entry = keys_.front();
  keys_.pop_front();
  if (entry.rows != 0) rows_ = entry.rows;
  return entry.key;
}

std::string ScriptedBackend::row(int row) const {
  return rowToUtf8(shown_, row);
}

std::string ScriptedBackend::rowAtKey(std::size_t n, int row) const {
  return rowToUtf8(atKey_.at(n), row);
}

std::string ScriptedBackend::dump() const {
  std::string text;
  for (int r = 0; r < shown_.rows(); ++r) text += rowToUtf8(shown_, r) + "\n";
  return text;
}

std::vector<Key> repeated(Key key, int times) {
  return std::vector<Key>(times, key);
}

std::vector<Key> concat(std::vector<Key> first, const std::vector<Key>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

std::vector<int> highlightedRows(const Screen& screen) {
  std::vector<int> rows;
  for (int row = 0; row < screen.rows(); ++row) {
    if (screen.at(0, row).attribute == attr::kHighlight) rows.push_back(row);
  }
  return rows;
}

std::string sj(std::string_view utf8) {
  auto converted = utf8ToCp932(utf8);
  if (!converted) throw std::runtime_error("no CP932 form");
  return *converted;
}

std::string utf8(std::string_view cp932) {
  auto converted = cp932ToUtf8(cp932);
  if (!converted) throw std::runtime_error("no UTF-8 form");
  return *converted;
}

}  // namespace zazir::testing
