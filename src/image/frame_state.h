// FrameState: the program-wide tool state the main frame owns. Plain data in the
// core; documents read it through a reference, the UI writes it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "image/image_buffer.h"
#include "image/ui_text.h"

namespace velmira {

// One named calibration: a reference segment of (refX, refY) pixels is realLength
// units long.
struct CalibrationEntry {
  std::u16string name;
  std::string unit;  // one word, UTF-8
  int32_t refX = 0;
  int32_t refY = 0;
  float realLength = 1.0f;
  bool valid = false;
};

// What the measuring tools read: the active calibration, how labels and marks look,
// and the calibration list with its selected entry.
struct MeasureSettings {
  std::u16string calibrationName;
  std::string unit = "pixel";
  int32_t refX = 1;  // at least 1 each once read from the file
  int32_t refY = 1;
  float realLength = 1.0f;
  int selectedCalibration = -1;
  std::vector<CalibrationEntry> calibrations;  // at most 30
  int decimals = 2;                            // 1 or 2
  bool labels = true;
  std::string labelFont = "Noto Sans CJK KR";
  int labelSize = 12;
  Rgbq labelColour = MakeRgbq(255, 255, 0);
  Rgbq lineColour = MakeRgbq(255, 0, 0);
  Rgbq highlightColour = MakeRgbq(0, 255, 255);
  int lineWidth = 1;
  // The calibration dialog asked the next segment to deliver a reference; the
  // segment tool answers with its pixel components.
  bool referenceRequested = false;
  bool referenceDelivered = false;
  int32_t deliveredX = 0;
  int32_t deliveredY = 0;
};

// The parts are split by feature, so that each feature (measurement, text, calendar,
// frames…) adds its settings to a part of its own instead of growing one list;
// FrameState joins them and every field keeps its plain name (`frame.brushSize`).

// Tools (command ids, −1 none) and their options.
struct ToolPart {
  int currentTool = -1;
  int previousTool = -1;
  int selectionKind = 0;  // 0 rectangle, 1 free, 2 automatic, 3 polygon
  int option1 = 0;
  int option2 = 0;
  int borderSpread = 0;  // soft edge of selections, in pixels
  Rgbq foreground = MakeRgbq(0, 0, 0);
  Rgbq background = MakeRgbq(255, 255, 255);
  int brushSize = 8;
  bool softEdge = false;
  int gradientKind = 1;        // 1 one-way, 2 two-way
  int gradientColourMode = 2;  // 1 fade to black, 2 blend background → foreground
  // Painting values kept between runs: the point size of markers, the fog of the
  // painting tools.
  int pointSize = 3;
  int fog = 10;
};

// Colour-range selection: the reference colour, the dialog's tolerance and mode,
// and what the last pass found (count −1: none yet).
struct ColourRangePart {
  Rgbq rangeColour = MakeRgbq(0, 0, 0);
  int rangeTolerance = 10;
  bool rangeAdd = false;
  int rangeCount = -1;
  double rangePercent = 0;
};

// How views show grids, selections, cursors and transparent pixels.
struct DisplayPart {
  int gridSpacing = -16;  // positive: grid shown
  bool gridOn = false;
  Rgbq displayColours[3] = {MakeRgbq(0, 0, 255), MakeRgbq(255, 255, 255), MakeRgbq(255, 0, 0)};
  bool showSelectionTone = false;
  int hatchStyle = 0;
  int cursorStyle = 0;
  int transparencyDisplay = 3;
};

// Settings of the next New document.
struct NewDocumentPart {
  int newWidth = 640;
  int newHeight = 480;
  int newBitsPerPixel = 24;
  int newBackgroundMode = 0;  // 2: fill with newColour; otherwise white
  Rgbq newColour = MakeRgbq(255, 255, 255);
  std::string newTitle = QT_TR_NOOP("이름없음");
};

// What the last copy left beside the clipboard DIB: the transparency of a
// paletted picture or of a selection (row-major, bottom row first).
struct ClipboardPart {
  std::vector<uint8_t> copiedAlpha;
  int copiedWidth = 0;
  int copiedHeight = 0;
};

// Text tool settings, kept between runs.
struct TextPart {
  Rgbq textColour = MakeRgbq(0, 0, 0);
  int textFontSize = 20;
  bool textStrikeOut = false;
  bool textUnderline = false;
  std::u16string textFont1 = u"Noto Sans CJK KR";  // the text tool's face
  std::u16string textFont2 = u"Noto Sans CJK KR";  // the calendar's face
  // Further text settings kept while the program runs: the font size above is the
  // stored value, twice the dialog's size.
  std::u16string textStyle = u"Regular";
  double textLineSpacing = 1.0;
  int textCharWidth = 100;
  int textAlign = 0;
};

struct MeasurePart {
  MeasureSettings measure;
};

struct CalendarPart {
  Rgbq calendarColour = MakeRgbq(0, 0, 0);
};

// Counters the application keeps for its documents, and the running instance's own
// temporary folder for history files.
struct InstancePart {
  int nextSerial = 101;
  int copyCounter = 0;
  int channelCounter = 0;  // running number of split channel documents
  int scanCounter = 0;     // running number of acquired pictures ("스캔영상_%d")
  std::filesystem::path tempFolder;
};

struct FrameState : ToolPart,
                    ColourRangePart,
                    DisplayPart,
                    NewDocumentPart,
                    ClipboardPart,
                    TextPart,
                    MeasurePart,
                    CalendarPart,
                    InstancePart {};

}  // namespace velmira
