// The files an archive holds that anyone may have changed: its index, a
// set's journal and the archive's own files read back. Any bytes are read
// without harm; what is taken is written again so that it reads back the
// same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "export/archiveindex.h"
#include "export/archivereader.h"
#include "fuzz_check.h"
#include "platform/linestream.h"
#include "platform/setjournal.h"

using namespace zazir;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  if (const auto index = decodeArchiveIndex(bytes)) {
    const std::string again = encodeArchiveIndex(*index);
    const auto back = decodeArchiveIndex(again);
    FUZZ_CHECK(back && encodeArchiveIndex(*back) == again);
  }
  if (const auto journal = decodeJournal(bytes)) {
    const std::string again = encodeJournal(*journal);
    const auto back = decodeJournal(again);
    FUZZ_CHECK(back && encodeJournal(*back) == again);
    // Every name stays inside the directory: a file, or a file in a folder.
    for (const auto& cut : journal->cuts) {
      const auto [folder, file] = splitName(cut.name);
      FUZZ_CHECK(file.find('/') == std::string::npos && file != ".." && folder != "..");
    }
  }
  for (const ArchiveKind kind : {ArchiveKind::Mailbox, ArchiveKind::Entries, ArchiveKind::Lines}) {
    MemoryLineStream file{std::string(bytes)};
    if (const auto items = readArchiveItems(file, kind); items && kind != ArchiveKind::Mailbox) {
      FUZZ_CHECK(bytes.empty() == items->items.empty());
    }
  }
  return 0;
}
