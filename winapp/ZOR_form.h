// TfrmZOR for Windows: the program's one window, made of native controls. It holds the layer
// check boxes, the folder box, the contact fields and the two buttons; "执行" runs Execute
// (rename the ticked layers, write the contact sheet, pack the archive), and the choices are
// remembered in the settings file beside the executable.
#pragma once

#include "platform/win32/WinApi.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/ExecuteRequest.h"
#include "core/LayerCodes.h"
#include "core/Settings.h"
#include "platform/DateTime.h"
#include "winapp/Anchors.h"
#include "winapp/FolderBox.h"
#include "winapp/Handles.h"
#include "winapp/LayerPanel.h"
#include "winapp/LayerTips.h"
#include "zip/ZipWriter.h"

namespace winapp {

class TfrmZOR {
 public:
  // Whether the window installs the UI hooks (message box, error box, event processing, wait
  // cursor); tests keep their own recorders instead.
  enum class THooks { Install, Keep };

  // executablePath decides the settings file (its extension replaced by ".ini").
  explicit TfrmZOR(std::string executablePath, THooks hooks = THooks::Install);
  ~TfrmZOR();
  TfrmZOR(const TfrmZOR&) = delete;
  TfrmZOR& operator=(const TfrmZOR&) = delete;

  // Makes the window and its controls and runs FormCreate (the settings are loaded); the
  // window stays hidden until Show.
  void Create();
  void Show(int showCommand);
  HWND Handle() const { return frmZOR_; }

  // Controls, named as designed.
  HWND cxGroupBox1 = nullptr, cxGroupBox2 = nullptr, cxGroupBox3 = nullptr;  // 操作选项 联系信息 文件目录
  HWND Label1 = nullptr, Label2 = nullptr, Label3 = nullptr, Label4 = nullptr, Label5 = nullptr,
       Label6 = nullptr, Label7 = nullptr, Label8 = nullptr;
  std::unique_ptr<TFolderBox> edtPath;
  HWND chkZIP = nullptr;
  std::array<HWND, kLayerCount> chkLayers{};  // chkGTO .. chkTXT in layer order
  HWND edtPerson = nullptr, edtTel = nullptr, edtQQ = nullptr, edtPostcode = nullptr,
       edtAddress = nullptr, edtMemo = nullptr;
  HWND Bevel1 = nullptr;
  HWND edtGenerate = nullptr, edtClose = nullptr;

  // The archive writer that every Execute reuses.
  TZipWriter ZipWriter1;

  const std::string& SettingsFileName() const { return settingsFileName_; }
  const std::string& WorkingFolder() const { return workingFolder_; }

  // The memo's whole text (lines separated by CR LF) and its lines as displayed.
  std::string MemoText() const;
  void SetMemoText(const std::string& text);
  std::vector<std::string> MemoLines() const;

  // The clock that names archives; tests set a fixed minute.
  void SetClock(std::function<platform::LocalDateTime()> clock) { clock_ = std::move(clock); }

  // True while an Execute runs; the buttons are ignored meanwhile and a close waits.
  bool Busy() const { return busy_; }

  void edtGenerateClick();
  void edtCloseClick();

  // The preview of the chosen folder: tooltips on the layer ticks, and the layer panel beside
  // the window (F2, or the layer box's context menu). Refreshed shortly after the folder or
  // the ticks change, when the window becomes active again and after an Execute.
  void RefreshPreview();
  TLayerPanel& OpenLayerPanel();
  // The panel, or null while it has never been opened.
  TLayerPanel* LayerPanel() const { return layerPanel_.get(); }
  const TLayerTips& LayerTips() const { return *layerTips_; }
  // Recognition mode: saved outside the "Option" block, as the Qt window saves it.
  bool RecognitionMode() const { return recognise_.value_or(false); }
  void SetRecognitionMode(bool on);
  // The window's keys (F2) for the message loop to translate.
  HACCEL Keys() const { return keys_.get(); }

 private:
  static LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK MemoProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR);
  static void RegisterWindowClass();
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

  void CreateControls();
  void CreateTabStops();
  void CreateFixedControls();
  HWND MakeControl(const wchar_t* kind, const std::wstring& text, DWORD style, DWORD exStyle = 0);
  void LayOut();
  int NaturalHeight() const;
  void CreatePreview();
  void SchedulePreview();
  void OnCommand(WPARAM wp, LPARAM lp);
  // A context menu asked for at (screen coordinates, -1 -1 from the keyboard) over the window
  // on belongs to the layer box.
  bool InLayerBox(HWND on, LPARAM at) const;
  void ShowLayerMenu(LPARAM at);
  void OnClose();
  void FormCreate();
  void FormDestroy();
  void LoadSettings();
  void SaveSettings();
  void Execute();
  TExecuteRequest Request() const;
  TSettings CurrentSettings() const;
  // Runs a handler's body; an error ends it and is shown in the error box.
  void Guarded(const std::function<void()>& body);

  std::string executablePath_;
  THooks hooks_;
  std::string settingsFileName_;
  std::string workingFolder_;
  std::function<platform::LocalDateTime()> clock_;
  HWND frmZOR_ = nullptr;
  TFontHandle font_;
  TIconHandle icon_;
  bool busy_ = false;
  bool closePending_ = false;
  bool destroyed_ = false;  // FormDestroy has run (it runs once)
  int waitDepth_ = 0;
  int nextId_ = 1000;     // control ids; the buttons have their own
  HWND lastFocus_ = nullptr;  // the control that had the focus when the window was left
  std::optional<bool> recognise_;  // nothing until chosen or loaded: then nothing is saved
  TAccelHandle keys_;
  std::unique_ptr<TLayerTips> layerTips_;
  std::unique_ptr<TLayerPanel> layerPanel_;
  // The anchored layouts: the window's own controls and those of each group box.
  struct TArea {
    HWND box;  // nullptr for the window's client area
    TBounds designed;
    unsigned anchors;
    TAnchorLayout layout;
  };
  std::vector<TArea> areas_;
};

// The designed client size, and the outer size that gives it with the window's frame.
inline constexpr TExtent kDesignedClient{601, 523};

}  // namespace winapp
