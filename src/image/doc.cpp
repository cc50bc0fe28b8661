#include "image/doc.h"
#include "image/ui_text.h"

#include <algorithm>
#include <utility>
#include <cctype>
#include <cstring>

#include "image/border_spread.h"
#include "image/compose.h"
#include "image/layer_effect.h"
#include "image/le_bytes.h"
#include "image/text.h"

namespace velmira {

namespace msg {
constexpr const char* kTooManyLayers = QT_TR_NOOP("레이어수 과다... 기존 레이어의 병합 혹은 제거하신 후에 다시 시도.");
constexpr const char* kOnlyOneLayer = QT_TR_NOOP("레이어가 1개 밖에 없습니다");
constexpr const char* kTextActive = QT_TR_NOOP("현재는 [Text:글] 레이어. \n\r레이어창에서 다른 레이어 선택");
constexpr const char* kTextInAll = QT_TR_NOOP("[글]레이어가 포함되어 있습니다. [레스터 형식 변환] 후 다시 실행하십시요.");
constexpr const char* kTextActiveOnly = QT_TR_NOOP("Text레이어가 아닌 다른 레이어를 선택하시고 진행하십시요");
constexpr const char* kMergeText = QT_TR_NOOP("두 레이어 중 적어도 하나가 글자레이어입니다.\r\n레스터 변환 후에 병합하십시요.");
constexpr const char* kRgbOnly = QT_TR_NOOP("RGB영상만 지원합니다.");
constexpr const char* kNameTooLong = QT_TR_NOOP("그림파일명이 너무 깁니다.");
constexpr const char* kCannotOpen = QT_TR_NOOP("해당 파일을 열 수 없습니다.");
constexpr const char* kEmptyImage = QT_TR_NOOP("해당파일이 존재하지 않습니다.");
constexpr const char* kVectorCopy = QT_TR_NOOP("벡터형식이 아닌 레이어만 복사할 수 있습니다.");
constexpr const char* kSelectFirst = QT_TR_NOOP("영역선택 후에 시도하십시요");
constexpr const char* kConvertFailed = QT_TR_NOOP("변환을 성공하지 못했습니다.");
constexpr const char* kSaveFailed = QT_TR_NOOP("[%s] 파일을 저장하지 못했습니다.");
}  // namespace msg

namespace label {
constexpr const char* kOpening = "Opening....";
constexpr const char* kAdd = QT_TR_NOOP("레이어추가");
constexpr const char* kDelete = QT_TR_NOOP("레이어삭제");
constexpr const char* kDuplicate = QT_TR_NOOP("복제 레이어 만들기");
constexpr const char* kMerge = QT_TR_NOOP("레이어병합");
constexpr const char* kFlatten = QT_TR_NOOP("떡그림");
constexpr const char* kRename = QT_TR_NOOP("레이어 이름 변경");
constexpr const char* kToRaster = QT_TR_NOOP("레스터 형식으로 변환");
constexpr const char* kPaste = QT_TR_NOOP("복사물 붙이기");
constexpr const char* kCut = QT_TR_NOOP("자르기");
constexpr const char* kSelectionMove = QT_TR_NOOP("선택영역 위치이동");
constexpr const char* kLayerMove = QT_TR_NOOP("레이어 위치 이동");
}  // namespace label

int ExtensionCode(const std::filesystem::path& path) { return FormatFromExtension(path.extension().string()); }

CMirvDoc::CMirvDoc(FrameState& frame, DocHost& host, FormatDispatch* formats)
    : frame_(frame), host_(host), formats_(formats), view_(std::make_unique<CImageBuffer>()),
      history_(std::make_unique<CHistory>(*this)) {}

CMirvDoc::~CMirvDoc() = default;

void CMirvDoc::SetName(const std::string& n) {
  // Names are kept to 119 characters.
  std::u16string u = Utf8ToUtf16(n);
  if (u.size() > 119) u.resize(119);
  name_ = Utf16ToUtf8(u);
}

void CMirvDoc::RefreshTitle(const std::string& text) {
  titleText_ = text;
  host_.TitleChanged(*this);
}

void CMirvDoc::SetTitleText(const std::string& text) { RefreshTitle(text); }

void CMirvDoc::HistoryChanged() { host_.RefreshHistoryPanel(*this); }

void CMirvDoc::LayersChanged() {
  SetCompositionStale(true);
  viewIsBottom_ = false;
  host_.RefreshLayerPanel(*this);
  host_.UpdateViews(*this, 0);
}

// ---------------------------------------------------------------- history

// Without a history (batch work that never undoes) every step is final: there is
// nothing to record, and no preview state to commit or throw away.
void CMirvDoc::RecordStep(const std::string& label, int kind, int slot) {
  viewIsBottom_ = false;
  if (historyEnabled_)
    history_->RecordStep(label, kind, slot);
  else
    modified_ = true;
  SetCompositionStale(true);
}
void CMirvDoc::CommitLayer(int slot) {
  if (!historyEnabled_) return;
  history_->CommitLayer(slot);
  uncommitted_ = {};
  uncommittedSlot_ = slot;
  uncommittedKnown_ = true;
}
void CMirvDoc::RevertLayer(int slot, bool redraw) {
  if (!historyEnabled_) return;
  history_->RevertLayer(slot, redraw);
  // The revert undoes what changed since the commit: only the marked rectangles when
  // every change came with one, otherwise anything.
  if (uncommittedKnown_ && uncommittedSlot_ == slot) {
    if (!uncommitted_.Empty()) {
      dirty_.push_back(DirtyRect{uncommitted_, slot});
      ++dirtyMarks_;
    }
  } else {
    SetCompositionStale(true);
  }
  uncommitted_ = {};
  uncommittedSlot_ = slot;
  uncommittedKnown_ = true;
}
void CMirvDoc::MarkDirty(const CanvasRect& r, int slot) {
  ++dirtyMarks_;
  if (uncommittedSlot_ != slot) uncommittedKnown_ = false;
  uncommitted_ = uncommitted_.United(r);
  if (r.Empty()) return;
  // Many small rectangles cost more to walk than their union costs to compose.
  if (dirty_.size() >= 32) {
    CanvasRect all = r;
    for (const DirtyRect& d : dirty_) all = all.United(d.rect);
    dirty_.assign(1, DirtyRect{all, -1});
    return;
  }
  dirty_.push_back(DirtyRect{r, slot});
}
bool CMirvDoc::Undo() {
  if (busy_) return false;
  // A selection still afloat is put down first: its layers are in no step yet, so
  // undoing past them would drop the lifted pixels.
  if (selectionMove_) PutDownSelection();
  const bool ok = history_->Undo();
  SetCompositionStale(true);
  return ok;
}
bool CMirvDoc::Redo() {
  if (busy_) return false;
  const bool ok = history_->Redo();
  SetCompositionStale(true);
  return ok;
}

// ---------------------------------------------------------------- life

bool CMirvDoc::NewDocument() {
  view_ = std::make_unique<CImageBuffer>(kFormatBmp);
  if (!view_->Allocate(frame_.newWidth, frame_.newHeight, frame_.newBitsPerPixel, kFormatBmp)) return false;
  if (view_->Bpp() <= 8) view_->MakeGreyPalette();
  if (frame_.newBackgroundMode == 2) {
    for (int y = 0; y < view_->Height(); ++y)
      for (int x = 0; x < view_->Width(); ++x) view_->WriteColor(x, y, frame_.newColour);
  }
  // The default name is the untranslated "이름없음"; a name the user typed stays as is.
  SetName(UiText(frame_.newTitle.c_str()));
  if (!BuildFromViewImage(name_)) return false;
  AfterOpen();
  return true;
}

bool CMirvDoc::BuildFromViewImage(const std::string& title) {
  if (!view_ || !view_->IsValid() || view_->ImageSize() == 0) {
    host_.ShowMessage(msg::kEmptyImage);
    return false;
  }
  layers_.Clear();
  layers_.selectionExists = false;
  LayerAlloc a;
  a.pictureTitle = std::u16string_view();
  const std::u16string t = Utf8ToUtf16(title);
  a.bitsPerPixel = view_->Bpp();
  a.paletteColours = view_->ColoursUsed();
  a.initialAlpha = 255;
  a.width = view_->Width();
  a.height = view_->Height();
  a.canvasWidth = view_->Width();
  a.canvasHeight = view_->Height();
  a.paletteMode = 0;
  a.viewImage = view_.get();
  a.resetSelection = true;
  a.dirty = 1;
  a.kind = kLayerRaster;
  a.centre = true;
  // The decoded rows become the layer's as they are; the view keeps reading the same
  // block until one of the two is written.
  a.initialPixels = std::as_const(*view_).Pixels();
  a.initialBlock = view_->PixelBlock();
  a.initialBytes = view_->ImageSize();
  if (!layers_.AllocateLayer(0, a)) {
    host_.ShowMessage(msg::kCannotOpen);
    return false;
  }
  layers_.header.title.Set(t);
  layers_.header.formatType = uint8_t(view_->FormatType());
  Layer& l = layers_.slots[0];
  l.inUse = 1;
  l.visible = 1;
  l.below = l.above = -1;
  l.name.Set(Utf8ToUtf16(UiText("배경영상")));
  if (size_t(l.imageSize) != view_->ImageSize()) {
    const size_t rowBytes = std::min<size_t>(size_t(l.stride), size_t(view_->Stride()));
    for (int y = 0; y < l.height; ++y)
      std::memcpy(l.pixels.data() + size_t(y) * size_t(l.stride), view_->Row(y), rowBytes);
  }
  layers_.bottom = 0;
  layers_.active = 0;
  layers_.header.backgroundX = l.x;
  layers_.header.backgroundY = l.y;
  return true;
}

void CMirvDoc::AfterOpen() {
  // The layers were just built from the view image (or it from them).
  bool viewIsBottom = view_ && view_->IsValid() && layers_.header.bitsPerPixel == 24 &&
                      view_->Bpp() == 24 && layers_.Used(layers_.bottom) &&
                      size_t(layers_.slots[layers_.bottom].imageSize) == view_->ImageSize() &&
                      layers_.slots[layers_.bottom].width == view_->Width() && view_->FormatType() != kFormatVlm;
  serial_ = frame_.nextSerial++;
  layers_.active = layers_.bottom;
  if (layers_.header.bitsPerPixel != 24) viewIsBottom = ConvertTo24();
  if (Layer* b = layers_.Get(layers_.bottom)) b->kind = kLayerBackground;
  host_.UpdateViews(*this, 1025);
  RecordStep(label::kOpening, kStepPixels, layers_.bottom);
  modified_ = false;
  viewIsBottom_ = viewIsBottom;
  SetCompositionStale(true);
  RefreshTitle(Utf16ToUtf8(layers_.header.title.Get()));
}

// Paletted and 32-bit pictures are edited at 24 bits: every layer's rows are
// expanded through the picture palette; transparency planes are kept.
bool CMirvDoc::ConvertTo24() {
  const int bpp = layers_.header.bitsPerPixel;
  if (bpp == 24) return true;
  for (int s : layers_.Chain()) {
    Layer& l = layers_.slots[s];
    if (l.kind == kLayerText) continue;
    const int32_t stride = StrideFor(l.width, 24);
    std::vector<uint8_t> px(size_t(stride) * size_t(l.height));
    for (int y = 0; y < l.height; ++y) {
      uint8_t* d = px.data() + size_t(y) * size_t(stride);
      const uint8_t* srow = l.pixels.data() + size_t(y) * size_t(l.stride);
      for (int x = 0; x < l.width; ++x) {
        Rgbq c;
        if (bpp == 32)
          c = GetU32(srow + 4 * size_t(x));
        else
          c = layers_.PictureColour(layers_.LayerIndex(l, x, y));
        d[3 * x] = uint8_t(RgbqB(c));
        d[3 * x + 1] = uint8_t(RgbqG(c));
        d[3 * x + 2] = uint8_t(RgbqR(c));
      }
    }
    l.pixels = std::move(px);
    l.stride = stride;
    l.imageSize = stride * l.height;
  }
  layers_.header.bitsPerPixel = 24;
  layers_.header.paletteColours = 0;
  layers_.header.imageSize = StrideFor(layers_.header.canvasWidth, 24) * layers_.header.canvasHeight;
  layers_.palette.clear();
  return RebuildViewImage();
}

bool CMirvDoc::OnOpenDocument(const std::filesystem::path& path) {
  const std::string ext = path.extension().string();
  if (ext.size() <= 1) return false;
  const int code = ExtensionCode(path);
  if (code < 0) return false;
  const std::string file = path.filename().string();
  if (Utf8ToUtf16(file).size() >= 100) {
    host_.ShowMessage(msg::kNameTooLong);
    return false;
  }
  if (!formats_) {
    host_.ShowMessage(msg::kCannotOpen);
    return false;
  }
  SetName(file);
  path_ = path;

  const auto t0 = std::chrono::steady_clock::now();
  auto image = std::make_unique<CImageBuffer>();
  bool decoded = false;
  if (code <= 4)
    decoded = formats_->LoadPicture(path, code, *image);
  else if (code == 7)
    decoded = formats_->ImportPsd(path, *image);
  loadSeconds_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();

  if (code == 5) {
    std::string message;
    if (!formats_->ReadNative(*this, path, message)) {
      if (!message.empty()) host_.ShowMessage(message);
      return false;
    }
    if (!RebuildViewImage()) {
      // A bottom layer larger than the canvas has no picture of the canvas size
      // to show yet; the view image only needs the canvas geometry then.
      view_ = std::make_unique<CImageBuffer>(kFormatVlm);
      view_->Allocate(layers_.header.canvasWidth, layers_.header.canvasHeight, 24, kFormatVlm);
    }
    view_->SetFormatType(kFormatVlm);
    AfterOpen();
    return true;
  }
  if (code == 6) {
    // Measurement documents arrive with the measurement tools.
    host_.ShowFailure(msg::kCannotOpen, path, "Unsupported operation for this format");
    return false;
  }
  if (!decoded || !image->IsValid()) {
    host_.ShowFailure(msg::kCannotOpen, path, image->LastError());
    return false;
  }
  view_ = std::move(image);
  openedBpp_ = view_->Bpp();
  if (view_->Bpp() == 32) view_->Convert32To24();
  if (!BuildFromViewImage(file)) {
    view_ = std::make_unique<CImageBuffer>();
    return false;
  }
  AfterOpen();
  return true;
}

bool CMirvDoc::OpenImage(std::unique_ptr<CImageBuffer> image, const std::string& name) {
  if (!image || !image->IsValid() || image->Width() < 1 || image->Height() < 1) {
    host_.ShowMessage(msg::kEmptyImage);
    return false;
  }
  view_ = std::move(image);
  openedBpp_ = view_->Bpp();
  if (view_->Bpp() == 32) view_->Convert32To24();
  SetName(name);
  if (!BuildFromViewImage(name)) {
    view_ = std::make_unique<CImageBuffer>();
    return false;
  }
  AfterOpen();
  return true;
}

bool CMirvDoc::OpenRecovered(LayerStack&& layers, const std::string& name, const std::filesystem::path& path,
                             int viewFormat) {
  if (!layers.Used(layers.bottom)) {
    host_.ShowMessage(msg::kEmptyImage);
    return false;
  }
  const int active = layers.active;
  layers_ = std::move(layers);
  SetName(name);
  path_ = path;
  view_ = std::make_unique<CImageBuffer>(viewFormat);
  if (!RebuildViewImage()) {
    // As for a layered file: a bottom layer off the canvas leaves only the canvas
    // geometry for the view image.
    view_ = std::make_unique<CImageBuffer>(viewFormat);
    if (!view_->Allocate(layers_.header.canvasWidth, layers_.header.canvasHeight, 24, viewFormat)) {
      host_.ShowMessage(msg::kEmptyImage);
      return false;
    }
  }
  view_->SetFormatType(viewFormat);
  openedBpp_ = layers_.header.bitsPerPixel;
  AfterOpen();
  if (layers_.Used(active) && active != layers_.active) {
    layers_.active = active;
    layers_.ResetSelection(active);
    layers_.selectionExists = false;
  }
  // Nothing of it is saved anywhere but in the dead program's history.
  SetModified(true);
  return true;
}

std::string CMirvDoc::ProposeSaveName() const {
  std::string base = !path_.empty() ? path_.string() : name_;
  if (base.find_first_of("#%;/\\") != std::string::npos && path_.empty()) base = "UntitledImage";
  std::filesystem::path p(base);
  const char* ext = ".bmp";
  switch (view_ ? view_->FormatType() : kFormatBmp) {
    case kFormatJpeg: ext = ".jpg"; break;
    case kFormatGif: ext = ".gif"; break;
    case kFormatTiff: ext = ".tif"; break;
    case kFormatVlm: ext = ".vlm"; break;
    default: break;
  }
  p.replace_extension(ext);
  return p.string();
}

bool CMirvDoc::OnSaveDocument(const std::filesystem::path& path) {
  if (path.extension().string().size() <= 1) return false;
  const int code = ExtensionCode(path);
  const bool hadSelection = layers_.selectionExists;
  const std::string file = path.filename().string();
  auto fail = [&](const std::string& why) {
    host_.ShowFailure(Format(UiText(msg::kSaveFailed), file.c_str()), path, why);
    return false;
  };
  if (!formats_) return fail("");
  if (code == 5) {
    std::string message, reason;
    if (!formats_->WriteNative(*this, path, message, reason)) {
      host_.ShowFailure(message.empty() ? Format(UiText(msg::kSaveFailed), file.c_str()) : message, path, reason);
      return false;
    }
  } else if (code >= 0 && code <= 3) {
    if (!SaveFlattened(path, code, fail)) return false;
  } else {
    // PCX and PSD are read-only; measurement files come with their own tools.
    return fail("Unsupported operation for this format");
  }
  layers_.selectionExists = hadSelection;
  path_ = path;
  SetName(file);
  modified_ = false;
  host_.RefreshHistoryPanel(*this);
  RefreshTitle(titleText_);
  return true;
}

// A picture file holds one flattened layer, so saving merges the layers, and a GIF
// also takes the picture down to 256 colours. The file is written before any of
// that becomes part of the document: the merge runs with the history paused, and a
// write that fails puts back every layer, the picture and the selection, with no
// step recorded. Only a written file leaves the "떡그림" step behind.
bool CMirvDoc::SaveFlattened(const std::filesystem::path& path, int code,
                             const std::function<bool(const std::string&)>& fail) {
  struct Snapshot {
    LayerStack layers;
    std::unique_ptr<CImageBuffer> view;
  };
  // A lone opaque layer that the picture already shows flattens to itself; only
  // the selection changes then, so the whole-document copy is skipped.
  const bool inPlace = code != 2 && layers_.LayerCount() == 1 && IsOwnComposition(layers_.bottom) && viewIsBottom_;
  Snapshot snap;
  Plane mask;
  const int32_t maskGeometry[4] = {layers_.maskWidth, layers_.maskHeight, layers_.maskX, layers_.maskY};
  const bool hadSelection = layers_.selectionExists, wasModified = modified_, wasViewBottom = viewIsBottom_;
  const int viewFormat = view_->FormatType();
  try {
    if (inPlace) {
      mask = layers_.mask;
    } else {
      snap.layers = layers_;
      snap.view = std::make_unique<CImageBuffer>();
      if (view_->IsValid() && !snap.view->ShareFrom(*view_)) return fail("");
    }
  } catch (const std::bad_alloc&) {
    return fail("Not enough memory");
  }
  auto restore = [&] {
    if (inPlace) {
      layers_.mask = std::move(mask);
      view_->SetFormatType(viewFormat);
    } else {
      layers_ = std::move(snap.layers);
      if (snap.view) view_ = std::move(snap.view);
    }
    layers_.maskWidth = maskGeometry[0], layers_.maskHeight = maskGeometry[1];
    layers_.maskX = maskGeometry[2], layers_.maskY = maskGeometry[3];
    layers_.selectionExists = hadSelection;
    modified_ = wasModified;
    LayersChanged();
    viewIsBottom_ = wasViewBottom;
  };

  const bool history = historyEnabled_;
  historyEnabled_ = false;
  std::string why;
  bool ok = Flatten();
  if (ok && code == 2 && layers_.header.bitsPerPixel > 8) {
    ok = formats_->ReduceTo8Bit(*this) && RebuildViewImage();
    if (!ok) {
      historyEnabled_ = history;
      restore();
      host_.ShowMessage(msg::kConvertFailed);
      return false;
    }
  }
  // Flatten has just rebuilt the view image from the bottom layer.
  const Layer* b = layers_.Get(layers_.bottom);
  ok = ok && b && view_->IsValid() && size_t(b->imageSize) == view_->ImageSize();
  if (ok) {
    view_->SetFormatType(code);
    ok = formats_->SavePicture(path, code, *view_);
    if (!ok) why = view_->LastError();
  }
  historyEnabled_ = history;
  if (!ok) {
    restore();
    return fail(why);
  }
  RecordStep(label::kFlatten, kStepFlatten, layers_.bottom);
  return true;
}

// ---------------------------------------------------------------- commands

bool CMirvDoc::RefuseText(TextRule rule) {
  const Layer* a = layers_.Active();
  switch (rule) {
    case TextRule::Allow: return false;
    case TextRule::Active:
      if (a && a->kind == kLayerText) {
        host_.ShowMessage(msg::kTextActive);
        return true;
      }
      return false;
    case TextRule::ActiveOnly:
      if (a && a->kind == kLayerText) {
        host_.ShowMessage(msg::kTextActiveOnly);
        return true;
      }
      return false;
    case TextRule::AllLayers:
      for (int s : layers_.Chain())
        if (layers_.slots[s].kind == kLayerText) {
          host_.ShowMessage(msg::kTextInAll);
          return true;
        }
      return false;
  }
  return false;
}

bool CMirvDoc::BeginEdit(TextRule rule, bool backup) {
  if (busy_ || !layers_.Active()) return false;
  if (RefuseText(rule)) return false;
  RevertLayer(layers_.active, false);
  if (backup) layers_.BackupLayer(layers_.active);
  return true;
}

void CMirvDoc::EndEdit(const std::string& label, int kind, int slot, bool restore) {
  if (restore) layers_.RestoreLayer(slot == -1 ? layers_.active : slot);
  SetCompositionStale(true);
  host_.UpdateViews(*this, 0);
  RecordStep(label, kind, slot);
}

bool CMirvDoc::RunEdit(TextRule rule, bool backup, const std::string& label, int kind,
                       const std::function<bool(LayerStack&, Layer&)>& change) {
  if (!BeginEdit(rule, backup)) return false;
  if (!change(layers_, *layers_.Active())) {
    RevertLayer(layers_.active, true);
    return false;
  }
  EndEdit(label, kind, -1, backup);
  return true;
}

// ---------------------------------------------------------------- layers

bool CMirvDoc::InsertLayer(int after, int slot) {
  int inserted = -1;
  switch (layers_.InsertLayer(after, slot, &inserted)) {
    case InsertResult::Ok: break;
    case InsertResult::Full: host_.ShowMessage(msg::kTooManyLayers); return false;
    default: return false;
  }
  SetCompositionStale(true);
  host_.RefreshLayerPanel(*this);
  RefreshTitle(Utf16ToUtf8(layers_.slots[inserted].name.Get()));
  return true;
}

bool CMirvDoc::AddLayer() {
  if (busy_ || !layers_.Active()) return false;
  RevertLayer(layers_.active, false);
  if (!InsertLayer(layers_.active)) return false;
  RecordStep(label::kAdd, kStepAdd, layers_.active);
  host_.UpdateViews(*this, 0);
  return true;
}

bool CMirvDoc::DeleteLayer(int slot, bool recordHistory) {
  if (busy_ || !layers_.Used(slot)) return false;
  if (layers_.LayerCount() <= 1) {
    host_.ShowMessage(msg::kOnlyOneLayer);
    return false;
  }
  RevertLayer(slot, false);
  const int next = layers_.UnlinkLayer(slot);
  layers_.active = next;
  layers_.ResetSelection(next);
  if (recordHistory && !selectionMove_) RecordStep(label::kDelete, kStepDelete, slot);
  layers_.slots[slot].FreeBuffers();
  LayersChanged();
  RefreshTitle(Utf16ToUtf8(layers_.slots[next].name.Get()));
  return true;
}

bool CMirvDoc::SetActiveLayer(int slot) {
  if (slot == -1) return false;
  const Layer* l = layers_.Get(slot);
  if (!l) return false;
  if (l->kind == kLayerText && layers_.selectionExists) {
    host_.ShowMessage(msg::kTextActive);
    return false;
  }
  // Another layer chosen while a selection is afloat: the selection goes down first,
  // so that nothing moves on a layer the move tool no longer holds.
  if (selectionMove_ && l->kind != kLayerFloating && layers_.FindLayerOfKind(kLayerFloating) >= 0) {
    PutDownSelection();
    if (!layers_.Used(slot)) return false;
  }
  RevertLayer(layers_.active, false);
  layers_.active = slot;
  if (!layers_.selectionExists) layers_.ResetSelection(slot);
  if (selectionMove_ && l->partner != -1 && layers_.Used(l->partner)) Merge(l->partner);
  host_.RefreshLayerPanel(*this);
  RefreshTitle(Utf16ToUtf8(layers_.slots[layers_.active].name.Get()));
  return true;
}

bool CMirvDoc::MergeDown() {
  const Layer* a = layers_.Active();
  if (!a || !layers_.Used(a->above)) return false;
  return Merge(layers_.active);
}

bool CMirvDoc::MergeUp() {
  const Layer* a = layers_.Active();
  if (!a || !layers_.Used(a->below)) return false;
  return Merge(a->below);
}

// Writes a 1:1 composition into a slot, which takes the canvas size at (0, 0).
bool CMirvDoc::WriteComposedInto(int slot, const std::vector<uint8_t>& composed) {
  Layer* l = layers_.Get(slot);
  if (!l) return false;
  const int cw = layers_.header.canvasWidth, ch = layers_.header.canvasHeight;
  const int bpp = layers_.header.bitsPerPixel;
  const int32_t stride = StrideFor(cw, bpp);
  try {
    l->pixels.assign(size_t(stride) * size_t(ch), 255);
    l->alpha.assign(size_t(cw) * size_t(ch), 0);
    l->effect.assign(size_t(cw) * size_t(ch), 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  l->width = cw;
  l->height = ch;
  l->x = l->y = 0;
  l->stride = stride;
  l->imageSize = stride * ch;
  l->pixelCount = cw * ch;
  if (l->kind == kLayerText) l->kind = kLayerRaster;
  for (int y = 0; y < ch; ++y) {
    const uint8_t* s = composed.data() + size_t(y) * size_t(cw) * 4;
    uint8_t* d = l->pixels.data() + size_t(y) * size_t(stride);
    uint8_t* a = l->alpha.data() + size_t(y) * size_t(cw);
    for (int x = 0; x < cw; ++x) {
      const uint8_t* p = s + 4 * size_t(x);
      a[x] = p[3];
      if (bpp >= 24) {
        uint8_t* q = d + size_t(x) * size_t(bpp / 8);
        q[0] = p[0], q[1] = p[1], q[2] = p[2];
      } else {
        PutRowIndex(d, bpp == 8 || bpp == 4 ? bpp : 1, x, layers_.NearestPaletteIndex(MakeRgbq(p[2], p[1], p[0])));
      }
    }
  }
  l->dirty = 1;
  return true;
}

bool CMirvDoc::Merge(int startSlot) {
  if (busy_) return false;
  Layer* lower = layers_.Get(startSlot);
  if (!lower || !layers_.Used(lower->above)) return false;
  const int upper = lower->above;
  if (lower->kind == kLayerText || layers_.slots[upper].kind == kLayerText) {
    host_.ShowMessage(msg::kMergeText);
    return false;
  }
  RevertLayer(startSlot, false);
  RevertLayer(upper, false);
  std::vector<uint8_t> composed;
  ComposeRange range{startSlot, 2};
  // A shadow merged into the pixels must be the one the user sees now.
  RefreshLayerEffects(layers_);
  if (!ComposeCanvas(layers_, range, composed) || !WriteComposedInto(startSlot, composed)) return false;
  layers_.UnlinkLayer(upper);
  layers_.slots[upper].FreeBuffers();
  layers_.active = startSlot;
  layers_.ResetSelection(startSlot);
  if (selectionMove_) {
    selectionMove_ = false;
    RecordStep(label::kSelectionMove, kStepPixels, startSlot);
  }
  RecordStep(label::kMerge, kStepMerge, startSlot);
  LayersChanged();
  return true;
}

bool CMirvDoc::Flatten() {
  if (busy_) return false;
  const int start = layers_.bottom;
  if (!layers_.Used(start)) return false;
  for (int s : layers_.Chain()) RevertLayer(s, false);
  const bool unchanged = IsOwnComposition(start);
  const bool viewCurrent = unchanged && viewIsBottom_;
  if (!unchanged) {
    std::vector<uint8_t> composed;
    // Saving flattens: a stale shadow would end up in the written picture.
    RefreshLayerEffects(layers_);
    if (!ComposeCanvas(layers_, ComposeRange{start, kMaxLayers}, composed)) return false;
    if (!WriteComposedInto(start, composed)) return false;
  }
  for (int s : layers_.Chain()) {
    if (s == start) continue;
    layers_.slots[s].inUse = 0;
    layers_.slots[s].FreeBuffers();
  }
  Layer& b = layers_.slots[start];
  b.above = b.below = -1;
  layers_.bottom = layers_.active = start;
  layers_.ResetSelection(start);
  layers_.selectionExists = false;
  RecordStep(label::kFlatten, kStepFlatten, start);
  if (!viewCurrent && !RebuildViewImage()) host_.ShowMessage(msg::kConvertFailed);
  if (viewCurrent) viewIsBottom_ = true;
  const bool rebuilt = viewIsBottom_;
  LayersChanged();
  viewIsBottom_ = viewCurrent || rebuilt;
  return true;
}

// True when composing the stack would give back `slot` unchanged: it is the only
// layer, shown, at the canvas geometry, fully opaque and fully covering. Flattening a
// freshly opened picture then needs no composition at all.
bool CMirvDoc::IsOwnComposition(int slot) const {
  const Layer* l = layers_.Get(slot);
  if (!l || layers_.LayerCount() != 1 || l->visible != 1 || l->transparency != 0 || l->kind == kLayerText) return false;
  if (l->x != 0 || l->y != 0 || l->width != layers_.header.canvasWidth || l->height != layers_.header.canvasHeight)
    return false;
  if (layers_.header.bitsPerPixel < 24) return false;
  return l->alpha.AllEqual(255);
}

bool CMirvDoc::RebuildViewImage() {
  const Layer* b = layers_.Get(layers_.bottom);
  if (!b) return false;
  const int cw = layers_.header.canvasWidth, ch = layers_.header.canvasHeight;
  if (view_ && view_->IsValid() && view_->Width() == cw && view_->Height() == ch &&
      view_->Bpp() == layers_.header.bitsPerPixel && b->kind != kLayerText && b->width == cw && b->height == ch &&
      size_t(b->imageSize) == view_->ImageSize()) {
    // Same geometry: the picture reads the layer's own block (shared until either
    // side is written).
    b->pixels.data();
    if (!view_->SharePixels(b->pixels.Block())) std::memcpy(view_->Pixels(), b->pixels.data(), view_->ImageSize());
    if (!layers_.palette.empty()) view_->LoadPalette(layers_.palette.data(), int(layers_.palette.size() / 4));
    viewIsBottom_ = true;
    return true;
  }
  auto img = std::make_unique<CImageBuffer>(view_ ? view_->FormatType() : kFormatBmp);
  if (view_) {
    img->Ext().jpegQuality = view_->Ext().jpegQuality;
    img->SetResolution(view_->Ext().xDpi, view_->Ext().yDpi);
  }
  const int format = view_ ? view_->FormatType() : kFormatBmp;
  if (b->kind == kLayerText || b->width != cw || b->height != ch ||
      int64_t(b->imageSize) != int64_t(StrideFor(cw, layers_.header.bitsPerPixel)) * ch)
    return false;
  b->pixels.data();
  if (!img->AllocateSharing(cw, ch, layers_.header.bitsPerPixel, format, b->pixels.Block())) return false;
  if (size_t(b->imageSize) != img->ImageSize()) return false;
  if (!layers_.palette.empty()) img->LoadPalette(layers_.palette.data(), int(layers_.palette.size() / 4));
  if (view_) {
    img->Ext().transparentColour = view_->Ext().transparentColour;
    img->Ext().transparentIndex = img->Bpp() <= 8 ? view_->Ext().transparentIndex : -1;
  }
  view_ = std::move(img);
  viewIsBottom_ = true;
  return true;
}

bool CMirvDoc::RenameLayer() {
  Layer* l = layers_.Active();
  if (!l || busy_) return false;
  std::string name = Utf16ToUtf8(l->name.Get());
  if (!host_.AskText(label::kRename, name)) return false;
  return RenameLayer(layers_.active, name);
}

bool CMirvDoc::RenameLayer(int slot, const std::string& name) {
  Layer* l = layers_.Get(slot);
  if (!l || busy_) return false;
  l->name.Set(Utf8ToUtf16(name));
  CommitLayer(slot);
  modified_ = true;
  host_.RefreshLayerPanel(*this);
  RefreshTitle(name);
  return true;
}

bool CMirvDoc::PropertyChanged(int slot, bool commit) {
  if (commit) CommitLayer(slot);
  SetModified(true);
  SetCompositionStale(true);
  host_.UpdateViews(*this, 0);
  return true;
}

bool CMirvDoc::SetLayerTransparency(int slot, int value, bool commit) {
  Layer* l = layers_.Get(slot);
  if (!l || busy_ || value < 0 || value > 255) return false;
  l->transparency = uint8_t(value);
  return PropertyChanged(slot, commit);
}

bool CMirvDoc::SetLayerBlend(int slot, int mode) {
  Layer* l = layers_.Get(slot);
  const bool known = mode == kBlendNormal || (mode >= kBlendMultiply && mode <= kBlendOverlay);
  if (!l || busy_ || !known) return false;
  l->blend = uint8_t(mode);
  return PropertyChanged(slot, true);
}

bool CMirvDoc::SetLayerVisible(int slot, bool visible) {
  Layer* l = layers_.Get(slot);
  if (!l || busy_) return false;
  l->visible = visible ? 1 : 0;
  return PropertyChanged(slot, true);
}

bool CMirvDoc::ConvertToRaster() {
  Layer* l = layers_.Active();
  if (!l || l->kind != kLayerText || busy_) return false;
  RevertLayer(layers_.active, false);
  if (!layers_.ConvertTextToRaster(layers_.active)) return false;
  RecordStep(label::kToRaster, kStepPixels, layers_.active);
  LayersChanged();
  return true;
}

bool CMirvDoc::MoveLayer(int slot, bool up) {
  Layer* l = layers_.Get(slot);
  if (!l || busy_) return false;
  const int other = up ? l->above : l->below;
  if (!layers_.Used(other)) return false;
  // Swap the two neighbours in the list: lower, upper.
  const int lower = up ? slot : other, upper = up ? other : slot;
  Layer& lo = layers_.slots[lower];
  Layer& hi = layers_.slots[upper];
  const int below = lo.below, above = hi.above;
  if (layers_.Used(below)) layers_.slots[below].above = int16_t(upper); else layers_.bottom = upper;
  if (layers_.Used(above)) layers_.slots[above].below = int16_t(lower);
  hi.below = int16_t(below);
  hi.above = int16_t(lower);
  lo.below = int16_t(upper);
  lo.above = int16_t(above);
  RecordStep(label::kLayerMove, kStepMove, slot);
  LayersChanged();
  return true;
}

bool CMirvDoc::ColourTo8Bit() {
  if (busy_ || !formats_ || layers_.header.bitsPerPixel <= 8) return false;
  if (!formats_->ReduceTo8Bit(*this)) return false;
  // No step is recorded, but the converted layers are the committed state now: the
  // next edit starts by reverting to it and must not bring back the 24-bit layers.
  for (int s : layers_.Chain()) CommitLayer(s);
  if (!RebuildViewImage()) {
    host_.ShowMessage(msg::kConvertFailed);
    return false;
  }
  modified_ = true;
  LayersChanged();
  return true;
}

// ---------------------------------------------------------------- clipboard

// The active layer (or the selected box of it) as a packed DIB. 24-bit pictures give
// a 32-bit DIB carrying the transparency in the fourth byte (marker −2); paletted
// pictures and selections keep the picture's depth and leave the transparency in
// FrameState (marker −3).
std::vector<uint8_t> CMirvDoc::BuildClipboardDib(bool* ok) {
  *ok = false;
  const Layer* l = layers_.Active();
  if (!l) return {};
  const bool text = l->kind == kLayerText;
  const int bpp = layers_.header.bitsPerPixel;
  int x0 = 0, y0 = 0, x1 = l->width - 1, y1 = l->height - 1;
  const bool sel = layers_.selectionExists;
  if (sel) {
    x0 = l->width, y0 = l->height, x1 = -1, y1 = -1;
    for (int y = 0; y < l->height; ++y)
      for (int x = 0; x < l->width; ++x)
        if (layers_.InSelection(x, y)) {
          x0 = std::min(x0, x), x1 = std::max(x1, x);
          y0 = std::min(y0, y), y1 = std::max(y1, y);
        }
    if (x1 < x0) return {};
  }
  const int w = x1 - x0 + 1, h = y1 - y0 + 1;
  const bool as32 = !sel && (bpp >= 24 || text);
  CImageBuffer img;
  if (!img.Allocate(w, h, as32 ? 32 : (text ? 24 : bpp), kFormatBmp)) return {};
  if (!layers_.palette.empty() && img.Bpp() <= 8)
    img.LoadPalette(layers_.palette.data(), int(layers_.palette.size() / 4));
  std::vector<uint8_t> alpha(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int lx = x0 + x, ly = y0 + y;
      uint8_t a = layers_.slots[layers_.active].alpha[size_t(lx) + size_t(ly) * size_t(l->width)];
      if (sel && !layers_.InSelection(lx, ly)) a = 0;
      alpha[size_t(x) + size_t(y) * size_t(w)] = a;
      if (img.Bpp() <= 8) {
        img.WriteIndex(x, y, layers_.LayerIndex(*l, lx, ly));
      } else {
        const Rgbq c = layers_.ReadLayerColor(layers_.active, lx, ly, view_.get());
        uint8_t* p = img.Row(y) + size_t(x) * size_t(img.Bpp() / 8);
        p[0] = uint8_t(RgbqB(c)), p[1] = uint8_t(RgbqG(c)), p[2] = uint8_t(RgbqR(c));
        if (as32) p[3] = a;
      }
    }
  }
  if (sel && frame_.borderSpread > 0) {
    // A soft edge: the copy fades out toward the selection's border exactly as much
    // as a cut leaves behind there, so cutting and pasting back restores the picture.
    const BorderSpreadMap depth(layers_, frame_.borderSpread);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint8_t& a = alpha[size_t(x) + size_t(y) * size_t(w)];
        if (a) a = uint8_t(a * depth.Depth(x0 + x, y0 + y) / 255);
      }
  }
  img.SetXPelsPerMeter(as32 ? -2 : -3);
  if (!as32) {
    frame_.copiedAlpha = std::move(alpha);
  } else {
    frame_.copiedAlpha.clear();
  }
  frame_.copiedWidth = w;
  frame_.copiedHeight = h;
  *ok = true;
  return img.ToGlobalMemory();
}

bool CMirvDoc::CopyToClipboard() {
  const Layer* l = layers_.Active();
  if (!l || busy_) return false;
  if (l->kind == kLayerMeasure) {
    host_.ShowMessage(msg::kVectorCopy);
    return false;
  }
  busy_ = true;
  bool ok = false;
  std::vector<uint8_t> dib = BuildClipboardDib(&ok);
  busy_ = false;
  return ok && host_.PutClipboard(dib);
}

bool CMirvDoc::PasteFromClipboard(int duplicateOf) {
  if (busy_) return false;
  // A lifted selection goes down first, so the paste is a step of its own.
  if (selectionMove_ && duplicateOf < 0 && layers_.FindLayerOfKind(kLayerFloating) >= 0) PutDownSelection();
  std::vector<uint8_t> dib;
  if (duplicateOf >= 0) {
    bool ok = false;
    const int keepActive = layers_.active;
    layers_.active = duplicateOf;
    dib = BuildClipboardDib(&ok);
    layers_.active = keepActive;
    if (!ok) return false;
  } else if (!host_.GetClipboard(dib)) {
    return false;
  }
  CImageBuffer clip;
  if (!clip.FromGlobalMemory(dib.data(), dib.size())) return false;
  const int32_t marker = clip.Header().xPelsPerMeter;
  const bool floating = selectionMove_ && duplicateOf < 0;
  busy_ = true;

  const int after = floating ? layers_.active : layers_.TopLayer();
  int slot = -1;
  const int partner = layers_.active;
  const InsertResult ir = layers_.InsertLayer(after, -1, &slot);
  if (ir != InsertResult::Ok) {
    busy_ = false;
    if (ir == InsertResult::Full) host_.ShowMessage(msg::kTooManyLayers);
    return false;
  }
  Layer& l = layers_.slots[slot];
  const Layer* src = duplicateOf >= 0 ? layers_.Get(duplicateOf) : nullptr;
  LayerAlloc a;
  a.bitsPerPixel = layers_.header.bitsPerPixel;
  a.paletteColours = layers_.header.paletteColours;
  a.canvasWidth = layers_.header.canvasWidth;
  a.canvasHeight = layers_.header.canvasHeight;
  a.width = clip.Width();
  a.height = clip.Height();
  a.kind = src ? int(src->kind) : int(kLayerRaster);
  if (floating && !layers_.Used(layers_.FindLayerOfKind(kLayerFloating))) {
    const Layer* act = layers_.Get(partner);
    a.kind = kLayerFloating;
    a.width = act ? act->width : a.width;
    a.height = act ? act->height : a.height;
    a.centre = true;
    a.partner = partner;
  }
  a.dirty = 1;
  if (!layers_.AllocateLayer(slot, a)) {
    layers_.UnlinkLayer(slot);
    layers_.slots[slot].FreeBuffers();
    layers_.active = partner;
    busy_ = false;
    return false;
  }
  std::fill(l.alpha.begin(), l.alpha.end(), 0);
  // The pasted picture lands at the top-left of the layer as the user sees it.
  const int rowOffset = l.height - clip.Height();
  const bool useCopiedAlpha = marker == -3 && frame_.copiedWidth == clip.Width() &&
                              frame_.copiedHeight == clip.Height() &&
                              frame_.copiedAlpha.size() == size_t(clip.Width()) * size_t(clip.Height());
  for (int y = 0; y < clip.Height(); ++y) {
    const int ly = y + rowOffset;
    for (int x = 0; x < clip.Width(); ++x) {
      uint8_t alpha = 255;
      if (clip.Bpp() == 32 && marker == -2)
        alpha = clip.Row(y)[4 * size_t(x) + 3];
      else if (useCopiedAlpha)
        alpha = frame_.copiedAlpha[size_t(x) + size_t(y) * size_t(clip.Width())];
      const size_t ai = size_t(x) + size_t(ly) * size_t(l.width);
      l.alpha[ai] = alpha;
      if (l.kind == kLayerText) continue;
      if (layers_.header.bitsPerPixel <= 8 && clip.Bpp() <= 8) {
        PutRowIndex(l.pixels.data() + size_t(ly) * size_t(l.stride), layers_.header.bitsPerPixel, x,
                    clip.ReadIndex(x, y));
      } else if (layers_.header.bitsPerPixel <= 8) {
        // A colour picture pasted into a palette picture takes the nearest entries.
        PutRowIndex(l.pixels.data() + size_t(ly) * size_t(l.stride), layers_.header.bitsPerPixel, x,
                    layers_.NearestPaletteIndex(clip.ReadColor(x, y)));
      } else {
        const Rgbq c = clip.ReadColor(x, y);
        uint8_t* p = l.pixels.data() + size_t(ly) * size_t(l.stride) + size_t(x) * size_t(layers_.header.bitsPerPixel / 8);
        p[0] = uint8_t(RgbqB(c)), p[1] = uint8_t(RgbqG(c)), p[2] = uint8_t(RgbqR(c));
      }
    }
  }
  if (src) {
    l.name = src->name;
    l.blend = src->blend;
    l.transparency = src->transparency;
    if (src->kind == kLayerText) {
      // Text layers keep their glyph coverage and their text.
      l.textColour = src->textColour;
      l.text = src->text;
      l.textLength = src->textLength;
      l.textBuffer = src->textBuffer;
      if (src->alpha.size() == l.alpha.size()) l.alpha = src->alpha;
    }
  }
  l.effectOn = 0;
  layers_.active = slot;
  layers_.ResetSelection(slot);
  layers_.selectionExists = false;
  busy_ = false;
  if (!floating) RecordStep(duplicateOf >= 0 ? label::kDuplicate : label::kPaste, kStepPaste, slot);
  LayersChanged();
  return true;
}

bool CMirvDoc::PointSelected(int px, int py) const {
  if (!layers_.selectionExists) return false;
  const int mx = px - layers_.maskX;
  const int my = layers_.maskY + layers_.header.canvasHeight - py - 1;
  return layers_.InSelection(mx, my) != 0;
}

bool CMirvDoc::LiftSelection() {
  if (busy_ || selectionMove_ || !layers_.selectionExists) return false;
  const int source = layers_.active;
  Layer* src = layers_.Get(source);
  if (!src || src->kind == kLayerText || src->kind == kLayerMeasure || src->kind == kLayerFloating) return false;
  RevertLayer(source, false);
  // Which of the layer's pixels the selection covers (the mask may lie elsewhere
  // when the layer moved after the selection was made).
  const int w = src->width, h = src->height;
  std::vector<uint8_t> covered(size_t(w) * size_t(h), 0);
  bool any = false;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const size_t i = size_t(x) + size_t(y) * size_t(w);
      if (layers_.InSelection(x + src->x - layers_.maskX, y - src->y + layers_.maskY) && src->alpha[i]) {
        covered[i] = 1;
        any = true;
      }
    }
  if (!any) return false;

