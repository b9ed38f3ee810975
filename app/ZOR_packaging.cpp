// Packaging: the renamed layers and the contact sheet go into one archive named after the
// contact person and the current minute, beside them in the working folder.
#include <QFile>

#include <cstdio>

#include "app/ContactSheet.h"
#include "app/ZOR_form.h"
#include "platform/UiHooks.h"

namespace {

// "yyyy-mm-dd-hhnn": the minute is the finest step, so packs within one minute share a name.
QString TimeStamp(const platform::LocalDateTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d-%02d%02d", t.year, t.month, t.day, t.hour,
                t.minute);
  return QString::fromLatin1(text);
}

}  // namespace

QString TfrmZOR::ArchiveName() const {
  return edtPerson->text() + "-" + TimeStamp(clock_()) + ".zip";
}

void TfrmZOR::PackArchive(QStringList& messages) {
  ZipWriter1.FilesList.Add(workingFolder_ + kContactSheetFileName);
  const QString archiveName = ArchiveName();
  // On disk the name is in the file system's encoding, so it reads as typed.
  ZipWriter1.SetZipName(workingFolder_ + QFile::encodeName(archiveName).toStdString());
  {
    platform::WaitCursor wait;
    ZipWriter1.BuildArchive();
  }
  messages << QString::fromUtf8("压缩文件名：") + archiveName;
}
