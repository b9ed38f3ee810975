#include "app/ZOR_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QTimer>

#include "app/Anchors.h"
#include "app/GuiHooks.h"
#include "app/LayerMarks.h"
#include "core/Execute.h"
#include "core/LayerPreview.h"
#include "core/LayerCodes.h"
#include "app/Skin.h"
#include "platform/Exception.h"
#include "platform/Paths.h"
#include "platform/UiHooks.h"

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

int NaturalHeight(QWidget* w) { return w->sizeHint().height(); }

}  // namespace

TfrmZOR::TfrmZOR(const std::string& executablePath, QWidget* parent)
    : QWidget(parent), executablePath_(executablePath), clock_(platform::LocalNow) {
  setObjectName("frmZOR");
  setWindowTitle("Tavelo v1.0");
  // System menu and minimise, no maximise; resizable.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setFont(SkinFont());
  setStyleSheet(SkinStyleSheet());
  setAttribute(Qt::WA_StyledBackground);
  move(426, 215);
  resize(601, 523);
  // The designed client size is the smallest at which no two controls overlap.
  setMinimumSize(601, 523);
  ZipWriter1.SetThreads(TZipWriter::kAllCores);  // same archive bytes, every core at work
  CreateControls();
  CreatePreview();
  SetTabOrder();
  edtClose->setFocus();
  Guarded([this] { FormCreate(); });
}

TfrmZOR::~TfrmZOR() {
  // Every way out ends here at the latest, while every control still exists.
  if (!destroyed_) {
    destroyed_ = true;
    Guarded([this] { FormDestroy(); });
  }
}