  busy_ = true;
  int slot = -1;
  const InsertResult ir = layers_.InsertLayer(source, -1, &slot);
  if (ir != InsertResult::Ok) {
    busy_ = false;
    if (ir == InsertResult::Full) host_.ShowMessage(msg::kTooManyLayers);
    return false;
  }
  src = &layers_.slots[source];  // the slot array does not move, but stay explicit
  LayerAlloc a;
  a.bitsPerPixel = layers_.header.bitsPerPixel;
  a.paletteColours = layers_.header.paletteColours;
  a.canvasWidth = layers_.header.canvasWidth;
  a.canvasHeight = layers_.header.canvasHeight;
  a.x = src->x;
  a.y = src->y;
  a.width = w;
  a.height = h;
  a.kind = kLayerFloating;
  a.partner = source;
  a.dirty = 1;
  a.initialPixels = src->pixels.data();
  a.initialBytes = src->pixels.size();
  Layer& f = layers_.slots[slot];
  if (!layers_.AllocateLayer(slot, a) || f.width != w || f.height != h) {
    layers_.UnlinkLayer(slot);
    layers_.slots[slot].FreeBuffers();
    layers_.active = source;
    busy_ = false;
    return false;
  }
  // The floating layer looks exactly like the part it came from, so that putting it
  // down unmoved gives back the picture as it was.
  f.name.Set(Utf8ToUtf16(UiText("선택영역")));
  f.blend = src->blend;
  f.transparency = src->transparency;
  for (size_t i = 0; i < covered.size(); ++i) {
    f.alpha[i] = covered[i] ? src->alpha[i] : 0;
    if (covered[i]) src->alpha[i] = 0;
  }
  src->dirty = 1;
  layers_.active = slot;
  selectionMove_ = true;
  busy_ = false;
  // Both layers are committed: the merge reverts each before composing.
  CommitLayer(source);
  CommitLayer(slot);
  SetModified(true);
  LayersChanged();
  return true;
}

