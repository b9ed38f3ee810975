// Saving of TKZIniFile: a pre-order walk over the key tree renders root key lines, block
// openers and closers and indented value lines; the file is replaced atomically and
// flushed to the disk.
#include "kztools/kzIniNodeData.h"
#include "kztools/kzIniTools.h"
#include "platform/AtomicReplace.h"

namespace {

// Sets the store's current save list for one rendering and drops it on every path.
class SaveListScope {
 public:
  SaveListScope(TSaveIniFile*& slot, TSaveIniFile& list) : slot_(slot), previous_(slot) {
    slot_ = &list;
  }
  ~SaveListScope() { slot_ = previous_; }
  SaveListScope(const SaveListScope&) = delete;
  SaveListScope& operator=(const SaveListScope&) = delete;

 private:
  TSaveIniFile*& slot_;
  TSaveIniFile* previous_;
};

}  // namespace

void TKZIniFile::SaveToFile(const std::string& fileName) {
  TSaveIniFile list;
  SaveToStrings(list);
  // A temporary file renamed over the old one: a failed write never leaves the settings
  // file truncated or half written.
  platform::WriteFileAtomically(fileName, list.Text());
}

void TKZIniFile::SaveToStrings(TSaveIniFile& list) {
  SaveListScope scope(saveList_, list);
  list.InBlock = false;
  WalkTree(treeRoot_, &SaveNodeCallback, this);
  if (list.InBlock) list.Add("%]");
}

void TKZIniFile::SaveNodeCallback(void* context, TTreeListNode* node) {
  static_cast<TKZIniFile*>(context)->SaveNode(node);
}

void TKZIniFile::SaveNode(TTreeListNode* node) {
  if (!saveList_ || !node) return;
  TSaveIniFile& list = *saveList_;
  switch (node->level) {
    case 1:
      if (list.InBlock) {
        list.Add("%]");
        list.Add("");
      }
      list.Add(NodeName(node) + ":[%RootKey%]");
      list.InBlock = false;
      break;
    case 2:
      if (list.InBlock) list.Add("%]");
      list.Add("[%");
      list.InBlock = true;
      break;
    case 3:
      list.Add("  " + NodeName(node) + ":" + NodeValue(node));
      break;
    default:
      break;
  }
}
