// The fault-injection seam of the file layer. Every file operation that can fail calls
// FaultPoint first; normally that is one relaxed load and the operation goes on. A test
// can arm it so that the Nth call fails with an errno of its choice, as if the system had
// refused, and so prove that every failure reaches the caller and leaves no damage.
#pragma once

#include <cstdint>

namespace platform {

// The kinds of file operation that pass through the seam.
enum class FileOperation {
  Open,        // opening an existing file
  Create,      // creating a file (new, truncated or temporary)
  Read,
  Write,
  Flush,       // a buffered stream writing out what it holds
  Seek,
  Stat,        // the size or time of an open file
  Close,
  Rename,
  Delete,
  Sync,        // flushing a file or a folder to the disk
  ListFolder,
};

const char* FileOperationName(FileOperation op);

// True when this call must fail: errno is then set to the armed error and the caller
// fails the way it fails for that error from the system. Counts every call while armed.
bool FaultPoint(FileOperation op);

// Test control of the seam. Arming starts the count at 0; the call whose count reaches
// failAt fails (once), later calls go on. Disarming stops failing and counting.
void ArmFault(int64_t failAt, int error);
void DisarmFault();
// Calls counted since the seam was armed.
int64_t FaultCallCount();
// Whether the armed failure has happened, and at which kind of operation.
bool FaultFired();
FileOperation FiredOperation();

}  // namespace platform
