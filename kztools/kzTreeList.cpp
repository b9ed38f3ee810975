#include "kztools/kzTreeList.h"

TTreeListNode* AddNode(TTreeListNode* parent) {
  auto* node = new TTreeListNode;
  if (!parent) return node;
  if (!parent->firstChild) {
    parent->firstChild = node;
  } else {
    TTreeListNode* last = parent->lastChild;
    if (!last) {  // repair a parent that lost its last-child reference
      last = parent->firstChild;
      while (last->next) last = last->next;
    }
    node->previous = last;
    last->next = node;
  }
  node->parent = parent;
  parent->lastChild = node;
  node->level = parent->level + 1;
  return node;
}

void DeleteChildren(TTreeListNode* node, TTreeListCallback callback, void* context) {
  if (!node || !node->firstChild) return;
  TTreeListNode* child = node->firstChild;
  while (child) {
    DeleteChildren(child, callback, context);
    TTreeListNode* next = child->next;
    if (callback) callback(context, child);
    delete child;
    child = next;
  }
  node->firstChild = nullptr;
  node->lastChild = nullptr;
}

void DeleteNode(TTreeListNode*& node, TTreeListCallback callback, void* context) {
  if (!node) return;
  DeleteChildren(node, callback, context);
  if (node->previous) node->previous->next = node->next;
  if (node->next) node->next->previous = node->previous;
  if (TTreeListNode* parent = node->parent) {
    if (parent->firstChild == node) parent->firstChild = node->next;
    if (parent->lastChild == node) parent->lastChild = node->previous;
  }
  if (callback) callback(context, node);
  delete node;
  node = nullptr;
}

void WalkTree(TTreeListNode* node, TTreeListCallback callback, void* context) {
  if (!node) return;
  for (TTreeListNode* child = node->firstChild; child; child = child->next) {
    if (callback) callback(context, child);
    WalkTree(child, callback, context);
  }
}
