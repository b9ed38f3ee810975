#include "kztools/kzIniTools.h"

#include <memory>

#include "kztools/kzIniNodeData.h"
#include "kztools/kzStrTools.h"
#include "platform/Exception.h"

namespace {

const TIniNodeData* DataOf(const TTreeListNode* node) {
  return node ? static_cast<const TIniNodeData*>(node->data) : nullptr;
}

struct NodeDataDeleter {
  void operator()(TIniNodeData* data) const { FreeIniNodeData(data); }
};

}  // namespace

TKZIniFile::TKZIniFile() : treeRoot_(AddNode(nullptr)) {}

TKZIniFile::~TKZIniFile() {
  Clear();
  DeleteNode(treeRoot_, &FreeNodeDataCallback, this);
}

void TKZIniFile::FreeNodeDataCallback(void* context, TTreeListNode* node) {
  static_cast<TKZIniFile*>(context)->FreeNodeData(node);
}

// --- Node data ---------------------------------------------------------------------------

void TKZIniFile::SetNodeData(TTreeListNode* node, std::string_view name, std::string_view value) {
  if (!node) return;
  TIniNodeData* data = NewIniNodeData(name, value);
  FreeNodeData(node);  // callers give nodes without data; never leak an old block
  node->data = data;
}

void TKZIniFile::SetNodeValue(TTreeListNode* node, std::string_view value) {
  if (!node) return;
  CheckIniNodeValue(value);
  if (!node->data) return;  // an unnamed node has no block to hold a value
  node->data = ResizeIniNodeValue(static_cast<TIniNodeData*>(node->data), value);
}

uint32_t TKZIniFile::NodeHash(const TTreeListNode* node) {
  const TIniNodeData* data = DataOf(node);
  return data ? data->hash : 0;
}

std::string TKZIniFile::NodeName(const TTreeListNode* node) {
  const TIniNodeData* data = DataOf(node);
  return data ? std::string(data->Name()) : std::string();
}

std::string TKZIniFile::NodeValue(const TTreeListNode* node) {
  const TIniNodeData* data = DataOf(node);
  return data ? std::string(data->Value()) : std::string();
}

void TKZIniFile::FreeNodeData(TTreeListNode* node) {
  if (node && node->data) {
    FreeIniNodeData(static_cast<TIniNodeData*>(node->data));
    node->data = nullptr;
  }
}

void TKZIniFile::Clear() {
  DeleteChildren(treeRoot_, &FreeNodeDataCallback, this);
  rootKey_ = nullptr;
  subKey_ = nullptr;
}

TTreeListNode* TKZIniFile::AddNamedNode(TTreeListNode* parent, std::string_view name,
                                        std::string_view value) {
  // The block is made (and the name and value checked) before the node exists, so a
  // refused name or value leaves no node without data behind.
  std::unique_ptr<TIniNodeData, NodeDataDeleter> data(NewIniNodeData(name, value));
  TTreeListNode* node = AddNode(parent);
  node->data = data.release();
  return node;
}

TTreeListNode* TKZIniFile::FindChild(const TTreeListNode* parent, std::string_view name) {
  const uint32_t hash = IniNameHash(name);
  for (TTreeListNode* child = parent->firstChild; child; child = child->next) {
    if (NodeHash(child) == hash) return child;
  }
  return nullptr;
}

// --- Selection ---------------------------------------------------------------------------

void TKZIniFile::OpenRootKey(std::string_view name) {
  rootKeyName_ = std::string(name);
  TTreeListNode* node = nullptr;
  if (!FindRootKey(name, node)) node = AddNamedNode(treeRoot_, name, "RootKey");
  rootKey_ = node;
  subKey_ = nullptr;
}

void TKZIniFile::OpenFirstSubKey() {
  if (!rootKey_) return;
  subKey_ = rootKey_->firstChild;
  if (!subKey_ && autoCreateSubKey_) AddSubKey();
}

TTreeListNode* TKZIniFile::AddSubKey() {
  if (!rootKey_) throw Exception("RootKey not Open.");
  subKey_ = AddNode(rootKey_);
  return subKey_;
}

void TKZIniFile::CloseSubKey() { subKey_ = nullptr; }

bool TKZIniFile::FindRootKey(std::string_view name, TTreeListNode*& node) {
  TTreeListNode* found = FindChild(treeRoot_, name);
  if (found) node = found;
  return found != nullptr;
}

bool TKZIniFile::FindSubKey(int32_t index, TTreeListNode*& node) {
  if (!rootKey_ || index < 0) return false;
  int32_t position = 0;
  for (TTreeListNode* child = rootKey_->firstChild; child; child = child->next, ++position) {
    if (position == index) {
      node = child;
      return true;
    }
  }
  return false;
}

void TKZIniFile::ThrowSubKeyNotOpen() const {
  throw Exception("RootKey \"" + rootKeyName_ + "\" - subitem key not open.");
}

void TKZIniFile::RequireSubKey() const {
  if (!subKey_) ThrowSubKeyNotOpen();
}

bool TKZIniFile::FindValue(std::string_view name, TTreeListNode*& node) {
  RequireSubKey();
  TTreeListNode* found = FindChild(subKey_, name);
  if (found) node = found;
  return found != nullptr;
}

// --- Values ------------------------------------------------------------------------------

bool TKZIniFile::TryReadValue(std::string_view name, std::string& value) {
  RequireSubKey();
  TTreeListNode* node = nullptr;
  if (!FindValue(name, node)) return false;
  value = NodeValue(node);
  return !value.empty();
}

std::string TKZIniFile::ReadValue(std::string_view name) {
  RequireSubKey();
  TTreeListNode* node = nullptr;
  return FindValue(name, node) ? NodeValue(node) : std::string();
}

void TKZIniFile::WriteValue(std::string_view name, std::string_view value) {
  RequireSubKey();
  TTreeListNode* node = nullptr;
  if (FindValue(name, node)) {
    SetNodeValue(node, value);
  } else {
    AddNamedNode(subKey_, name, value);
  }
}

bool TKZIniFile::ReadBool(std::string_view name) {
  return StrUpperAscii(ReadValue(name)) == "TRUE";
}

void TKZIniFile::WriteBool(std::string_view name, bool value) {
  WriteValue(name, value ? "TRUE" : "FALSE");
}

std::string TKZIniFile::ReadString(std::string_view name) {
  std::string stored = ReadValue(name);
  return quotedStrings_ ? DecodeValue(stored) : stored;
}

void TKZIniFile::WriteString(std::string_view name, std::string_view value) {
  if (quotedStrings_) {
    WriteValue(name, EncodeValue(value));
  } else {
    WriteValue(name, value);
  }
}
