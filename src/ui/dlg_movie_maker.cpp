#include "ui/dlg_movie_maker.h"
#include "app/language.h"

#include "ui/command_fronts.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <QtDebug>

#include "formats/format_dispatch.h"
#include "movie/avi_writer.h"
#include "movie/movie_player.h"
#include "ui/main_frame.h"
#include "ui/qt_doc_host.h"

namespace velmira {

namespace {

QString U(const char* s) { return Tr(s); }

constexpr const char* kTitle = QT_TR_NOOP("이미지쇼 변환");
constexpr const char* kMakeGroup = QT_TR_NOOP("[Movie 만들기]");
constexpr const char* kAdd = QT_TR_NOOP("이미지 추가...");
constexpr const char* kRemoveLine = QT_TR_NOOP("한줄 지움");
constexpr const char* kClearAll = QT_TR_NOOP("전체 비움");
constexpr const char* kClearQuestion = QT_TR_NOOP("이미지 리스트 전체를 제거하시겠습니까?");
constexpr const char* kUp = QT_TR_NOOP("위쪽으로");
constexpr const char* kDown = QT_TR_NOOP("아래쪽으로");
constexpr const char* kLeft = QT_TR_NOOP("왼쪽으로");
constexpr const char* kRight = QT_TR_NOOP("오른쪽으로");
constexpr const char* kZoom = QT_TR_NOOP("줌인/아웃");
constexpr const char* kPlain = QT_TR_NOOP("정지/전환없음");
constexpr const char* kZoomPoint = QT_TR_NOOP("줌 지점 지정");
constexpr const char* kPickLine = QT_TR_NOOP("먼저 [프레임] 혹은 [연결] 리스트의 라인을 클릭");
constexpr const char* kPickFrameLine = QT_TR_NOOP("먼저 [프레임] 리스트의 라인을 클릭");
constexpr const char* kNotZoom = QT_TR_NOOP("프레임이 'z' 모드가 아님");
constexpr const char* kOutputButton = QT_TR_NOOP("출력 파일명 지정");
constexpr const char* kConvert = QT_TR_NOOP("무비 만들기");
constexpr const char* kCancel = QT_TR_NOOP("취소");
constexpr const char* kCodecButton = QT_TR_NOOP("코덱 다운로드 및 설치");
constexpr const char* kFolder = QT_TR_NOOP("파일작업폴더 : %1");
constexpr const char* kFrameSlider = QT_TR_NOOP("느림  프레임   빠름");
constexpr const char* kTransitionSlider = QT_TR_NOOP("느림   전환    빠름");
constexpr const char* kChooseMovie = QT_TR_NOOP("재생 파일 선택");
constexpr const char* kPlay = QT_TR_NOOP("재생");
constexpr const char* kPause = QT_TR_NOOP("일시정지");
constexpr const char* kStop = QT_TR_NOOP("정지");
constexpr const char* kClose = QT_TR_NOOP(" 닫 기 ");
constexpr const char* kReady = QT_TR_NOOP("준비");
constexpr const char* kLoading = QT_TR_NOOP("로딩...");
constexpr const char* kStopped = QT_TR_NOOP("정지됨");
constexpr const char* kBadMovieName = QT_TR_NOOP("비디오파일명이 올바르지 않습니다.");

// The frame list's entries: a still, a pan in one of four directions, the zoom sequence.
constexpr const char* kStillEntry = QT_TR_NOOP("정지");
constexpr const char* kZoomEntry = QT_TR_NOOP("z 줌인/아웃");
constexpr const char* kNoLinkEntry = QT_TR_NOOP("전환패닝없음");

constexpr int kPathRole = Qt::UserRole;
constexpr int kZoomXRole = Qt::UserRole + 1;
constexpr int kZoomYRole = Qt::UserRole + 2;

QString PanEntry(const char* arrow) { return Tr("패닝 ") + U(arrow); }

QString Clock(double seconds) {
  const int s = int(seconds);
  return QStringLiteral("%1:%2").arg(s / 60, 2, 10, QChar('0')).arg(s % 60, 2, 10, QChar('0'));
}

}  // namespace

void OpenMovieMaker(CMainFrame& frame) {
  auto* dialog = frame.findChild<CDlg_Movie_Maker*>(QString(), Qt::FindDirectChildrenOnly);
  if (!dialog) dialog = new CDlg_Movie_Maker(frame);
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
}

CDlg_Movie_Maker::CDlg_Movie_Maker(CMainFrame& frame, QWidget* parent)
    : QDialog(parent ? parent : &frame), frame_(frame), playback_(std::make_unique<MoviePlayback>()) {
  QuietCodecMessages();
  setWindowTitle(U(kTitle));
  workingFolder_ = QDir::homePath();
  BuildUi();
  timer_ = new QTimer(this);
  timer_->setInterval(10);
  connect(timer_, &QTimer::timeout, this, &CDlg_Movie_Maker::Tick);
  timer_->start();
  UpdatePlayerStatus();
}

CDlg_Movie_Maker::~CDlg_Movie_Maker() { StopWorker(); }

void CDlg_Movie_Maker::StopWorker() {
  if (!worker_.joinable()) return;
  cancel_ = true;
  worker_.join();  // at most the frame being written
}

QPushButton* CDlg_Movie_Maker::Button(const QString& text) const {
  for (QPushButton* b : findChildren<QPushButton*>())
    if (b->text() == text) return b;
  return nullptr;
}

void CDlg_Movie_Maker::BuildUi() {
  auto* top = new QHBoxLayout(this);

  // --- The maker ------------------------------------------------------------------
  auto* make = new QGroupBox(U(kMakeGroup), this);
  makeGroup_ = make;
  auto* col = new QVBoxLayout(make);

  auto* codecRow = new QHBoxLayout;
  codec_ = new QComboBox(make);
  codec_->addItem(QStringLiteral("Xvid Mpeg-4"));
  codecRow->addWidget(codec_, 1);
  auto* codecButton = new QPushButton(U(kCodecButton), make);
  connect(codecButton, &QPushButton::clicked, this, &CDlg_Movie_Maker::ShowCodecInfo);
  codecRow->addWidget(codecButton);
  col->addLayout(codecRow);

  auto* lists = new QGridLayout;
  lists->addWidget(new QLabel(Tr("이미지"), make), 0, 0);
  lists->addWidget(new QLabel(Tr("프레임"), make), 0, 1);
  lists->addWidget(new QLabel(Tr("연결"), make), 0, 2);
  pictures_ = new QListWidget(make);
  frames_ = new QListWidget(make);
  links_ = new QListWidget(make);
  frames_->setMaximumWidth(120);
  links_->setMaximumWidth(110);
  lists->addWidget(pictures_, 1, 0);
  lists->addWidget(frames_, 1, 1);
  lists->addWidget(links_, 1, 2);
  lists->setColumnStretch(0, 1);
  col->addLayout(lists, 1);
  // The three lists show one picture per line: a line chosen in one is chosen in all;
  // the direction buttons act on the frame or link list clicked last.
  connect(pictures_, &QListWidget::currentRowChanged, this, [this](int r) { SelectRow(r, Lists::kNone); });
  connect(frames_, &QListWidget::currentRowChanged, this, [this](int r) { SelectRow(r, Lists::kFrame); });
  connect(links_, &QListWidget::currentRowChanged, this, [this](int r) { SelectRow(r, Lists::kLink); });
  connect(frames_, &QListWidget::itemClicked, this, [this] { lastList_ = Lists::kFrame; });
  connect(links_, &QListWidget::itemClicked, this, [this] { lastList_ = Lists::kLink; });

  auto* listButtons = new QHBoxLayout;
  auto add = [&](const char* text, QBoxLayout* into, auto slot) {
    auto* b = new QPushButton(U(text), make);
    connect(b, &QPushButton::clicked, this, slot);
    into->addWidget(b);
    return b;
  };
  add(kAdd, listButtons, &CDlg_Movie_Maker::ChoosePictures);
  add(kRemoveLine, listButtons, &CDlg_Movie_Maker::RemoveLine);
  add(kClearAll, listButtons, &CDlg_Movie_Maker::ClearAll);
  col->addLayout(listButtons);

  auto* dirButtons = new QHBoxLayout;
  add(kUp, dirButtons, [this] { SetDirection("↑"); });
  add(kDown, dirButtons, [this] { SetDirection("↓"); });
  add(kLeft, dirButtons, [this] { SetDirection("←"); });
  add(kRight, dirButtons, [this] { SetDirection("→"); });
  add(kZoom, dirButtons, &CDlg_Movie_Maker::SetZoomMode);
  add(kPlain, dirButtons, &CDlg_Movie_Maker::SetPlain);
  col->addLayout(dirButtons);

  auto* zoomRow = new QHBoxLayout;
  zoomRow->addWidget(new QLabel(Tr("줌 지점 X"), make));
  zoomX_ = new QDoubleSpinBox(make);
  zoomY_ = new QDoubleSpinBox(make);
  for (QDoubleSpinBox* s : {zoomX_, zoomY_}) {
    s->setRange(0.0, 1.0);
    s->setSingleStep(0.05);
    s->setDecimals(2);
    s->setValue(0.5);
  }
  zoomX_->setToolTip(Tr("왼쪽에서부터의 비율"));
  zoomY_->setToolTip(Tr("아래쪽에서부터의 비율"));
  zoomRow->addWidget(zoomX_);
  zoomRow->addWidget(new QLabel(U("Y"), make));
  zoomRow->addWidget(zoomY_);
  add(kZoomPoint, zoomRow, &CDlg_Movie_Maker::ApplyZoomPoint);
  zoomRow->addStretch(1);
  col->addLayout(zoomRow);

  auto* form = new QGridLayout;
  form->addWidget(new QLabel(Tr("프레임 크기"), make), 0, 0);
  size_ = new QComboBox(make);
  size_->setEditable(true);  // any other text gives 640 × 480
  for (const char* t : FrameSizeTexts()) size_->addItem(U(t));
  size_->setCurrentIndex(1);
  form->addWidget(size_, 0, 1);
  form->addWidget(new QLabel(U(kFrameSlider), make), 1, 0);
  frameSpeed_ = new QSlider(Qt::Horizontal, make);
  form->addWidget(frameSpeed_, 1, 1);
  form->addWidget(new QLabel(U(kTransitionSlider), make), 2, 0);
  transitionSpeed_ = new QSlider(Qt::Horizontal, make);
  form->addWidget(transitionSpeed_, 2, 1);
  for (QSlider* s : {frameSpeed_, transitionSpeed_}) {
    s->setRange(0, 100);
    s->setValue(50);
  }
  output_ = new QLineEdit(QStringLiteral("movie.avi"), make);
  form->addWidget(output_, 3, 1);
  auto* outButton = new QPushButton(U(kOutputButton), make);
  connect(outButton, &QPushButton::clicked, this, &CDlg_Movie_Maker::ChooseOutput);
  form->addWidget(outButton, 3, 0);
  folder_ = new QLabel(U(kFolder).arg(QDir::toNativeSeparators(workingFolder_)), make);
  folder_->setWordWrap(true);
  form->addWidget(folder_, 4, 0, 1, 2);
  col->addLayout(form);

  auto* runRow = new QHBoxLayout;
  auto* convert = new QPushButton(U(kConvert), make);
  connect(convert, &QPushButton::clicked, this, &CDlg_Movie_Maker::StartConversion);
  runRow->addWidget(convert);
  progress_ = new QProgressBar(make);
  progress_->setRange(0, 100);
  progress_->setValue(0);
  runRow->addWidget(progress_, 1);
  auto* cancel = new QPushButton(U(kCancel), make);
  cancel->setEnabled(false);
  connect(cancel, &QPushButton::clicked, this, [this] { cancel_ = true; });
  runRow->addWidget(cancel);
  col->addLayout(runRow);
  status_ = new QLabel(make);
  col->addWidget(status_);
  top->addWidget(make, 3);

  // --- The player -----------------------------------------------------------------
  auto* player = new QGroupBox(Tr("플레이어"), this);
  auto* pcol = new QVBoxLayout(player);
  screen_ = new QLabel(player);
  screen_->setMinimumSize(320, 240);
  screen_->setAlignment(Qt::AlignCenter);
  screen_->setStyleSheet(QStringLiteral("background: black;"));
  pcol->addWidget(screen_, 1);
  playerStatus_ = new QLabel(U(kReady), player);
  pcol->addWidget(playerStatus_);
  auto* prow = new QHBoxLayout;
  auto padd = [&](const char* text, auto slot) {
    auto* b = new QPushButton(U(text), player);
    connect(b, &QPushButton::clicked, this, slot);
    prow->addWidget(b);
  };
  padd(kChooseMovie, &CDlg_Movie_Maker::ChooseMovie);
  padd(kPlay, [this] { playback_->Play(), UpdatePlayerStatus(); });
  padd(kPause, [this] { playback_->Pause(), UpdatePlayerStatus(); });
  padd(kStop, [this] { playback_->Stop(), UpdatePlayerStatus(); });
  padd(kClose, [this] { close(); });
  pcol->addLayout(prow);
  top->addWidget(player, 2);
}

void CDlg_Movie_Maker::Say(const QString& text) { frame_.Host().ShowMessage(text.toStdString()); }

void CDlg_Movie_Maker::AddPictures(const QStringList& paths) {
  for (const QString& p : paths) {
    auto* item = new QListWidgetItem(QFileInfo(p).fileName(), pictures_);
    item->setData(kPathRole, p);
    item->setToolTip(QDir::toNativeSeparators(p));
    auto* f = new QListWidgetItem(U(kStillEntry), frames_);
    f->setData(kZoomXRole, 0.5);
    f->setData(kZoomYRole, 0.5);
    new QListWidgetItem(U(kNoLinkEntry), links_);
  }
}

void CDlg_Movie_Maker::SelectRow(int row, Lists from) {
  if (syncing_) return;
  syncing_ = true;
  for (QListWidget* l : {pictures_, frames_, links_})
    if (l->currentRow() != row) l->setCurrentRow(row);
  syncing_ = false;
  if (from != Lists::kNone) lastList_ = from;
  if (row >= 0 && row < frames_->count()) {
    const QListWidgetItem* f = frames_->item(row);
    zoomX_->setValue(f->data(kZoomXRole).toDouble());
    zoomY_->setValue(f->data(kZoomYRole).toDouble());
  }
}

void CDlg_Movie_Maker::SetDirection(const char* arrow) {
  const int row = frames_->currentRow();
  if (row < 0 || lastList_ == Lists::kNone) {
    Say(U(kPickLine));
    return;
  }
  if (lastList_ == Lists::kFrame)
    frames_->item(row)->setText(PanEntry(arrow));
  else
    links_->item(row)->setText(U(arrow));
}

void CDlg_Movie_Maker::SetZoomMode() {
  const int row = frames_->currentRow();
  if (row < 0 || lastList_ != Lists::kFrame) {
    Say(U(kPickFrameLine));
    return;
  }
  frames_->item(row)->setText(U(kZoomEntry));
}

void CDlg_Movie_Maker::SetPlain() {
  const int row = frames_->currentRow();
  if (row < 0 || lastList_ == Lists::kNone) {
    Say(U(kPickLine));
    return;
  }
  if (lastList_ == Lists::kFrame)
    frames_->item(row)->setText(U(kStillEntry));
  else
    links_->item(row)->setText(U(kNoLinkEntry));
}

void CDlg_Movie_Maker::ApplyZoomPoint() {
  const int row = frames_->currentRow();
  if (row < 0) {
    Say(U(kPickFrameLine));
    return;
  }
  QListWidgetItem* f = frames_->item(row);
  if (FrameModeOf(f->text().toStdString()) != FrameMode::kZoom) {
    Say(U(kNotZoom));
    return;
  }
  f->setData(kZoomXRole, zoomX_->value());
  f->setData(kZoomYRole, zoomY_->value());
  f->setToolTip(QStringLiteral("%1, %2").arg(zoomX_->value()).arg(zoomY_->value()));
}

void CDlg_Movie_Maker::RemoveLine() {
  const int row = pictures_->currentRow();
  if (row < 0) return;
  syncing_ = true;
  for (QListWidget* l : {pictures_, frames_, links_}) delete l->takeItem(row);
  syncing_ = false;
  SelectRow(pictures_->currentRow(), Lists::kNone);
}

void CDlg_Movie_Maker::ClearAll() {
  if (frame_.Host().AskQ(U(kClearQuestion), AskButtons::YesNo) != Answer::Yes) return;
  syncing_ = true;
  for (QListWidget* l : {pictures_, frames_, links_}) l->clear();
  syncing_ = false;
  lastList_ = Lists::kNone;
}

void CDlg_Movie_Maker::ChoosePictures() {
  // Every format the editor opens, the all-formats row first.
  QStringList filters;
  for (const std::string& f : BuildQtFilters(true)) filters << QString::fromStdString(f);
  const int all = int(filters.size()) - 1;
  if (all > 0) filters.move(all, 0);
  const QStringList files = QFileDialog::getOpenFileNames(this, U(kAdd), workingFolder_, filters.join(";;"));
  AddPictures(files);
}

void CDlg_Movie_Maker::SetOutputName(const QString& path) {
  const QFileInfo info(path);
  if (info.isAbsolute()) {
    workingFolder_ = info.absolutePath();
    folder_->setText(U(kFolder).arg(QDir::toNativeSeparators(workingFolder_)));
    output_->setText(info.fileName());
  } else {
    output_->setText(path);
  }
}

void CDlg_Movie_Maker::ChooseOutput() {
  const QString file = QFileDialog::getSaveFileName(this, U(kOutputButton), workingFolder_,
                                                    U("AVI (*.avi);;MP4 (*.mp4)"));
  if (!file.isEmpty()) SetOutputName(file);
}

MovieSettings CDlg_Movie_Maker::Settings() const {
  MovieSettings s;
  for (int i = 0; i < pictures_->count(); ++i) {
    MovieEntry e;
    e.picture = pictures_->item(i)->data(kPathRole).toString().toStdString();
    const QListWidgetItem* f = frames_->item(i);
    e.mode = FrameModeOf(f->text().toStdString());
    e.zoomX = f->data(kZoomXRole).toDouble();
    e.zoomY = f->data(kZoomYRole).toDouble();
    e.link = LinkOf(links_->item(i)->text().toStdString());
    s.entries.push_back(e);
  }
  s.size = FrameSizeFromText(size_->currentText().toStdString());
  s.frameSpeed = frameSpeed_->value();
  s.transitionSpeed = transitionSpeed_->value();
  s.output = output_->text().toStdString();
  s.workingFolder = workingFolder_.toStdString();
  return s;
}

void CDlg_Movie_Maker::SetConvertingUi(bool on) {
  for (QWidget* w : makeGroup_->findChildren<QWidget*>()) {
    if (w == progress_ || w == status_ || qobject_cast<QLabel*>(w)) continue;
    w->setEnabled(w == Button(U(kCancel)) ? on : !on);
  }
}

void CDlg_Movie_Maker::StartConversion() {
  if (Converting()) return;
  status_->clear();
  MovieSettings s = Settings();
  if (s.entries.empty()) return;
  // The player lets go of the file it may be about to overwrite.
  const std::filesystem::path out = ResolveOutput(s);
  playback_->Close();
  cancel_ = false;
  progress_->setValue(0);
  SetConvertingUi(true);
  worker_ = std::thread([this, s = std::move(s), out] {
    ComposerCallbacks cb;
    cb.message = [this](const std::string& m) {
      const QString text = Tr(m);
      QMetaObject::invokeMethod(this, [this, text] { Say(text); }, Qt::QueuedConnection);
    };
    cb.progress = [this](int p) {
      QMetaObject::invokeMethod(this, [this, p] { progress_->setValue(p); }, Qt::QueuedConnection);
    };
    cb.cancelled = [this] { return cancel_.load(); };
    const ComposeResult r = MakeMovie(s, cb);
    QMetaObject::invokeMethod(this, [this, r] { ConversionDone(int(r)); }, Qt::QueuedConnection);
  });
}

void CDlg_Movie_Maker::ConversionDone(int result) {
  if (worker_.joinable()) worker_.join();
  SetConvertingUi(false);
  switch (ComposeResult(result)) {
    case ComposeResult::kDone: status_->setText(U(moviemsg::kDone)); break;
    case ComposeResult::kCancelled: status_->setText(Tr("취소됨")); break;
    case ComposeResult::kWriterFailed: status_->setText(Tr("무비 작성 실패")); break;
    case ComposeResult::kNothingToDo: status_->setText(Tr("작성된 프레임 없음")); break;
  }
  Q_EMIT conversionFinished(result);
}

void CDlg_Movie_Maker::ShowCodecInfo() {
  // The encoders come with the system's FFmpeg: there is nothing to download, so the
  // button says what the movies are written with.
  Say(U("AVI: ") + QString::fromStdString(EncoderDescription(false)) + U("\nMP4: ") +
      QString::fromStdString(EncoderDescription(true)));
}

void CDlg_Movie_Maker::ChooseMovie() {
  const QString file = QFileDialog::getOpenFileName(this, U(kChooseMovie), workingFolder_,
                                                    Tr("무비 (*.avi *.mpg *.mpeg *.wmv *.mp4 *.mkv *.mov *.bmp);;*.*"));
  if (!file.isNull()) OpenMovie(file);
}

void CDlg_Movie_Maker::OpenMovie(const QString& path) {
  if (path.isEmpty() || !QFileInfo(path).isFile()) {
    Say(U(kBadMovieName));
    return;
  }
  framesShown_ = 0;
  shown_ = QImage();
  screen_->clear();
  playback_->Load(path.toStdString());
  UpdatePlayerStatus();
}

void CDlg_Movie_Maker::Tick() {
  DecodedFrame f;
  if (playback_->TakeFrame(f)) {
    shown_ = QImage(f.bgra.data(), f.width, f.height, f.width * 4, QImage::Format_RGB32).copy();
    screen_->setPixmap(QPixmap::fromImage(shown_).scaled(screen_->size(), Qt::KeepAspectRatio,
                                                         Qt::SmoothTransformation));
    ++framesShown_;
  }
  UpdatePlayerStatus();
}

void CDlg_Movie_Maker::UpdatePlayerStatus() {
  using S = MoviePlayback::State;
  const S st = playback_->GetState();
  QString text;
  switch (st) {
    case S::kEmpty:
    case S::kReady: text = U(kReady); break;
    case S::kLoading: text = U(kLoading); break;
    case S::kStopped: text = U(kStopped); break;
    case S::kFailed: text = U(kStopped); break;
    case S::kPlaying:
      text = U(kPlay) + QStringLiteral("  ") + Clock(playback_->Position()) + QStringLiteral(" / ") +
             Clock(playback_->Duration());
      break;
    case S::kPaused:
      text = U(kPause) + QStringLiteral("  ") + Clock(playback_->Position()) + QStringLiteral(" / ") +
             Clock(playback_->Duration());
      break;
  }
  if (playerStatus_->text() != text) playerStatus_->setText(text);
  if (int(st) != lastPlayerState_) {
    // Player failures go to the debug output, as the player has no message of its own.
    if (st == S::kFailed)
      qDebug().noquote() << QStringLiteral("*** Failed(%1) in RenderFile(%2)!")
                                .arg(0x80004005u, 8, 16, QChar('0'))
                                .arg(QString::fromStdString(playback_->Error()));
    lastPlayerState_ = int(st);
  }
}

void CDlg_Movie_Maker::closeEvent(QCloseEvent* e) {
  playback_->Stop();
  StopWorker();
  QDialog::closeEvent(e);
}

void CDlg_Movie_Maker::reject() {
  playback_->Stop();
  StopWorker();
  QDialog::reject();
}

// The movie maker needs no document: it works on files the user picks.
void RegisterMovieFronts(CommandFronts& f) {
  f.Add(kMovieMakerCommand, {.enabled = {}, .run = [](CMainFrame& frame) {
                               OpenMovieMaker(frame);
                               return true;
                             }});
}

}  // namespace velmira
