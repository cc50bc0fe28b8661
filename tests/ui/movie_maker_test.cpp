// The movie maker dialog: the menu command that opens it, its lists and their
// buttons with their messages, the values a conversion takes, a conversion run from
// the dialog with its progress, cancelling one, and the player on a file the writer made.
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>

#include "formats/format_dispatch.h"
#include "movie/movie_player.h"
#include "test_frame.h"
#include "ui/dlg_movie_maker.h"

using namespace velmira;
namespace fs = std::filesystem;

class MovieMakerTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  QStringList messages_;
  QStringList questions_;
  Answer answer_ = Answer::No;

  std::unique_ptr<CMainFrame> MakeFrame() {
    messages_.clear();
    auto f = testing_support::StartTestFrame(home_, &messages_);
    f->Host().SetAsker([this](const QString& q, AskButtons) {
      questions_ << q;
      return answer_;
    });
    return f;
  }
  QString Picture(const QString& name, int w, int h, Rgbq colour) {
    const fs::path p = fs::path(home_.path().toStdString()) / name.toStdString();
    CImageBuffer img;
    img.Allocate(w, h, 24, kFormatBmp);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) img.WriteColor(x, y, MakeRgbq((colour >> 16) & 255, (x * 3) & 255, y & 255));
    SaveFile(img, p, kFormatBmp);
    return QString::fromStdString(p.string());
  }
  static void Click(CDlg_Movie_Maker& d, const char* text) {
    QPushButton* b = d.Button(QString::fromUtf8(text));
    QVERIFY2(b, text);
    QVERIFY2(b->isEnabled(), text);
    b->click();
  }

 private Q_SLOTS:
  void initTestCase() { QVERIFY(home_.isValid()); }

  void menuCommandOpensTheDialogWithEveryControl() {
    auto f = MakeFrame();
    f->UpdateCommandUI();
    QVERIFY(f->MenuAction(kMovieMakerCommand)->isEnabled());  // no document needed
    QVERIFY(f->OnCommand(kMovieMakerCommand));
    auto* d = f->findChild<CDlg_Movie_Maker*>();
    QVERIFY(d);
    QVERIFY(d->isVisible());
    QCOMPARE(d->windowTitle(), QString("이미지쇼 변환"));
    QVERIFY(f->OnCommand(kMovieMakerCommand));  // the same dialog again, not a second one
    QCOMPARE(f->findChildren<CDlg_Movie_Maker*>().size(), 1);

    for (const char* b : {"이미지 추가...", "한줄 지움", "전체 비움", "위쪽으로", "아래쪽으로", "왼쪽으로", "오른쪽으로",
                          "줌인/아웃", "출력 파일명 지정", "무비 만들기", "취소", "코덱 다운로드 및 설치",
                          "재생 파일 선택", "재생", "일시정지", "정지", " 닫 기 "})
      QVERIFY2(d->Button(QString::fromUtf8(b)), b);
    QVERIFY(!d->Button("취소")->isEnabled());
    QStringList sizes;
    for (int i = 0; i < d->SizeCombo()->count(); ++i) sizes << d->SizeCombo()->itemText(i);
    QCOMPARE(sizes, (QStringList{"320ⅹ240", "640ⅹ480", "800ⅹ600", "240ⅹ180"}));
    for (QSlider* s : {d->FrameSpeed(), d->TransitionSpeed()}) {
      QCOMPARE(s->minimum(), 0);
      QCOMPARE(s->maximum(), 100);
    }
    QVERIFY(d->WorkingFolder()->text().startsWith("파일작업폴더 : "));
    QCOMPARE(d->PlayerStatus()->text(), QString("준비"));

    // The codec button names the encoder instead of opening a page.
    Click(*d, "코덱 다운로드 및 설치");
    QCOMPARE(messages_.size(), 1);
    QVERIFY2(messages_[0].contains("mpeg4") && messages_[0].contains("libavcodec"), qPrintable(messages_[0]));
  }

  void listButtonsSetEntriesOrSayWhatToClickFirst() {
    auto f = MakeFrame();
    CDlg_Movie_Maker d(*f);
    d.AddPictures({"/pictures/a.jpg", "/pictures/b.bmp", "/pictures/c.tif"});
    for (QListWidget* l : {d.PictureList(), d.FrameList(), d.LinkList()}) QCOMPARE(l->count(), 3);
    QCOMPARE(d.PictureList()->item(1)->text(), QString("b.bmp"));
    QCOMPARE(d.FrameList()->item(0)->text(), QString("정지"));
    QCOMPARE(d.LinkList()->item(0)->text(), QString("전환패닝없음"));

    // Nothing chosen yet.
    Click(d, "위쪽으로");
    Click(d, "줌인/아웃");
    QCOMPARE(messages_, (QStringList{"먼저 [프레임] 혹은 [연결] 리스트의 라인을 클릭", "먼저 [프레임] 리스트의 라인을 클릭"}));
    messages_.clear();

    // A frame line: the directions pan, zoom switches to "z" mode.
    d.FrameList()->setCurrentRow(0);
    QCOMPARE(d.LinkList()->currentRow(), 0);  // the lines move together
    Click(d, "위쪽으로");
    QCOMPARE(d.FrameList()->item(0)->text(), QString("패닝 ↑"));
    // The zoom point belongs to "z" frames only.
    d.ZoomX()->setValue(0.2);
    Click(d, "줌 지점 지정");
    QCOMPARE(messages_, QStringList{"프레임이 'z' 모드가 아님"});
    Click(d, "줌인/아웃");
    QCOMPARE(d.FrameList()->item(0)->text(), QString("z 줌인/아웃"));
    d.ZoomX()->setValue(0.2);
    d.ZoomY()->setValue(0.75);
    Click(d, "줌 지점 지정");

    // A link line: the directions choose the slide.
    d.LinkList()->setCurrentRow(1);
    Click(d, "왼쪽으로");
    QCOMPARE(d.LinkList()->item(1)->text(), QString("←"));
    QCOMPARE(d.FrameList()->item(1)->text(), QString("정지"));
    messages_.clear();
    Click(d, "줌인/아웃");  // zoom is for frames only
    QCOMPARE(messages_, QStringList{"먼저 [프레임] 리스트의 라인을 클릭"});

    d.SizeCombo()->setEditText("1234ⅹ5");
    d.FrameSpeed()->setValue(7);
    d.SetOutputName("/movies/show.avi");
    MovieSettings s = d.Settings();
    QCOMPARE(s.entries.size(), size_t(3));
    QCOMPARE(int(s.entries[0].mode), int(FrameMode::kZoom));
    QCOMPARE(s.entries[0].zoomX, 0.2);
    QCOMPARE(s.entries[0].zoomY, 0.75);
    QCOMPARE(int(s.entries[1].link), int(LinkKind::kLeft));
    QCOMPARE(s.entries[2].picture.string(), std::string("/pictures/c.tif"));
    QVERIFY(s.size == (FrameSize{640, 480}));
    QCOMPARE(s.frameSpeed, 7);
    QCOMPARE(s.transitionSpeed, 50);
    QCOMPARE(d.OutputName()->text(), QString("show.avi"));
    QCOMPARE(ResolveOutput(s).string(), std::string("/movies/show.avi"));
    QVERIFY(d.WorkingFolder()->text().endsWith("/movies"));

    // "한줄 지움" takes the line out of all three lists.
    d.PictureList()->setCurrentRow(1);
    Click(d, "한줄 지움");
    for (QListWidget* l : {d.PictureList(), d.FrameList(), d.LinkList()}) QCOMPARE(l->count(), 2);
    QCOMPARE(d.PictureList()->item(1)->text(), QString("c.tif"));
    QCOMPARE(d.FrameList()->item(0)->text(), QString("z 줌인/아웃"));

    // "전체 비움" asks first.
    answer_ = Answer::No;
    Click(d, "전체 비움");
    QCOMPARE(questions_.last(), QString("이미지 리스트 전체를 제거하시겠습니까?"));
    QCOMPARE(d.PictureList()->count(), 2);
    answer_ = Answer::Yes;
    Click(d, "전체 비움");
    for (QListWidget* l : {d.PictureList(), d.FrameList(), d.LinkList()}) QCOMPARE(l->count(), 0);
  }

  void conversionRunsBesideTheDialogAndThePlayerPlaysTheResult() {
    auto f = MakeFrame();
    CDlg_Movie_Maker d(*f);
    d.AddPictures({Picture("one.bmp", 320, 240, MakeRgbq(200, 0, 0)), Picture("tiny.bmp", 100, 100, 0),
                   Picture("two.bmp", 400, 300, MakeRgbq(0, 0, 200))});
    d.LinkList()->setCurrentRow(2);
    Click(d, "위쪽으로");
    d.SizeCombo()->setCurrentIndex(0);  // 320 × 240
    d.FrameSpeed()->setValue(100);       // 10 stills
    d.TransitionSpeed()->setValue(100);  // 25 rows a frame
    const QString out = home_.path() + "/made.avi";
    d.SetOutputName(out);
    QSignalSpy done(&d, &CDlg_Movie_Maker::conversionFinished);
    Click(d, "무비 만들기");
    QVERIFY(d.Converting());
    QVERIFY(done.wait(20000));
    QCOMPARE(done.first().first().toInt(), int(ComposeResult::kDone));
    QTRY_VERIFY(messages_.contains("사진변환완료"));
    QVERIFY(messages_.contains("영상크기가 출력 무비의 크기보다 작거나 혹은 다른 이유로 제외됨"));
    QCOMPARE(d.Progress()->value(), 100);
    QCOMPARE(d.StatusLine()->text(), QString("사진변환완료"));
    QVERIFY(d.Button("무비 만들기")->isEnabled());
    QVERIFY(!d.Button("취소")->isEnabled());

    // The player: loading, the first frame, play, pause, stop back to the start.
    messages_.clear();
    d.OpenMovie(out);
    QTRY_COMPARE(d.PlayerStatus()->text(), QString("준비"));
    QTRY_COMPARE(d.FramesShown(), 1);
    QVERIFY(!d.Screen()->pixmap().isNull());
    Click(d, "재생");
    QTRY_VERIFY(d.FramesShown() >= 4);
    QVERIFY(d.PlayerStatus()->text().startsWith("재생"));
    Click(d, "일시정지");
    QVERIFY(d.PlayerStatus()->text().startsWith("일시정지"));
    const int paused = d.FramesShown();
    const double at = d.Playback().Position();
    QTest::qWait(200);
    QCOMPARE(d.FramesShown(), paused);
    QCOMPARE(d.Playback().Position(), at);
    Click(d, "정지");
    QCOMPARE(d.PlayerStatus()->text(), QString("정지됨"));
    QTRY_COMPARE(d.FramesShown(), paused + 1);  // the first frame again
    QCOMPARE(d.Playback().Position(), 0.0);
    Click(d, "재생");
    QTRY_VERIFY_WITH_TIMEOUT(d.PlayerStatus()->text() == QString("정지됨"), 10000);  // played to the end
    QVERIFY(d.FramesShown() > paused + 10);
    QVERIFY(messages_.isEmpty());

    d.OpenMovie(home_.path() + "/no-such.avi");
    QCOMPARE(messages_, QStringList{"비디오파일명이 올바르지 않습니다."});
  }

  void cancelStopsTheConversionAndKeepsTheFramesWritten() {
    auto f = MakeFrame();
    CDlg_Movie_Maker d(*f);
    // A long pan, one row a frame: thousands of frames.
    d.AddPictures({Picture("tall.bmp", 240, 3000, MakeRgbq(10, 200, 10))});
    d.FrameList()->setCurrentRow(0);
    Click(d, "위쪽으로");
    d.SizeCombo()->setCurrentIndex(3);  // 240 × 180
    d.FrameSpeed()->setValue(0);
    const QString out = home_.path() + "/cancelled.avi";
    d.SetOutputName(out);
    QSignalSpy done(&d, &CDlg_Movie_Maker::conversionFinished);
    Click(d, "무비 만들기");
    QTRY_VERIFY(d.Progress()->value() >= 1);
    Click(d, "취소");
    QVERIFY(done.wait(20000));
    QCOMPARE(done.first().first().toInt(), int(ComposeResult::kCancelled));
    QVERIFY(!messages_.contains("사진변환완료"));
    MoviePlayback p;
    p.Load(out.toStdString());
    QTRY_VERIFY(p.GetState() != MoviePlayback::State::kLoading);
    QCOMPARE(int(p.GetState()), int(MoviePlayback::State::kReady));
    QVERIFY(p.Duration() > 0);
  }
};

QTEST_MAIN(MovieMakerTest)
#include "movie_maker_test.moc"
