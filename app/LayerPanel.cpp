#include "app/LayerPanel.h"

#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

#include "app/LayerMarks.h"
#include "layers/LayerFunction.h"

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
QString U(const std::string& utf8) { return QString::fromUtf8(utf8); }

QString StateText(const QString& mark) {
  if (mark == "present") return U("有文件");
  if (mark == "recognised") return U("识别");
  if (mark == "renamed") return U("已改名");
  return U("缺少");
}

}  // namespace

TLayerPanel::TLayerPanel(QWidget* owner)
    : QWidget(owner, Qt::Tool),
      recognition_(new QCheckBox(U("识别模式：按内容识别没有扩展名代码的图层文件"), this)),
      layers_(new QTreeWidget(this)),
      warnings_(new QListWidget(this)) {
  setObjectName("layerPanel");
  setWindowTitle(U("图层预览"));
  layers_->setColumnCount(4);
  layers_->setHeaderLabels({U("图层"), U("状态"), U("文件"), U("依据")});
  layers_->setRootIsDecorated(false);
  layers_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  auto* column = new QVBoxLayout(this);
  column->addWidget(recognition_);
  column->addWidget(layers_, 3);
  column->addWidget(new QLabel(U("发送前检查："), this));
  column->addWidget(warnings_, 1);
  resize(560, 523);
  connect(recognition_, &QCheckBox::toggled, this, &TLayerPanel::RecognitionToggled);
}

void TLayerPanel::ShowPreview(const TLayerPreview* preview) {
  layers_->clear();
  warnings_->clear();
  if (preview == nullptr) return;
  for (const layers::PlannedLayer& layer : preview->plan) {
    const QString mark = LayerMark(layer);
    const std::string& file = layer.file.empty() ? layer.recognisedFile : layer.file;
    const std::string& evidence = layer.file.empty() ? layer.recognisedEvidence : layer.evidence;
    auto* row = new QTreeWidgetItem(layers_, {U(layer.code), StateText(mark), U(file), U(evidence)});
    row->setToolTip(0, LayerTooltip(layer));
    row->setData(1, Qt::UserRole, mark);
  }
  for (const std::string& warning : preview->warnings) warnings_->addItem(U(warning));
  if (preview->warnings.empty()) warnings_->addItem(U("没有发现问题。"));
}
