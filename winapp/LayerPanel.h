// TLayerPanel: the Windows window's layer panel, a tool window that opens beside it on demand
// (F2, or the layer box's context menu): every layer with its state, the file it will take
// and the evidence, the checks made before the files go out, and the recognition-mode switch.
#pragma once

#include "platform/win32/WinApi.h"

#include <functional>

#include "core/LayerPreview.h"

namespace winapp {

class TLayerPanel {
 public:
  struct TEvents {
    std::function<void(bool)> recognitionSwitched;  // the user ticked or unticked the switch
    std::function<void()> activated;                // the panel became the active window
  };

  // Creates the panel hidden, owned by owner: it stays above owner and goes with it.
  TLayerPanel(HWND owner, HFONT font, TEvents events);
  ~TLayerPanel();
  TLayerPanel(const TLayerPanel&) = delete;
  TLayerPanel& operator=(const TLayerPanel&) = delete;

  HWND Handle() const { return panel_; }
  HWND RecognitionBox() const { return recognition_; }
  HWND Layers() const { return layers_; }      // a report list view, one row per layer
  HWND Warnings() const { return warnings_; }  // a read-only edit, one warning a line

  bool IsOpen() const { return IsWindowVisible(panel_) != FALSE; }
  // Shows the panel beside the owner's right edge and brings it to the front.
  void Open();
  // Fills the rows and the checks from preview; null (no folder chosen) empties them.
  void ShowPreview(const TLayerPreview* preview);
  // Sets the switch as the window's mode is, without reporting it as the user's choice.
  void ShowRecognition(bool on);

 private:
  static LRESULT CALLBACK PanelProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  HWND MakeChild(const wchar_t* kind, const wchar_t* text, DWORD style, DWORD exStyle, int id);
  void CreateColumns();
  void LayOut();

  HWND owner_;
  HFONT font_;
  TEvents events_;
  HWND panel_ = nullptr;
  HWND recognition_ = nullptr;
  HWND layers_ = nullptr;
  HWND checksLabel_ = nullptr;
  HWND warnings_ = nullptr;
};

}  // namespace winapp
