#include "layers/PhysicalOrder.h"

#include <optional>
#include <string>

#include "layers/NameConventions.h"
#include "layers/Text.h"

namespace layers {

namespace {

constexpr std::string_view kKey = "LAYER_PHYSICAL_ORDER";

struct OrderComment {
  int order = 0;
  std::string line;  // as written, for the evidence
};

// The physical order comment of head; nothing when there is none, an order of -1 when two
// disagree. A comment without a number is not read.
std::optional<OrderComment> ReadOrderComment(std::string_view head) {
  std::optional<OrderComment> found;
  for (std::string_view line : SplitLines(head)) {
    const std::optional<std::string_view> value = G04Value(line, kKey);
    if (!value || value->empty() || (*value)[0] != '=') continue;
    const int order = SmallNumber(TrimBlanks(value->substr(1)));
    if (order < 1) continue;
    if (found && found->order != order) return OrderComment{-1, found->line};
    found = OrderComment{order, std::string(TrimBlanks(line))};
  }
  return found;
}

Finding Contradiction(const OrderComment& comment, std::string_view name) {
  return Finding{{}, "header comment " + Quotable(comment.line) + " contradicts the file name " + Quotable(name)};
}

}  // namespace

MaybeFinding FindingFromPhysicalOrder(std::string_view name, std::string_view head) {
  const std::optional<OrderComment> comment = ReadOrderComment(head);
  if (!comment) return std::nullopt;
  const std::string evidence = "header comment " + Quotable(comment->line);
  if (comment->order < 1) return Finding{{}, evidence + " disagrees with another such comment"};
  const bool top = comment->order == 1;
  switch (StackPlaceOfExtension(name)) {
    case StackPlace::Inner:
      // L1 is the top copper, so the first inner layer is L2, as X2 counts them.
      if (top) return Contradiction(*comment, name);
      return Finding{{FunctionKind::InnerCopper, comment->order - 1}, evidence + " with an inner-layer extension"};
    case StackPlace::Top:
      if (!top) return Contradiction(*comment, name);
      return Finding{{FunctionKind::TopCopper}, evidence};
    case StackPlace::Bottom:
      if (top) return Contradiction(*comment, name);
      return Finding{{FunctionKind::BottomCopper}, evidence + " with the bottom-layer extension"};
    case StackPlace::None:
      break;
  }
  if (top) return Finding{{FunctionKind::TopCopper}, evidence};
  return std::nullopt;
}

}  // namespace layers