bool CMirvDoc::PutDownSelection() {
  if (!selectionMove_) return false;
  const Layer* f = layers_.Get(layers_.FindLayerOfKind(kLayerFloating));
  const int floating = f ? layers_.FindLayerOfKind(kLayerFloating) : -1;
  if (!f || !layers_.Used(f->partner) || layers_.slots[f->partner].above != floating) {
    selectionMove_ = false;
    return false;
  }
  const int partner = f->partner;
  CommitLayer(floating);
  if (!Merge(partner)) return false;  // the selection stays afloat; nothing is lost
  layers_.selectionExists = false;
  return true;
}

bool CMirvDoc::Cut() {
  if (!BeginEdit(TextRule::Active, false)) return false;
  if (!CopyToClipboard()) return false;
  CutWithBorderSpread(layers_, layers_.active, frame_.borderSpread);
  EndEdit(label::kCut, kStepPixels, -1, false);
  return true;
}

bool CMirvDoc::CutToNew() {
  if (!layers_.selectionExists) {
    host_.ShowMessage(msg::kSelectFirst);
    return false;
  }
  if (!CopyToClipboard()) return false;
  std::vector<uint8_t> dib;
  if (!host_.GetClipboard(dib) || dib.size() < 40) return false;
  const int32_t w = GetI32(dib.data() + 4);
  const int32_t h = std::abs(GetI32(dib.data() + 8));
  if (w < 1 || h < 1 || w > 4000 || h > 4000) return false;
  CMirvDoc* doc = host_.NewDocument(w, h, layers_.header.bitsPerPixel, UiText("이름없음"));
  if (!doc) return false;
  if (!doc->PasteFromClipboard()) return false;
  if (Layer* pasted = doc->Layers().Active()) pasted->kind = kLayerBackground;
  return true;
}

