// Builds the upper-case table before any test runs, as the program's start-up does first.
#include <gtest/gtest.h>

#include "kztools/kzStrTools.h"

namespace {

class UpperTableEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { InitUpperTable(); }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new UpperTableEnvironment);

}  // namespace
