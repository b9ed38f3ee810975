// Helpers shared by the settings store's tests: expecting an exact error message, joining
// lines the way the store writes them, and counting children of a node.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "kztools/kzTreeList.h"
#include "platform/Exception.h"

namespace kztest {

// Runs action and checks that it raises an Exception with exactly message.
template <typename Action>
void ExpectError(Action action, const std::string& message) {
  try {
    action();
    ADD_FAILURE() << "no error, expected: " << message;
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), message);
  }
}

// Every line followed by CR LF.
inline std::string CrLf(std::initializer_list<std::string> lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

inline int ChildCount(const TTreeListNode* node) {
  int n = 0;
  for (const TTreeListNode* c = node ? node->firstChild : nullptr; c; c = c->next) ++n;
  return n;
}

}  // namespace kztest
