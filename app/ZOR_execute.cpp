// Execute from the window: the controls fill the request, the core runs it, and the window
// shows the result report (or, through Guarded, the error box).
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include "app/ProgressLine.h"
#include "app/ZOR_form.h"
#include "core/Execute.h"
#include "platform/UiHooks.h"

namespace {

std::string FsName(const QString& text) { return QFile::encodeName(text).toStdString(); }
std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace

TExecuteRequest TfrmZOR::Request() const {
  TExecuteRequest request;
  request.folder = FsName(edtPath->Path());
  for (size_t i = 0; i < kLayerCount; ++i) request.ticked[i] = chkLayers[i]->isChecked();
  request.contact = {Utf8(edtPerson->text()), Utf8(edtTel->text()), Utf8(edtQQ->text()),
                     Utf8(edtPostcode->text()), Utf8(edtAddress->text()), {}};
  for (const QString& line : MemoLines()) request.contact.memoLines.push_back(Utf8(line));
  request.pack = chkZIP->isChecked();
  request.recognise = RecognitionMode();
  request.clock = clock_;
  return request;
}

void TfrmZOR::Execute() {
  TExecuteRequest request = Request();
  workingFolder_ = WorkingFolderOf(request.folder);
  TExecuteReport report;
  {
    TProgressLine progress(Bevel1);  // a bar only while the archive is written
    request.progress = [&progress](int percent) { progress.Show(percent); };
    RunExecute(request, ZipWriter1, report);
  }
  platform::ShowMessage(ResultText(report.messages));
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
