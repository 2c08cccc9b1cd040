#include "formats/hostcommands.h"

#include <cstdint>
#include <utility>

#include "formats/hostfields.h"
#include "text/format.h"

namespace zazir {

namespace {

template <class... Visitors>
struct Overloaded : Visitors... {
  using Visitors::operator()...;
};
template <class... Visitors>
Overloaded(Visitors...) -> Overloaded<Visitors...>;

// The field's bytes as the host is to read them, or why there are none.
using Placed = std::variant<std::string, CommandRefusal>;

Placed place(const CommandField& value) {
  return std::visit(
      Overloaded{
          [](const field::Number& number) -> Placed {
            if (!isHostNumber(number.value)) {
              return CommandRefusal{CommandFault::BadNumber, formatText("%i", number.value)};
            }
            return formatText("%i", number.value);
          },
          [](const field::Answer& answer) -> Placed {
            // A control byte made a blank may leave nothing else.
            std::string harmless = hostAnswer(answer.text);
            if (isBlankAnswer(harmless)) {
              return CommandRefusal{CommandFault::BlankAnswer, std::string(answer.text)};
            }
            return harmless;
          },
          [](const field::Ids& list) -> Placed {
            if (list.ids.empty()) return CommandRefusal{CommandFault::NoRecipients, {}};
            std::string joined;
            for (const std::string& id : list.ids) {
              if (!isHostId(id)) return CommandRefusal{CommandFault::BadId, id};
              if (!joined.empty()) joined += ';';
              joined += id;
            }
            return joined;
          },
          [](const field::Text& text) -> Placed { return hostText(text.text); },
          [](const std::reference_wrapper<const HostCommand>& command) -> Placed {
            if (command.get().refusal()) return *command.get().refusal();
            return command.get().bytes();
          },
      },
      value);
}

}  // namespace

HostCommand buildCommand(std::string_view shape, const std::vector<CommandField>& fields) {
  HostCommand command;
  auto next = fields.begin();
  for (std::size_t at = 0; at < shape.size(); ++at) {
    const bool slot =
        shape[at] == '%' && at + 1 < shape.size() && (shape[at + 1] == 'i' || shape[at + 1] == 's');
    if (!slot) {
      command.bytes_ += shape[at];
      continue;
    }
    ++at;
    if (next == fields.end()) continue;
    Placed placed = place(*next++);
    if (auto* refusal = std::get_if<CommandRefusal>(&placed)) {
      command.bytes_.clear();
      command.refusal_ = std::move(*refusal);
      return command;
    }
    command.bytes_ += std::get<std::string>(placed);
  }
  return command;
}

HostCommand newPostCommand(std::int64_t boardNumber, std::string_view title) {
  return buildCommand("EW%i;%s;Y\n", {field::Number{boardNumber}, field::Answer{title}});
}

HostCommand replyCommand(std::int64_t boardNumber, std::int64_t messageNumber) {
  return buildCommand("ER%i;%i;Y\n", {field::Number{boardNumber}, field::Number{messageNumber}});
}

HostCommand movedReplyCommand(std::int64_t targetBoardNumber, std::string_view title) {
  return newPostCommand(targetBoardNumber, title);
}

HostCommand uploadCommand(std::int64_t fileBoardNumber, std::string_view fileName,
                          std::string_view title) {
  return buildCommand("F%i\nZU\n%s\n%s\nY\n", {field::Number{fileBoardNumber},
                                               field::Answer{fileName}, field::Answer{title}});
}

HostCommand mailCommand(const std::vector<std::string>& recipients, std::string_view title) {
  return buildCommand("EM%s;0\n%s;Y\n", {field::Ids{recipients}, field::Answer{title}});
}

HostCommand chatLineCommand(std::int64_t boardNumber, std::string_view line) {
  return buildCommand("EW%i\n%s\nY\n", {field::Number{boardNumber}, field::Answer{line}});
}

HostCommand notewallLineCommand(std::string_view line) {
  return buildCommand("P\n%s\n\n", {field::Answer{line}});
}

HostCommand composedCommand(const HostCommand& firstLines, std::string_view text) {
  return buildCommand("%s%s\n//\nS\n", {std::cref(firstLines), field::Text{text}});
}

HostCommand downloadBatch(std::vector<DownloadMark> marks) {
  // This exchange sort decides the order of files within a board.
  for (std::size_t i = 1; i < marks.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (static_cast<std::uint32_t>(marks[j].boardNumber) >
          static_cast<std::uint32_t>(marks[i].boardNumber)) {
        std::swap(marks[j], marks[i]);
      }
    }
  }
  std::string shape;
  std::vector<CommandField> numbers;
  int inGroup = 0;  // runs on across a change of board
  for (std::size_t k = 0; k < marks.size(); ++k) {
    if (k == 0 || marks[k].boardNumber != marks[k - 1].boardNumber || inGroup == 0) {
      shape += "F%i\nZD";
      numbers.emplace_back(field::Number{marks[k].boardNumber});
    }
    shape += "%i;Y;";
    numbers.emplace_back(field::Number{marks[k].fileNumber});
    if (++inGroup == 10) inGroup = 0;
    if (k + 1 == marks.size() || marks[k + 1].boardNumber != marks[k].boardNumber || inGroup == 0) {
      shape += "0\n0\n0\n";
    }
  }
  return buildCommand(shape, numbers);
}

}  // namespace zazir
