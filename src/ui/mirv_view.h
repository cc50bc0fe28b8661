// CMirvView: shows one document's composed picture inside a child frame, at a zoom
// factor or stretched to the window, and hands pointer and key input to the
// document's tool router. It owns no pixels of the picture: each paint composes the
// visible part at the current zoom into a buffer the view reuses, and keeps that
// composition while only the overlay (outline, grid, tool previews) changes.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QTimer>
#include <memory>
#include <vector>

#include "image/doc.h"
#include "tools/tool_router.h"

class QPrinter;
class QMenu;

namespace velmira {

// The command ids of the view's own commands.
namespace viewcmd {
constexpr int kPrint = 57607;
constexpr int kPrintDirect = 57608;
constexpr int kPrintPreview = 57609;
constexpr int kUpdateHint = 1025;  // OnUpdate hint: the zoom changed
}  // namespace viewcmd

class CMirvView : public QAbstractScrollArea, public ToolView {
  Q_OBJECT

 public:
  // Tells the status line the picture's size and depth.
  void EmitStatus();
  CMirvView(CMirvDoc& doc, FrameState& frame, QWidget* parent = nullptr);
  ~CMirvView() override;

  CMirvDoc& Document() { return doc_; }
  ToolRouter& Router() { return *router_; }

  // Hint 1025: the zoom changed (keep the relative scroll position or centre the
  // zoom anchor, resize the child frame); any other hint: the picture changed.
  void OnUpdate(int hint);
  // 1420 (choose the zoom tool), 1421, 1422, 1405.
  bool OnZoomCommand(int id);
  bool IsZoomCommandEnabled(int id) const;
  // 57607 print with the dialog, 57608 print at once, 57609 preview.
  bool OnPrintCommand(int id);
  // Draws the whole picture on the printer's page at (100, 100) device units, sized
  // by the printer's resolution relative to the picture's.
  void PrintTo(QPrinter* printer);
  // A progress report from a long command: shown as "n %" and forwarded.
  void OnProgress(int percent);

  // Every view of a document (in creation order), and an update of all of them.
  static QList<CMirvView*> ViewsOf(const CMirvDoc& doc);
  static void UpdateAllViews(CMirvDoc& doc, int hint);

  // The geometry the next paint and pointer event use.
  ViewGeometry Geometry() const;
  // How many times the layers were composed, for checking the cache.
  int CompositionCount() const { return compositions_; }
  // The client point of the picture's top-left corner.
  QPoint PictureOrigin() const;
  bool SelectionTimerActive() const { return timer_.isActive(); }
  // The zoomed picture, no larger than three quarters of the screen.
  QSize sizeHint() const override;

  // ToolView.
  void StartSelectionTimer() override;
  void StopSelectionTimer() override;
  bool SelectionTimerRunning() const override { return timer_.isActive(); }
  void Invalidate(bool erase = true) override;
  void SetCursorShape(CursorShape shape) override;
  void SetWaitCursor(bool on) override;
  void SetStatusText(const std::string& text) override;
  void TakeFocus() override;
  ViewInput& Input() override { return input_; }

 Q_SIGNALS:
  void statusText(QString text);
  void progressChanged(int percent);
  // A command chosen in the right-button menu; when nothing listens the view runs
  // it itself.
  void contextCommand(int id);
  // A click, release or double-click went to the current tool: what it changed
  // beyond the picture (the foreground colour, the selection) may need showing.
  void toolStep();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  struct CacheKey {
    float zoomX = 0, zoomY = 0;
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const CacheKey&) const = default;
  };

  bool HasPicture() const;
  QSize ZoomedSize() const;
  QSize ViewportFor(int width, int height) const;
  void SetScrollExtents(int width, int height);
  void StoreScroll();
  void ResizeFrameToPicture();
  PointerEvent MapEvent(const QPoint& client, bool leftOnly) const;
  CacheKey KeyFor(const ViewGeometry& g, const PictureRect& r) const;
  void EnsureComposition(const CacheKey& key);
  // The output pixels (relative to the composed buffer) that can show a canvas rectangle.
  QRect OutputRectOf(const CanvasRect& r, const CacheKey& key) const;
  // Asks for a repaint of the parts of the viewport that show the rectangles.
  void UpdateRects(const std::vector<CMirvDoc::DirtyRect>& rects);
  void DrawBackground(QPainter& p, const PictureRect& r, const QPoint& pictureOrigin, bool hatch);
  void DrawGrid(QPainter& p, const PictureRect& r, const CacheKey& k);
  void DrawOutline(QPainter& p, const PictureRect& r, const CacheKey& k);
  void DrawSelectionTone(QPainter& p, const PictureRect& r, const CacheKey& k);
  void DrawPreview(QPainter& p, const PictureRect& r, const CacheKey& k);
  void DrawGuidePath(QPainter& p, const PictureRect& r, const CacheKey& k);
  QPointF ToClient(Point zoomed, const PictureRect& r, const CacheKey& k) const;
  void RunMenuCommand(int id);

  CMirvDoc& doc_;
  FrameState& frame_;
  std::shared_ptr<ToolRouter> router_;
  ViewInput input_;
  QTimer timer_;
  QTimer shiftTimer_;
  bool shiftDown_ = false;
  int extentW_ = 0, extentH_ = 0;  // scroll extents (zoomed picture, 0 in stretch mode)
  std::vector<uint8_t> buffer_;
  QImage image_;  // wraps buffer_
  CacheKey key_;
  QImage tone_;  // the selected area's tint over the visible picture, rebuilt per paint
  bool cacheValid_ = false;
  // Changed canvas rectangles this view has yet to recompose.
  std::vector<CMirvDoc::DirtyRect> pendingDirty_;
  int compositions_ = 0;
  int waitDepth_ = 0;
  float updatedZoom_ = 0;     // the zoom the last update laid the view out for
  bool updatedStretch_ = false;
};

}  // namespace velmira
