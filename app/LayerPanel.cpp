#include "app/LayerPanel.h"

#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

#include "app/LayerMarks.h"
#include "core/LayerPreviewText.h"

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
QString U(const std::string& utf8) { return QString::fromUtf8(utf8); }

}  // namespace

TLayerPanel::TLayerPanel(QWidget* owner)
    : QWidget(owner, Qt::Tool),
      recognition_(new QCheckBox(U(kRecognitionCaption), this)),
      layers_(new QTreeWidget(this)),
      warnings_(new QListWidget(this)) {
  setObjectName("layerPanel");
  setWindowTitle(U(kLayerPanelTitle));
  layers_->setColumnCount(4);
  layers_->setHeaderLabels({U(kLayerColumns[0]), U(kLayerColumns[1]), U(kLayerColumns[2]), U(kLayerColumns[3])});
  layers_->setRootIsDecorated(false);
  layers_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  auto* column = new QVBoxLayout(this);
  column->addWidget(recognition_);
  column->addWidget(layers_, 3);
  column->addWidget(new QLabel(U(kChecksCaption), this));
  column->addWidget(warnings_, 1);
  resize(560, 523);
  connect(recognition_, &QCheckBox::toggled, this, &TLayerPanel::RecognitionToggled);
}

void TLayerPanel::ShowPreview(const TLayerPreview* preview) {
  layers_->clear();
  warnings_->clear();
  if (preview == nullptr) return;
  for (const layers::PlannedLayer& layer : preview->plan) {
    const TLayerMark mark = LayerMarkOf(layer);
    auto* row = new QTreeWidgetItem(
        layers_, {U(layer.code), U(LayerStateText(mark)), U(LayerRowFile(layer)), U(LayerRowEvidence(layer))});
    row->setToolTip(0, LayerTooltip(layer));
    row->setData(1, Qt::UserRole, U(LayerMarkName(mark)));
  }
  for (const std::string& warning : preview->warnings) warnings_->addItem(U(warning));
  if (preview->warnings.empty()) warnings_->addItem(U(kNoWarnings));
}