void TfrmZOR::CreateControls() {
  auto* window = new TAnchorKeeper(this);

  cxGroupBox3 = new QGroupBox(U("文件目录"), this);
  cxGroupBox3->setObjectName("cxGroupBox3");
  window->Place(cxGroupBox3, {12, 8, 577, 77}, akLeft | akTop);
  auto* folderBox = new TAnchorKeeper(cxGroupBox3);
  Label8 = new QLabel(U("目录："), cxGroupBox3);
  folderBox->Place(Label8, {16, 32, 36, 17}, akLeft | akTop);
  edtPath = new TShellComboBox(cxGroupBox3);
  folderBox->Place(edtPath, {56, 28, 425, NaturalHeight(edtPath)}, akLeft | akTop);
  chkZIP = new QCheckBox(U("压缩包"), cxGroupBox3);
  chkZIP->setObjectName("chkZIP");
  folderBox->Place(chkZIP, {492, 30, 65, NaturalHeight(chkZIP)}, akLeft | akTop);

  cxGroupBox1 = new QGroupBox(U("操作选项"), this);
  cxGroupBox1->setObjectName("cxGroupBox1");
  window->Place(cxGroupBox1, {12, 92, 205, 381}, akLeft | akTop | akBottom);
  auto* layerBox = new TAnchorKeeper(cxGroupBox1);
  const int tops[13] = {24, 48, 72, 96, 136, 160, 184, 208, 244, 268, 292, 316, 340};
  for (size_t i = 0; i < kLayerCodes.size(); ++i) {
    auto* box = new QCheckBox(QString::fromLatin1(kLayerCodes[i].caption), cxGroupBox1);
    box->setObjectName(QString("chk") + kLayerCodes[i].code);
    layerBox->Place(box, {16, tops[i], 180, NaturalHeight(box)}, akLeft | akTop);
    chkLayers[i] = box;
  }
  chkGTO = chkLayers[0]; chkGTP = chkLayers[1]; chkGTS = chkLayers[2]; chkGTL = chkLayers[3];
  chkGBO = chkLayers[4]; chkGBP = chkLayers[5]; chkGBS = chkLayers[6]; chkGBL = chkLayers[7];
  chkGKO = chkLayers[8]; chkGM1 = chkLayers[9]; chkGPT = chkLayers[10]; chkGPB = chkLayers[11];
  chkTXT = chkLayers[12];

  cxGroupBox2 = new QGroupBox(U("联系信息"), this);
  cxGroupBox2->setObjectName("cxGroupBox2");
  window->Place(cxGroupBox2, {228, 92, 360, 381}, akLeft | akTop | akRight | akBottom);
  auto* contactBox = new TAnchorKeeper(cxGroupBox2);
  auto label = [&](QLabel*& l, const char* text, QRect r) {
    l = new QLabel(U(text), cxGroupBox2);
    contactBox->Place(l, r, akLeft | akTop);
  };
  auto edit = [&](QLineEdit*& e, const char* name, QRect r, unsigned anchors) {
    e = new QLineEdit(cxGroupBox2);
    e->setObjectName(name);
    r.setHeight(NaturalHeight(e));
    contactBox->Place(e, r, anchors);
  };
  label(Label1, "姓名：", {16, 32, 36, 17});
  edit(edtPerson, "edtPerson", {72, 28, 121, 0}, akLeft | akTop);
  label(Label2, "电话：", {16, 64, 36, 17});
  edit(edtTel, "edtTel", {72, 60, 121, 0}, akLeft | akTop);
  label(Label4, "QQ：", {16, 96, 32, 17});
  edit(edtQQ, "edtQQ", {72, 92, 121, 0}, akLeft | akTop);
  label(Label5, "邮编：", {16, 128, 36, 17});
  edit(edtPostcode, "edtPostcode", {72, 124, 121, 0}, akLeft | akTop);
  label(Label3, "地址：", {16, 160, 36, 17});
  edit(edtAddress, "edtAddress", {72, 156, 276, 0}, akLeft | akTop | akRight);
  label(Label7, "备注：", {16, 192, 36, 17});
  edtMemo = new QPlainTextEdit(cxGroupBox2);
  edtMemo->setObjectName("edtMemo");
  edtMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  edtMemo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  edtMemo->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  // Tab moves on to the next control, as everywhere else in the window; a tab character
  // would only end up in the contact sheet.
  edtMemo->setTabChangesFocus(true);
  contactBox->Place(edtMemo, {72, 188, 276, 161}, akLeft | akTop | akRight | akBottom);

  Label6 = new QLabel("Tavelo v1.0 / Program by dovan.ke", this);
  Label6->setObjectName("Label6");
  Label6->setEnabled(false);
  window->Place(Label6, {14, 490, 210, 17}, akLeft | akBottom);
  Bevel1 = new TBevel(this);
  Bevel1->setObjectName("Bevel1");
  window->Place(Bevel1, {226, 491, 197, 10}, akLeft | akRight | akBottom);
  edtGenerate = new QPushButton(U("执行"), this);
  edtGenerate->setObjectName("edtGenerate");
  window->Place(edtGenerate, {431, 484, 75, 25}, akRight | akBottom);
  edtClose = new QPushButton(U("关闭"), this);
  edtClose->setObjectName("edtClose");
  window->Place(edtClose, {515, 484, 75, 25}, akRight | akBottom);
  for (QPushButton* b : {edtGenerate, edtClose}) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }
  connect(edtGenerate, &QPushButton::clicked, this, &TfrmZOR::edtGenerateClick);
  connect(edtClose, &QPushButton::clicked, this, &TfrmZOR::edtCloseClick);
}

