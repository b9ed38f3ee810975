#include "platform/AtomicReplace.h"

#include "platform/FileMode.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TempFiles.h"

namespace platform {

void ReplaceFileAtomically(const std::string& path, const std::string& siblingPrefix,
                           const std::function<void(FileStream& sibling)>& write) {
  const std::string target = ResolveLinks(ExpandFileName(path));
  const std::string folder = ExtractFilePath(target);
  // A sibling that cannot be made is reported as the file that cannot be written.
  const std::string sibling = CreateTempFile(folder, siblingPrefix, path);
  try {
    FileStream out(sibling, FileStream::Mode::OpenReadWrite);
    write(out);
    GiveReplacementMode(target, sibling);
    // On the disk before its name is: after a power loss the name never holds a file
    // whose blocks were not written yet.
    out.Sync();
    out.Close();
    RenameReplace(sibling, target);
  } catch (...) {
    DeleteFile(sibling);
    throw;
  }
  SyncFolder(folder);
}

void WriteFileAtomically(const std::string& path, const std::string& bytes) {
  ReplaceFileAtomically(path, "." + ExtractFileName(path) + ".",
                        [&bytes](FileStream& out) { out.Write(bytes.data(), bytes.size()); });
}

}  // namespace platform
