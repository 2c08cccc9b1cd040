// The configuration file: any bytes are parsed, then every configured
// format is used as start-up and the writers use it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/startup.h"
#include "formats/config.h"
#include "formats/quote.h"
#include "fuzz_check.h"
#include "text/format.h"

using namespace zazir;

namespace {

constexpr std::size_t kSettingBytes = 79;
// The formatter's cap on one field's width, and the most conversions a
// setting can hold.
constexpr std::size_t kLongestFormatted = 10000 * (kSettingBytes / 2 + 1) + 1000;

void checkSetting(const std::string& value) {
  FUZZ_CHECK(value.size() <= kSettingBytes);
  FUZZ_CHECK(value.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Config config;
  const auto error = parseConfiguration(bytes, config);
  if (error) FUZZ_CHECK(!error->message.empty());
  for (const std::string* value :
       {&config.editor, &config.editorOpt1, &config.editorOpt2, &config.signature,
        &config.quotation, &config.logfileDir, &config.uploadfileDir, &config.uploadfile,
        &config.cutfileDir, &config.temporaryDir, &config.idfile, &config.grouplistfile,
        &config.headReplyMail, &config.headReplyNews, &config.headReplyNewsTitleChange}) {
    checkSetting(*value);
  }
  FUZZ_CHECK(static_cast<int>(config.uploadFileExist) <= 2);
  FUZZ_CHECK(static_cast<int>(config.lineChatQuote) <= 2);

  // Start-up rewrites the file names; the upload file name is always
  // padded or cut to 13 bytes.
  deriveFileNames(config, "0105%s%n.LOG");
  FUZZ_CHECK(config.uploadfile.size() == 13);
  FUZZ_CHECK(config.idfile.size() <= kLongestFormatted);
  FUZZ_CHECK(config.grouplistfile.size() <= kLongestFormatted);

  // The quotation prefix leaves room for a double-byte character.
  const std::string prefix = quotePrefix(config, "handle%s");
  FUZZ_CHECK(prefix.size() <= 76);

  for (const std::string* heading :
       {&config.headReplyMail, &config.headReplyNews, &config.headReplyNewsTitleChange}) {
    const std::string text = formatConfigured(*heading, {"96/06/02", "%n%s", "12", "title"});
    FUZZ_CHECK(text.size() <= kLongestFormatted);
  }
  return 0;
}
