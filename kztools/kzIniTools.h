// TKZIniFile, the hierarchical settings store: a key tree in memory (root keys, unnamed
// subitem keys under them, named values inside those) that is loaded from and saved to the
// store's own line format, with raw, boolean and quoted string access to values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "kztools/kzIniQuoting.h"
#include "kztools/kzTreeList.h"
#include "platform/LineList.h"

// The line list that SaveToStrings fills; InBlock is true after a block opener has been
// added and until the closer that ends it.
class TSaveIniFile : public TStringList {
 public:
  bool InBlock = false;
};

// Tree levels: 0 the tree root, 1 root keys, 2 subitem keys (no data), 3 values.
// Names are identified by IniNameHash (trimmed, ASCII upper-cased, ELF hash) alone.
// Every error the store detects is a plain Exception with a fixed message.
class TKZIniFile {
 public:
  TKZIniFile();
  virtual ~TKZIniFile();
  TKZIniFile(const TKZIniFile&) = delete;
  TKZIniFile& operator=(const TKZIniFile&) = delete;

  // --- Selection ---
  // Opens the root key of that name, appending it (value "RootKey") when there is none;
  // closes any subitem key. The name is recorded as passed for later messages.
  void OpenRootKey(std::string_view name);
  // Opens the first subitem key of the open root key (none when it has none, unless
  // AutoCreateSubKey adds one). Does nothing when no root key is open.
  void OpenFirstSubKey();
  // Appends a subitem key to the open root key and opens it; "RootKey not Open." when no
  // root key is open.
  TTreeListNode* AddSubKey();
  void CloseSubKey();
  bool RootKeyOpened() const { return rootKey_ != nullptr; }
  bool SubKeyOpened() const { return subKey_ != nullptr; }

  virtual bool FindRootKey(std::string_view name, TTreeListNode*& node);
  // The subitem key of the open root key at the 0-based index; does not change the
  // selection.
  virtual bool FindSubKey(int32_t index, TTreeListNode*& node);
  // The first value of the open subitem key whose name has the same identity.
  virtual bool FindValue(std::string_view name, TTreeListNode*& node);

  // --- Values of the open subitem key (the subitem message when none is open) ---
  // value receives the stored text when the value exists; true when that text is not empty.
  virtual bool TryReadValue(std::string_view name, std::string& value);
  // The stored text, raw; empty when there is no such value.
  std::string ReadValue(std::string_view name);
  // Replaces the value of an existing name (which keeps its first spelling) or appends a
  // new value.
  void WriteValue(std::string_view name, std::string_view value);
  // True when the stored text is "TRUE" in any ASCII case.
  bool ReadBool(std::string_view name);
  // Stores "TRUE" or "FALSE", never quoted.
  void WriteBool(std::string_view name, bool value);
  // DecodeValue of the stored text while QuotedStrings is on, else the raw text.
  std::string ReadString(std::string_view name);
  // Stores EncodeValue of value while QuotedStrings is on (the length limit applies to
  // the encoded text), else value itself.
  void WriteString(std::string_view name, std::string_view value);

  bool QuotedStrings() const { return quotedStrings_; }
  void SetQuotedStrings(bool on) { quotedStrings_ = on; }
  bool AutoCreateSubKey() const { return autoCreateSubKey_; }
  void SetAutoCreateSubKey(bool on) { autoCreateSubKey_ = on; }

  // --- Loading and saving ---
  // "Ini file:<fileName> not found." when no file exists there; file errors pass through.
  void LoadFromFile(const std::string& fileName);
  // Replaces the tree by the lines; raises at the first line the store refuses, keeping
  // what the lines before it built.
  void LoadFromStrings(const TStringList& lines);
  // Writes the tree to a temporary file beside fileName and renames it over fileName, so
  // a failing save leaves the old file as it was; file errors pass through.
  void SaveToFile(const std::string& fileName);
  // Appends the tree's lines to list.
  void SaveToStrings(TSaveIniFile& list);

  // --- Node data ---
  // Gives a node without data its name (trimmed, checked) and value.
  void SetNodeData(TTreeListNode* node, std::string_view name, std::string_view value);
  // Replaces the value of a named node; "Invalid value (length > 65535)." changes nothing.
  void SetNodeValue(TTreeListNode* node, std::string_view value);
  static uint32_t NodeHash(const TTreeListNode* node);
  static std::string NodeName(const TTreeListNode* node);
  static std::string NodeValue(const TTreeListNode* node);
  virtual void FreeNodeData(TTreeListNode* node);
  // Deletes every key and value; nothing is open afterwards.
  void Clear();

  // The level-0 node whose children are the root keys (for walkers such as tests).
  const TTreeListNode* TreeRoot() const { return treeRoot_; }
  const TTreeListNode* OpenedRootKey() const { return rootKey_; }
  const TTreeListNode* OpenedSubKey() const { return subKey_; }

 protected:
  // The walk callback of saving: adds the lines of one node to the current save list.
  virtual void SaveNode(TTreeListNode* node);

 private:
  [[noreturn]] void ThrowSubKeyNotOpen() const;
  void RequireSubKey() const;
  // The first child of parent whose name has the identity of name.
  static TTreeListNode* FindChild(const TTreeListNode* parent, std::string_view name);
  // Appends a named child to parent; on a refused name or value nothing is added.
  TTreeListNode* AddNamedNode(TTreeListNode* parent, std::string_view name,
                              std::string_view value);
  void LoadLine(const std::string& line, bool& inBlock);
  // Tree callbacks: context is the store.
  static void FreeNodeDataCallback(void* context, TTreeListNode* node);
  static void SaveNodeCallback(void* context, TTreeListNode* node);

  std::string rootKeyName_;            // as last passed to OpenRootKey, for messages
  TSaveIniFile* saveList_ = nullptr;   // only while saving
  bool quotedStrings_ = false;
  bool autoCreateSubKey_ = false;
  TTreeListNode* treeRoot_ = nullptr;
  TTreeListNode* rootKey_ = nullptr;
  TTreeListNode* subKey_ = nullptr;
};
