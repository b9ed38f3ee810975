// The errors that the archive reader and writer raise. Their messages are fixed texts, so
// that the window's error box shows the same words for the same fault.
#pragma once

#include "platform/Exception.h"

// An archive without an end record, taken to be one volume of a set: "Incomplete Zip File".
class EIncompleteZip : public Exception {
 public:
  EIncompleteZip() : Exception("Incomplete Zip File") {}
};

// An archive whose directory cannot be read: "Not a valid zip file!".
class EBadZipFile : public Exception {
 public:
  EBadZipFile() : Exception("Not a valid zip file!") {}
};

// The user stopped an operation; the message says which one.
class EUserCanceled : public Exception { using Exception::Exception; };

// An archive that is one volume of a multi-volume set; only single-file archives are read.
class EMultiVolumeZip : public Exception {
 public:
  EMultiVolumeZip()
      : Exception("Zip file is part of a multi-volume set; only single-file archives can be read") {}
};

// A file, an archive or an entry count that does not fit the 32-bit sizes and offsets and
// the 16-bit counts of the classic zip records.
class EZipLimitError : public Exception { using Exception::Exception; };

// An archive whose entry count or offsets need the Zip64 records: the classic records
// this writer keeps cannot hold them, so such an archive is never rebuilt.
class EZip64Archive : public Exception {
 public:
  EZip64Archive()
      : Exception("Zip file needs Zip64 records (more than 65535 entries or beyond 4 GiB); "
                  "it cannot be updated") {}
};

// A file that changed while it was being added: the entry would hold neither its old
// content nor its new one.
class ESourceChanged : public Exception { using Exception::Exception; };
