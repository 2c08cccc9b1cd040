#include "hostile/hostile_fixture.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace zazir::testing {

HostileRun::HostileRun() {
  config.headReplyMail = "%s %s";
}

App& HostileRun::open(const std::string& log) {
  const std::string path = dir + "LOG.LOG";
  std::ofstream(path, std::ios::binary) << log;
  stream_ = FileLineStream::open(path, 10000);
  if (!stream_) throw std::runtime_error(path);
  indexLog(*stream_, index);
  log_.emplace(OpenLog{*stream_, path, stream_->tell(), [path](std::size_t bufferBytes) {
                         return std::unique_ptr<LineStream>(
                             FileLineStream::open(path, bufferBytes));
                       }});
  app_.emplace(App{console, config, index, state, *log_, marks});
  return *app_;
}

std::set<std::string> HostileRun::files() const {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (name != "LOG.LOG") names.insert(name);
  }
  return names;
}

}  // namespace zazir::testing
