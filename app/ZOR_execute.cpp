// Execute: rename the ticked layers, write the contact sheet, pack, and report.
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include "app/ContactSheet.h"
#include "app/LayerCodes.h"
#include "app/LayerRename.h"
#include "app/ZOR_form.h"
#include "kztools/kzStrTools.h"
#include "platform/CodePage.h"
#include "platform/UiHooks.h"

namespace {

std::string FsName(const QString& text) { return QFile::encodeName(text).toStdString(); }
std::string Gbk(const QString& text) { return platform::Utf8ToGbk(text.toUtf8().toStdString()); }

}  // namespace

void TfrmZOR::Execute() {
  workingFolder_ = FsName(edtPath->Path());
  if (StrRight(workingFolder_, 1) != "/") workingFolder_ += "/";
  QStringList messages;
  ZipWriter1.FilesList.Clear();
  for (size_t i = 0; i < kLayerCodes.size(); ++i)
    if (chkLayers[i]->isChecked()) RenameLayer(kLayerCodes[i].code, messages);
  WriteContactSheet();
  if (chkZIP->isChecked() && ZipWriter1.FilesList.Count() > 0) PackArchive(messages);
  ShowReport(messages);
}

void TfrmZOR::RenameLayer(const std::string& code, QStringList& messages) {
  const QString qcode = QString::fromLatin1(code.c_str());
  switch (RenameLayerFile(workingFolder_, code)) {
    case TRenameOutcome::NotFound:
      messages << QString::fromUtf8("文件没有找到：*.") + qcode;
      break;
    case TRenameOutcome::AlreadyExists:
      messages << QString::fromUtf8("文件已经存在：") + qcode;
      break;
    case TRenameOutcome::RenameFailed:
      messages << QString::fromUtf8("文件改名失败：") + qcode;
      break;
    case TRenameOutcome::Renamed:
      if (chkZIP->isChecked()) ZipWriter1.FilesList.Add(workingFolder_ + code);
      break;
  }
}

QStringList TfrmZOR::MemoLines() const {
  QStringList lines;
  QTextDocument* doc = edtMemo->document();
  QAbstractTextDocumentLayout* layout = doc->documentLayout();
  for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
    if (!block.next().isValid() && block.text().isEmpty()) break;  // a final line break
    layout->blockBoundingRect(block);  // makes sure the block is laid out at the memo's width
    QTextLayout* text = block.layout();
    if (text->lineCount() == 0) {
      lines << QString();
      continue;
    }
    for (int i = 0; i < text->lineCount(); ++i) {
      QTextLine line = text->lineAt(i);
      lines << block.text().mid(line.textStart(), line.textLength());
    }
  }
  return lines;
}

void TfrmZOR::WriteContactSheet() {
  TContactDetails details{Gbk(edtPerson->text()), Gbk(edtTel->text()), Gbk(edtQQ->text()),
                          Gbk(edtPostcode->text()), Gbk(edtAddress->text()), {}};
  for (const QString& line : MemoLines()) details.memoLines.push_back(Gbk(line));
  BuildContactSheet(details).SaveToFile(workingFolder_ + kContactSheetFileName);
}

void TfrmZOR::ShowReport(QStringList& messages) {
  if (messages.isEmpty()) messages << QString::fromUtf8("执行成功。");
  QString text;
  for (const QString& m : messages) text += m + "\r\n";
  platform::ShowMessage(text.toUtf8().toStdString());
}
