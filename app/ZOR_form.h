// TfrmZOR: the program's one window. It holds the layer check boxes, the folder box, the
// contact fields and the two buttons; "执行" runs Execute (rename the ticked layers, write
// the contact sheet, pack the archive), and the choices are remembered in the settings
// file (beside the executable, or in the user's configuration folder for an installed one).
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Bevel.h"
#include "app/LayerPanel.h"
#include "app/ShellComboBox.h"
#include "core/ExecuteRequest.h"
#include "core/Settings.h"
#include "core/SettingsLocation.h"
#include "platform/DateTime.h"
#include "zip/ZipWriter.h"

class TfrmZOR : public QWidget {
  Q_OBJECT

 public:
  // executablePath decides the settings file (its extension replaced by ".ini").
  explicit TfrmZOR(const std::string& executablePath, QWidget* parent = nullptr);
  ~TfrmZOR() override;

  // Controls, named as designed.
  QGroupBox* cxGroupBox1;  // 操作选项
  QGroupBox* cxGroupBox2;  // 联系信息
  QGroupBox* cxGroupBox3;  // 文件目录
  QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8;
  TShellComboBox* edtPath;
  QCheckBox* chkZIP;
  std::array<QCheckBox*, 13> chkLayers;  // chkGTO .. chkTXT in layer order
  QCheckBox *chkGTO, *chkGTP, *chkGTS, *chkGTL, *chkGBO, *chkGBP, *chkGBS, *chkGBL, *chkGKO,
      *chkGM1, *chkGPT, *chkGPB, *chkTXT;
  QLineEdit *edtPerson, *edtTel, *edtQQ, *edtPostcode, *edtAddress;
  QPlainTextEdit* edtMemo;
  TBevel* Bevel1;
  QPushButton *edtGenerate, *edtClose;

  // The archive writer that every Execute reuses.
  TZipWriter ZipWriter1;

  const std::string& SettingsFileName() const { return settingsFileName_; }
  const std::string& WorkingFolder() const { return workingFolder_; }

  // The memo's whole text with lines separated by CR LF, and its lines as displayed
  // (wrapped at the memo's width; no line for a final line break).
  QString MemoText() const;
  void SetMemoText(const QString& text);
  QStringList MemoLines() const;

  // The clock that names archives; tests set a fixed minute.
  void SetClock(std::function<platform::LocalDateTime()> clock) { clock_ = std::move(clock); }

  // True while an Execute runs; the buttons are ignored meanwhile.
  bool Busy() const { return busy_; }

  // The preview of the chosen folder: marks and tooltips on the layer ticks, and the layer
  // panel (opened with F2 or from the layer box's context menu). Refreshed when the folder
  // or the ticks change, when the window becomes active again and after an Execute.
  void RefreshPreview();
  TLayerPanel* OpenLayerPanel();
  bool RecognitionMode() const { return recognise_.value_or(false); }
  void SetRecognitionMode(bool on);

 public slots:
  void edtGenerateClick();
  void edtCloseClick();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void CreateControls();
  void CreatePreview();
  void SetTabOrder();
  void FormCreate();
  void FormDestroy();
  void LoadSettings();
  void SaveSettings();
  void Execute();
  // The request that the controls describe, and the choices to remember.
  TExecuteRequest Request() const;
  TSettings CurrentSettings() const;
  // Runs a handler's body; an error ends it and is shown in the error box.
  void Guarded(const std::function<void()>& body);

  std::string executablePath_;
  TSettingsLocation settingsLocation_;  // beside the program or in the user's folder
  std::string settingsFileName_;
  std::string workingFolder_;
  std::function<platform::LocalDateTime()> clock_;
  bool busy_ = false;
  bool closePending_ = false;
  bool destroyed_ = false;
  std::optional<bool> recognise_;  // nothing until chosen or loaded: then nothing is saved
  QTimer* previewTimer_ = nullptr;
  TLayerPanel* layerPanel_ = nullptr;
};
