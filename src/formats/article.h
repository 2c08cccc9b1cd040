// An article as the pagers show it: a message, a file entry, a mail or a
// composed text, read from a stream as header lines and a body cut into
// rows of a fixed width.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linestream.h"

namespace zazir {

// A body holds at most this many lines; the rest cannot be shown.
inline constexpr std::size_t kMaxArticleLines = 512;
// The readers cut a log line after 77 bytes.
inline constexpr std::size_t kReaderLineBytes = 77;

struct ArticleLayout {
  int headerLines = 0;  // read whole, cleaned up as stripLineEnd leaves a line
  std::size_t lineBytes = kReaderLineBytes;
  // A composed text keeps its tabs and is cut at its line end only; log
  // lines are cleaned up (stripLineEnd).
  bool keepTabs = false;
  // Tested on each cleaned body line: the line that ends the article (not
  // shown). Empty: only the end does.
  std::function<bool(std::string_view)> stops;
};

struct Article {
  std::vector<std::string> header;
  std::vector<LogOffset> headerStarts;  // where each header line begins
  std::vector<std::string> lines;     // at most kMaxArticleLines
  std::vector<LogOffset> lineStarts;  // where each line begins in the stream
};

// Reads the article at `start`: its header lines, then body lines of at
// most `layout.lineBytes` bytes (a longer line goes on in the next, a
// double-byte character whole) until `end` (-1: the end of the stream), a
// stop line or kMaxArticleLines. None when nothing can be read at `start`;
// header lines past the end are empty.
std::optional<Article> loadArticle(LineStream& stream, LogOffset start, LogOffset end,
                                   const ArticleLayout& layout);

}  // namespace zazir
