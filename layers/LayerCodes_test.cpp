// The focus of this file is the mapping between the 13 layer codes and the functions.
#include "layers/LayerCodes.h"

#include <gtest/gtest.h>

#include <string>

namespace layers {
namespace {

using K = FunctionKind;

TEST(LayerCodes, EachFunctionGoesToOneCodeOrNone) {
  struct Case {
    LayerFunction function;
    const char* code;
  };
  const Case cases[] = {
      {{K::TopSilk}, "GTO"},        {{K::TopPaste}, "GTP"},         {{K::TopMask}, "GTS"},
      {{K::TopCopper}, "GTL"},      {{K::BottomSilk}, "GBO"},       {{K::BottomPaste}, "GBP"},
      {{K::BottomMask}, "GBS"},     {{K::BottomCopper}, "GBL"},     {{K::Outline}, "GKO"},
      {{K::Mechanical, 1}, "GM1"},  {{K::TopPadMaster}, "GPT"},     {{K::BottomPadMaster}, "GPB"},
      {{K::Drill}, "TXT"},          {{K::DrillPlated}, "TXT"},      {{K::DrillNonPlated}, "TXT"},
      {{K::Mechanical, 2}, ""},     {{K::InnerCopper, 1}, ""},      {{K::Unknown}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CodeForFunction(c.function), c.code) << FunctionName(c.function);
}

TEST(LayerCodes, WhatAFileFoundByExtensionMayBe) {
  EXPECT_TRUE(CodeAllowsFunction("GTL", {K::TopCopper}));
  EXPECT_TRUE(CodeAllowsFunction("GTL", {K::Unknown}));
  EXPECT_FALSE(CodeAllowsFunction("GTL", {K::BottomCopper}));
  EXPECT_TRUE(CodeAllowsFunction("GM1", {K::Outline}));
  EXPECT_FALSE(CodeAllowsFunction("GKO", {K::Mechanical, 1}));
  EXPECT_TRUE(CodeAllowsFunction("TXT", {K::DrillNonPlated}));
  EXPECT_FALSE(CodeAllowsFunction("TXT", {K::TopCopper}));
  EXPECT_FALSE(CodeAllowsFunction("GTO", {K::Drill}));
}

TEST(LayerCodes, CodeNamesAndCodeExtensions) {
  EXPECT_TRUE(IsLayerCode("GTL"));
  EXPECT_TRUE(IsLayerCode("txt"));
  EXPECT_FALSE(IsLayerCode("GTL.bak"));
  EXPECT_EQ(CodeOfExtension("a.b.gtl"), "GTL");
  EXPECT_EQ(CodeOfExtension("Contect.txt"), "TXT");
  EXPECT_EQ(CodeOfExtension("GTL"), "");
  EXPECT_EQ(CodeOfExtension("board.GM2"), "");
}

}  // namespace
}  // namespace layers