bool CMirvDoc::DuplicateDocument() {
  if (!layers_.Active()) return false;
  if (!CopyToClipboard()) return false;
  const int n = ++frame_.copyCounter;
  std::u16string title = Utf8ToUtf16(Format(UiText("복사%d_%s"), n, Utf16ToUtf8(layers_.header.title.Get()).c_str()));
  if (title.size() > 100) title.resize(100);
  const std::string name = Utf16ToUtf8(title);
  CMirvDoc* doc = host_.NewDocument(layers_.header.canvasWidth, layers_.header.canvasHeight,
                                    layers_.header.bitsPerPixel, name);
  if (!doc) return false;
  doc->SetName(name);
  doc->Layers().header.title.Set(title);
  return doc->PasteFromClipboard();
}

bool CMirvDoc::DuplicateLayer() {
  if (busy_ || !layers_.Active()) return false;
  if (layers_.header.bitsPerPixel < 24) {
    host_.ShowMessage(msg::kRgbOnly);
    return false;
  }
  if (layers_.Active()->kind == kLayerMeasure) {
    host_.ShowMessage(msg::kVectorCopy);
    return false;
  }
  return PasteFromClipboard(layers_.active);
}

bool CMirvDoc::AlphaCommand(int id) {
  if (busy_ || !view_) return false;
  ExtendedInfo& e = view_->Ext();
  const char* lbl = nullptr;
  switch (id) {
    case cmd::kRemoveTransparency: e.transparentIndex = -1; lbl = "Removetransparency"; break;
    case cmd::kRemoveAlphaChannel: e.alphaMax = 255; lbl = "Removealphachannel"; break;
    case cmd::kInvertAlpha: lbl = "Invetalpha"; break;
    case cmd::kToggleAlphaPalette: e.alphaPaletteEnabled = !e.alphaPaletteEnabled; lbl = "Alphapalettetoggle"; break;
    case cmd::kStripAlpha: e.transparentColour = MakeRgbq(255, 255, 255, 0); lbl = "Alphastrip"; break;
    case cmd::kSetTransparency:
      showTransparency_ = !showTransparency_;
      host_.UpdateViews(*this, 0);
      return true;
    default: return false;
  }
  RecordStep(lbl, kStepPixels, -1);
  return true;
}

