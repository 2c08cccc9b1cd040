#include "formats/article.h"

#include "formats/loglines.h"
#include "text/cp932.h"
#include "text/textutil.h"

namespace zazir {

namespace {

// A composed text's line ends at its last CR, else at its last LF; its
// tabs stay for the row to expand.
void cutAtLineEnd(std::string& line) {
  if (const auto cr = line.rfind('\r'); cr != std::string::npos) {
    line.resize(cr);
  } else if (const auto lf = line.rfind('\n'); lf != std::string::npos) {
    line.resize(lf);
  }
}

}  // namespace

std::optional<Article> loadArticle(LineStream& stream, LogOffset start, LogOffset end,
                                   const ArticleLayout& layout) {
  Article article;
  stream.seek(start);
  for (int k = 0; k < layout.headerLines; ++k) {
    std::string line;
    article.headerStarts.push_back(stream.tell());
    if (!readWholeLine(stream, line) && k == 0) return std::nullopt;
    stripLineEnd(line);
    article.header.push_back(std::move(line));
  }
  std::string line;
  while (article.lines.size() < kMaxArticleLines) {
    const LogOffset at = stream.tell();
    if (end >= 0 && at >= end) break;
    if (!readWrappedLine(stream, line, layout.lineBytes)) break;
    if (layout.keepTabs) {
      cutAtLineEnd(line);
    } else {
      stripLineEnd(line);
    }
    if (layout.stops && layout.stops(line)) break;
    article.lines.push_back(line);
    article.lineStarts.push_back(at);
  }
  return article;
}

}  // namespace zazir
