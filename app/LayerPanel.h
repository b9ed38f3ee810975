// The layer panel, opened on demand beside the window (F2, or the layer box's context
// menu): every layer with the file it will take and the evidence, the checks made before
// the files go out, and the switch for recognition mode. Closed, the window is as designed.
#pragma once

#include <QCheckBox>
#include <QListWidget>
#include <QTreeWidget>
#include <QWidget>

#include "core/LayerPreview.h"

class TLayerPanel : public QWidget {
  Q_OBJECT

 public:
  explicit TLayerPanel(QWidget* owner);

  // Shows preview (nothing chosen when null).
  void ShowPreview(const TLayerPreview* preview);
  QCheckBox* RecognitionBox() const { return recognition_; }
  QTreeWidget* Layers() const { return layers_; }
  QListWidget* Warnings() const { return warnings_; }

 signals:
  void RecognitionToggled(bool on);

 private:
  QCheckBox* recognition_;
  QTreeWidget* layers_;
  QListWidget* warnings_;
};
