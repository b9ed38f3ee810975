// A small generic tree: doubly linked nodes that carry one untyped data reference owned by
// the tree's user. Nodes are appended as last children, deleted with their subtrees and
// walked depth-first, each deletion and walk calling back into the user for every node.
#pragma once

#include <cstdint>

struct TTreeListNode {
  TTreeListNode* parent = nullptr;
  TTreeListNode* previous = nullptr;
  TTreeListNode* next = nullptr;
  TTreeListNode* firstChild = nullptr;
  TTreeListNode* lastChild = nullptr;
  int32_t level = 0;     // 0 for a node made without parent, else the parent's level + 1
  void* data = nullptr;  // the user's; freed by the user in the deletion callback
};

// Called with the user's context and a node; may be absent (nullptr).
using TTreeListCallback = void (*)(void* context, TTreeListNode* node);

// A new node appended after the last child of parent, or a detached node (level 0) when
// parent is nullptr.
TTreeListNode* AddNode(TTreeListNode* parent);

// Deletes node with its subtree: the callback sees every descendant before its parent,
// then node itself, while the data is still attached. node is nullptr afterwards.
void DeleteNode(TTreeListNode*& node, TTreeListCallback callback, void* context);

// Deletes every child of node with its subtree (callback order as DeleteNode); node stays.
void DeleteChildren(TTreeListNode* node, TTreeListCallback callback, void* context);

// Calls the callback for every descendant of node, depth-first pre-order; node itself is
// not visited.
void WalkTree(TTreeListNode* node, TTreeListCallback callback, void* context);