// ---------------------------------------------------------------- MapToLayer

bool CMirvDoc::MapSegmentToLayer(int ax, int ay, int bx, int by, bool commit, int* lax, int* lay, int* lbx,
                                 int* lby) {
  return MapToLayer(ax, ay, commit, lax, lay) && MapToLayer(bx, by, commit, lbx, lby) &&
         MapToLayer(ax, ay, commit, lax, lay);
}

bool CMirvDoc::MapToLayer(int px, int py, bool commit, int* lx, int* ly) {
  Layer* l = layers_.Active();
  if (!l) return false;
  auto map = [&](int& x, int& y) {
    x = px - l->x;
    y = l->y + layers_.header.canvasHeight - py - 1;
  };
  int x, y;
  map(x, y);
  // A point on the first column or row past the layer also grows it, so that it is
  // never silently dropped.
  if (x < 0 || x >= l->width || y < 0 || y >= l->height) {
    const int dx = x < 0 ? x : (x >= l->width ? x - l->width + 1 : 0);
    const int dy = y < 0 ? y : (y >= l->height ? y - l->height + 1 : 0);
    const Plane oldPx = l->pixels, oldA = l->alpha;
    const Plane oldMask = layers_.mask;
    const int ow = l->width, oh = l->height, ostride = l->stride;
    const int omw = layers_.maskWidth, omh = layers_.maskHeight;
    LayerAlloc a;
    a.bitsPerPixel = layers_.header.bitsPerPixel;
    a.paletteColours = layers_.header.paletteColours;
    a.x = l->x;
    a.y = l->y;
    a.width = dx ? ow + std::abs(dx) + 15 : ow;
    a.height = dy ? oh + std::abs(dy) + 15 : oh;
    a.canvasWidth = layers_.header.canvasWidth;
    a.canvasHeight = layers_.header.canvasHeight;
    a.resetSelection = true;
    a.dirty = l->dirty;
    a.kind = l->kind;
    a.partner = -1;
    if (!layers_.AllocateLayer(layers_.active, a)) return false;
    std::fill(l->pixels.begin(), l->pixels.end(), 0);
    std::fill(l->alpha.begin(), l->alpha.end(), 0);
    const int ox = dx < 0 ? -dx : 0, oy = dy < 0 ? -dy : 0;
    if (dx < 0) l->x -= -dx;
    if (dy < 0) l->y += -dy;
    layers_.maskX = l->x;
    layers_.maskY = l->y;
    const int bytesPP = layers_.LayerBpp(*l) / 8;
    for (int r = 0; r < oh; ++r) {
      if (bytesPP > 0)
        std::memcpy(l->pixels.data() + size_t(r + oy) * size_t(l->stride) + size_t(ox) * size_t(bytesPP),
                    oldPx.data() + size_t(r) * size_t(ostride), size_t(ow) * size_t(bytesPP));
      std::memcpy(l->alpha.data() + size_t(r + oy) * size_t(l->width) + size_t(ox),
                  oldA.data() + size_t(r) * size_t(ow), size_t(ow));
    }
    if (omw == ow && omh == oh && oldMask.size() == size_t(ow) * size_t(oh))
      for (int r = 0; r < oh; ++r)
        std::memcpy(layers_.mask.data() + size_t(r + oy) * size_t(l->width) + size_t(ox),
                    oldMask.data() + size_t(r) * size_t(ow), size_t(ow));
    if (commit) CommitLayer(layers_.active);
    SetCompositionStale(true);
    map(x, y);
  }
  *lx = x;
  *ly = y;
  return true;
}

}  // namespace velmira
