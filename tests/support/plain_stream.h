// A log stream without bulk access, so that the index reads every line one
// by one: the reference the fast skip is compared with.
#pragma once

#include <string>
#include <utility>

#include "platform/linestream.h"

namespace zazir::testing {

class PlainStream : public LineStream {
 public:
  explicit PlainStream(std::string data) : inner_(std::move(data)) {}
  LogOffset tell() const override { return inner_.tell(); }
  void seek(LogOffset offset) override { inner_.seek(offset); }
  bool readLineView(std::string_view& line, std::size_t maxBytes) override {
    return inner_.readLineView(line, maxBytes);
  }

 private:
  MemoryLineStream inner_;
};

}  // namespace zazir::testing
