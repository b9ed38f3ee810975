// The focus of this file is Altium's physical layer order comment read with the file's
// extension: inner layers numbered as X2 numbers them, contradictions that decide nothing
// but "unknown", and names that leave the order without a meaning.
#include "layers/PhysicalOrder.h"

#include <gtest/gtest.h>

#include <string>

#include "layers/LayerFunction.h"

namespace layers {
namespace {

std::string FunctionOf(const std::string& name, const std::string& head) {
  MaybeFinding finding = FindingFromPhysicalOrder(name, head);
  return finding ? FunctionName(finding->function) : "none";
}

std::string Head(const std::string& comments) { return "G04*\n" + comments + "%FSLAX25Y25*%\n%MOIN*%\n"; }

TEST(FindingFromPhysicalOrder, TheOrderWithTheExtension) {
  const struct {
    const char* name;
    const char* comments;
    const char* function;
  } cases[] = {
      {"amp.G1", "G04 Layer_Physical_Order=2*\n", "inner copper 1"},
      {"amp.GP1", "G04 Layer_Physical_Order=3*\n", "inner copper 2"},  // a plane below mid layer 1
      {"amp.g12", "g04 layer_physical_order = 13 *\n", "inner copper 12"},
      {"amp.GTL", "G04 Layer_Physical_Order=1*\n", "top copper"},
      {"amp.GBL", "G04 Layer_Physical_Order=6*\n", "bottom copper"},
      {"amp.gbr", "G04 Layer_Physical_Order=1*\n", "top copper"},
      // Contradictions: the top as an inner layer or the bottom, an inner order on the top.
      {"amp.G1", "G04 Layer_Physical_Order=1*\n", "unknown"},
      {"amp.GBL", "G04 Layer_Physical_Order=1*\n", "unknown"},
      {"amp.GTL", "G04 Layer_Physical_Order=2*\n", "unknown"},
      {"amp.GP2", "G04 Layer_Physical_Order=3*\nG04 Layer_Physical_Order=4*\n", "unknown"},
      // Below the top, a name without a copper extension may be an inner layer or the bottom.
      {"amp.gbr", "G04 Layer_Physical_Order=3*\n", "none"},
      {"amp.GTO", "G04 Layer_Physical_Order=3*\n", "none"},
      {"amp.G1", "G04 Layer_Color=255*\n", "none"},
      {"amp.G1", "G04 Layer_Physical_Order=*\n", "none"},
  };
  for (const auto& c : cases) EXPECT_EQ(FunctionOf(c.name, Head(c.comments)), c.function) << c.name << " " << c.comments;
}

TEST(FindingFromPhysicalOrder, EvidenceQuotesTheCommentAndTheContradiction) {
  EXPECT_EQ(FindingFromPhysicalOrder("amp.G1", Head("G04 Layer_Physical_Order=2*\n"))->evidence,
            "header comment G04 Layer_Physical_Order=2* with an inner-layer extension");
  EXPECT_EQ(FindingFromPhysicalOrder("amp.GBL", Head("G04 Layer_Physical_Order=1*\n"))->evidence,
            "header comment G04 Layer_Physical_Order=1* contradicts the file name amp.GBL");
}

}  // namespace
}  // namespace layers
