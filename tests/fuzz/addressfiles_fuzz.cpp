// The ID file and the group file: any bytes give entries whose fields fit
// their places and hold no separator or line end.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "formats/addressfiles.h"
#include "fuzz_check.h"

using namespace zazir;

namespace {

bool clean(const std::string& field, std::string_view forbidden) {
  return field.find_first_of(forbidden) == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  for (const IdEntry& entry : parseIdFile(bytes)) {
    FUZZ_CHECK(entry.id.size() <= kIdWidth);
    FUZZ_CHECK(entry.handle.size() <= kHandleWidth);
    FUZZ_CHECK(entry.memo.size() <= kMemoWidth);
    for (const std::string* field : {&entry.id, &entry.handle, &entry.memo}) {
      FUZZ_CHECK(clean(*field, ",;\n"));
    }
  }

  const std::vector<GroupEntry> groups = parseGroupFile(bytes);
  FUZZ_CHECK(groups.size() <= kMaxGroups);
  for (const GroupEntry& group : groups) {
    FUZZ_CHECK(group.name.size() <= kGroupNameWidth);
    FUZZ_CHECK(clean(group.name, "\n") && clean(group.members, "\n"));
  }
  return 0;
}
