#include "kztools/kzTreeList.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Names nodes through their data so that callbacks can record which node they saw.
struct Recorder {
  std::vector<std::string> seen;
  static void Record(void* context, TTreeListNode* node) {
    auto* self = static_cast<Recorder*>(context);
    self->seen.push_back(node->data ? *static_cast<std::string*>(node->data) : "?");
  }
};

class TreeTest : public ::testing::Test {
 protected:
  ~TreeTest() override { DeleteNode(root, nullptr, nullptr); }
  TTreeListNode* Add(TTreeListNode* parent, const std::string& name) {
    TTreeListNode* node = AddNode(parent);
    names.push_back(std::make_unique<std::string>(name));
    node->data = names.back().get();
    return node;
  }
  static std::vector<TTreeListNode*> Children(const TTreeListNode* node) {
    std::vector<TTreeListNode*> forward;
    for (TTreeListNode* c = node->firstChild; c; c = c->next) forward.push_back(c);
    // The backward links must describe the same list.
    std::vector<TTreeListNode*> backward;
    for (TTreeListNode* c = node->lastChild; c; c = c->previous) backward.insert(backward.begin(), c);
    EXPECT_EQ(forward, backward);
    for (TTreeListNode* c : forward) EXPECT_EQ(c->parent, node);
    return forward;
  }

  std::vector<std::unique_ptr<std::string>> names;
  TTreeListNode* root = AddNode(nullptr);
};

TEST_F(TreeTest, AddNodeAppendsInOrderWithLevels) {
  EXPECT_EQ(root->level, 0);
  EXPECT_EQ(root->parent, nullptr);
  EXPECT_EQ(root->data, nullptr);
  TTreeListNode* a = Add(root, "a");
  TTreeListNode* b = Add(root, "b");
  TTreeListNode* c = Add(root, "c");
  EXPECT_EQ(Children(root), (std::vector<TTreeListNode*>{a, b, c}));
  EXPECT_EQ(root->lastChild, c);
  EXPECT_EQ(c->level, 1);
  EXPECT_EQ(Add(c, "c1")->level, 2);
}

TEST_F(TreeTest, AddNodeRepairsAMissingLastChildReference) {
  TTreeListNode* a = Add(root, "a");
  TTreeListNode* b = Add(root, "b");
  root->lastChild = nullptr;
  TTreeListNode* c = Add(root, "c");
  EXPECT_EQ(c->previous, b);
  EXPECT_EQ(Children(root), (std::vector<TTreeListNode*>{a, b, c}));
}

TEST_F(TreeTest, DeleteNodeRelinksSiblingsAndParent) {
  TTreeListNode* a = Add(root, "a");
  TTreeListNode* b = Add(root, "b");
  TTreeListNode* c = Add(root, "c");
  TTreeListNode* d = Add(root, "d");
  Add(b, "b1");
  Recorder recorder;
  DeleteNode(b, &Recorder::Record, &recorder);
  EXPECT_EQ(b, nullptr);
  EXPECT_EQ(recorder.seen, (std::vector<std::string>{"b1", "b"}));
  EXPECT_EQ(Children(root), (std::vector<TTreeListNode*>{a, c, d}));
  DeleteNode(a, nullptr, nullptr);
  EXPECT_EQ(root->firstChild, c);
  DeleteNode(d, nullptr, nullptr);
  EXPECT_EQ(root->lastChild, c);
  EXPECT_EQ(Children(root), (std::vector<TTreeListNode*>{c}));
  DeleteNode(c, nullptr, nullptr);
  EXPECT_EQ(root->firstChild, nullptr);
  EXPECT_EQ(root->lastChild, nullptr);
  TTreeListNode* none = nullptr;
  DeleteNode(none, &Recorder::Record, &recorder);  // nothing happens
  EXPECT_EQ(recorder.seen.size(), 2u);
}

TEST_F(TreeTest, DeleteChildrenCallsBackDescendantsFirstSiblingsInOrder) {
  TTreeListNode* a = Add(root, "a");
  TTreeListNode* a1 = Add(a, "a1");
  Add(a1, "a1x");
  Add(a, "a2");
  Add(root, "b");
  Recorder recorder;
  DeleteChildren(root, &Recorder::Record, &recorder);
  EXPECT_EQ(recorder.seen, (std::vector<std::string>{"a1x", "a1", "a2", "a", "b"}));
  EXPECT_EQ(root->firstChild, nullptr);
  EXPECT_EQ(root->lastChild, nullptr);
  DeleteChildren(root, &Recorder::Record, &recorder);  // no children: nothing
  EXPECT_EQ(recorder.seen.size(), 5u);
  Add(root, "c");
  DeleteChildren(root, nullptr, nullptr);  // an absent callback is allowed
  EXPECT_EQ(root->firstChild, nullptr);
}

TEST_F(TreeTest, WalkTreeIsPreOrderWithoutTheStartNode) {
  TTreeListNode* key = Add(root, "key");
  TTreeListNode* block1 = Add(key, "block1");
  Add(block1, "v11");
  Add(block1, "v12");
  TTreeListNode* block2 = Add(key, "block2");
  Add(block2, "v21");
  Add(block2, "v22");
  Recorder recorder;
  WalkTree(key, &Recorder::Record, &recorder);
  EXPECT_EQ(recorder.seen,
            (std::vector<std::string>{"block1", "v11", "v12", "block2", "v21", "v22"}));
  WalkTree(nullptr, &Recorder::Record, &recorder);
  WalkTree(root, nullptr, nullptr);
  EXPECT_EQ(recorder.seen.size(), 6u);
}

}  // namespace