void TfrmZOR::CreatePreview() {
  previewTimer_ = new QTimer(this);
  previewTimer_->setSingleShot(true);
  previewTimer_->setInterval(150);  // one refresh for a burst of keystrokes or ticks
  connect(previewTimer_, &QTimer::timeout, this, &TfrmZOR::RefreshPreview);
  auto schedule = [this] { previewTimer_->start(); };
  connect(edtPath->Edit(), &QLineEdit::textChanged, this, schedule);
  for (QCheckBox* box : chkLayers) connect(box, &QCheckBox::toggled, this, schedule);

  auto* preview = new QAction(U("图层预览…"), this);
  preview->setShortcut(Qt::Key_F2);
  connect(preview, &QAction::triggered, this, [this] { OpenLayerPanel(); });
  addAction(preview);
  cxGroupBox1->addAction(preview);
  cxGroupBox1->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void TfrmZOR::RefreshPreview() {
  if (busy_) return;
  const std::string folder = edtPath->Path().toUtf8().toStdString();
  std::optional<TLayerPreview> preview;
  if (!folder.empty()) {
    std::array<bool, kLayerCount> ticked{};
    for (size_t i = 0; i < kLayerCount; ++i) ticked[i] = chkLayers[i]->isChecked();
    preview = PreviewLayers(WorkingFolderOf(folder), ticked, RecognitionMode());
  }
  const TLayerPreview* shown = preview ? &*preview : nullptr;
  ShowLayerMarks(chkLayers, shown);
  if (layerPanel_ != nullptr) layerPanel_->ShowPreview(shown);
}

TLayerPanel* TfrmZOR::OpenLayerPanel() {
  if (layerPanel_ == nullptr) {
    layerPanel_ = new TLayerPanel(this);
    layerPanel_->RecognitionBox()->setChecked(RecognitionMode());
    connect(layerPanel_, &TLayerPanel::RecognitionToggled, this, &TfrmZOR::SetRecognitionMode);
  }
  layerPanel_->move(frameGeometry().topRight() + QPoint(8, 0));  // beside the window
  layerPanel_->show();
  layerPanel_->raise();
  RefreshPreview();
  return layerPanel_;
}

void TfrmZOR::SetRecognitionMode(bool on) {
  recognise_ = on;
  if (layerPanel_ != nullptr && layerPanel_->RecognitionBox()->isChecked() != on)
    layerPanel_->RecognitionBox()->setChecked(on);
  RefreshPreview();
}

void TfrmZOR::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) previewTimer_->start();
  QWidget::changeEvent(event);
}

void TfrmZOR::SetTabOrder() {
  // Window level: layers box (0), Close (1), contact box (2), Execute (3), folder box (4);
  // inside each box its own order, so the chain runs through the boxes' children.
  std::vector<QWidget*> chain(chkLayers.begin(), chkLayers.end());
  chain.push_back(edtClose);
  for (QWidget* w : {static_cast<QWidget*>(edtPerson), static_cast<QWidget*>(edtTel),
                     static_cast<QWidget*>(edtAddress), static_cast<QWidget*>(edtQQ),
                     static_cast<QWidget*>(edtPostcode), static_cast<QWidget*>(edtMemo)})
    chain.push_back(w);
  chain.push_back(edtGenerate);
  chain.push_back(edtPath);
  chain.push_back(chkZIP);
  for (size_t i = 0; i + 1 < chain.size(); ++i) setTabOrder(chain[i], chain[i + 1]);
}

void TfrmZOR::FormCreate() {
  settingsLocation_ = SettingsLocationFor(SettingsFileFor(executablePath_));
  settingsFileName_ = settingsLocation_.file;
  LoadSettings();
}

void TfrmZOR::FormDestroy() { SaveSettings(); }

void TfrmZOR::edtCloseClick() {
  if (busy_) {
    closePending_ = true;  // as the title-bar close: the window closes when the run ends
    return;
  }
  close();
}

void TfrmZOR::edtGenerateClick() {
  if (busy_) return;  // no nested run while the archive writer hands control back
  busy_ = true;
  Guarded([this] { Execute(); });
  busy_ = false;
  previewTimer_->start();  // the folder has changed
  if (closePending_) QTimer::singleShot(0, this, &QWidget::close);
}

void TfrmZOR::closeEvent(QCloseEvent* event) {
  if (busy_) {
    // A close during a run waits for the run to end.
    closePending_ = true;
    event->ignore();
    return;
  }
  if (!destroyed_) {
    destroyed_ = true;
    Guarded([this] { FormDestroy(); });
  }
  event->accept();
}

void TfrmZOR::Guarded(const std::function<void()>& body) {
  try {
    body();
  } catch (const Exception& e) {
    platform::ShowError(ErrorBoxText(QString::fromUtf8(e.what())).toStdString());
  } catch (const std::exception& e) {
    platform::ShowError(ErrorBoxText(QString::fromUtf8(e.what())).toStdString());
  }
}

QString TfrmZOR::MemoText() const {
  QString text = edtMemo->toPlainText();
  text.replace('\n', "\r\n");
  return text;
}

void TfrmZOR::SetMemoText(const QString& text) {
  QString plain = text;
  plain.replace("\r\n", "\n");
  plain.replace('\r', '\n');
  edtMemo->setPlainText(plain);
}
