// The layout of a private mail in the log: three header lines, then the
// body up to the host's question whether to delete it.
#pragma once

#include <string_view>

#include "formats/article.h"

namespace zazir {

// The host's question whether to delete the mail just shown: where a
// saved mail ends.
bool isDeleteQuestion(std::string_view line);

// A line that ends a mail as the reader shows and quotes it: the delete
// question, or one of the host's menu prompts.
bool isMailEnd(std::string_view line);

// A mail as the reader shows it: three header lines, the body up to its
// end.
const ArticleLayout& mailLayout();

}  // namespace zazir
