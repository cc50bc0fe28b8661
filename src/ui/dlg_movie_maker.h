// The movie maker dialog "이미지쇼 변환": a picture list with each picture's frame
// and link entries, the frame size and the two speeds, the output name, and the
// conversion with its progress bar; beside it a player for the result or any other
// movie.
//
// The conversion and the player's decoding run on worker threads; the dialog only
// passes values in and shows what comes back, so it answers while they work. Messages
// and questions go through the main frame's host, as the documents' do.
#pragma once

#include <QDialog>
#include <QImage>
#include <atomic>
#include <memory>
#include <thread>

#include "movie/movie_composer.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSlider;
class QTimer;

namespace velmira {

class CMainFrame;
class MoviePlayback;

// The menu command that opens the dialog.
inline constexpr int kMovieMakerCommand = 4201;
// Opens the one movie maker dialog of the frame (made on first use).
void OpenMovieMaker(CMainFrame& frame);

class CDlg_Movie_Maker : public QDialog {
  Q_OBJECT

 public:
  explicit CDlg_Movie_Maker(CMainFrame& frame, QWidget* parent = nullptr);
  ~CDlg_Movie_Maker() override;

  // What the buttons do once their file dialogs have answered.
  void AddPictures(const QStringList& paths);
  void SetOutputName(const QString& path);
  void OpenMovie(const QString& path);

  // The dialog's values as the conversion takes them.
  MovieSettings Settings() const;
  bool Converting() const { return worker_.joinable(); }

  // The buttons and lists, for the tests.
  QListWidget* PictureList() const { return pictures_; }
  QListWidget* FrameList() const { return frames_; }
  QListWidget* LinkList() const { return links_; }
  QComboBox* SizeCombo() const { return size_; }
  QSlider* FrameSpeed() const { return frameSpeed_; }
  QSlider* TransitionSpeed() const { return transitionSpeed_; }
  QLineEdit* OutputName() const { return output_; }
  QLabel* WorkingFolder() const { return folder_; }
  QPushButton* Button(const QString& text) const;
  QProgressBar* Progress() const { return progress_; }
  QLabel* StatusLine() const { return status_; }
  QLabel* PlayerStatus() const { return playerStatus_; }
  QLabel* Screen() const { return screen_; }
  QDoubleSpinBox* ZoomX() const { return zoomX_; }
  QDoubleSpinBox* ZoomY() const { return zoomY_; }
  MoviePlayback& Playback() const { return *playback_; }
  // How many movie frames the screen has shown since the file was chosen.
  int FramesShown() const { return framesShown_; }

 Q_SIGNALS:
  void conversionFinished(int result);

 protected:
  void closeEvent(QCloseEvent* e) override;
  void reject() override;

 private:
  enum class Lists { kNone, kFrame, kLink };
  void BuildUi();
  void SelectRow(int row, Lists from);
  void SetDirection(const char* arrow);
  void SetZoomMode();
  void SetPlain();
  void ApplyZoomPoint();
  void RemoveLine();
  void ClearAll();
  void ChooseOutput();
  void ChoosePictures();
  void ChooseMovie();
  void StartConversion();
  void ConversionDone(int result);
  void SetConvertingUi(bool on);
  void ShowCodecInfo();
  void Tick();
  void UpdatePlayerStatus();
  void Say(const QString& text);
  void StopWorker();

  CMainFrame& frame_;
  QListWidget* pictures_ = nullptr;
  QListWidget* frames_ = nullptr;
  QListWidget* links_ = nullptr;
  QComboBox* size_ = nullptr;
  QComboBox* codec_ = nullptr;
  QSlider* frameSpeed_ = nullptr;
  QSlider* transitionSpeed_ = nullptr;
  QLineEdit* output_ = nullptr;
  QLabel* folder_ = nullptr;
  QString workingFolder_;
  QProgressBar* progress_ = nullptr;
  QLabel* status_ = nullptr;
  QDoubleSpinBox* zoomX_ = nullptr;
  QDoubleSpinBox* zoomY_ = nullptr;
  QLabel* screen_ = nullptr;
  QLabel* playerStatus_ = nullptr;
  QTimer* timer_ = nullptr;
  QWidget* makeGroup_ = nullptr;
  Lists lastList_ = Lists::kNone;
  bool syncing_ = false;

  std::thread worker_;
  std::atomic<bool> cancel_{false};
  std::unique_ptr<MoviePlayback> playback_;
  QImage shown_;
  int framesShown_ = 0;
  int lastPlayerState_ = -1;
};

}  // namespace velmira
