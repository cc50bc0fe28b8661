// CSaneClient: scanners and cameras through SANE. libsane is loaded at run time, so
// a machine without it still runs the editor; acquisition is then simply not offered.
//
// The client keeps one fixed order and remembers how far it got:
//   library loaded, SANE initialised (the "manager")  →  a device selected  →
//   the device open  →  the device enabled (settings applied, transfers may run)  →
//   transfers  →  disabled  →  device closed  →  SANE ended, library freed.
// A step that fails leaves every flag as it was, so the next command starts from
// the same place. Shutdown undoes only the steps that were reached, in reverse.
//
// The client is not thread-safe: one thread at a time may call it (the editor hands
// it to a worker thread for the transfers and waits for that thread). Only
// RequestCancel may be called from another thread.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "image/image_buffer.h"
#include "online/scan_page.h"

namespace velmira::online {

struct ScanDevice {
  std::string name;  // what SANE opens, e.g. "test:0"
  std::string vendor, model, type;
  // "vendor model (type)" for lists.
  std::string Describe() const;
};

// What the device lets the user choose, read from its options.
struct ScanCapabilities {
  // Resolutions in dots per inch: a list, or a range min…max (step `resolutionStep`).
  std::vector<int> resolutions;
  int resolutionMin = 0, resolutionMax = 0, resolutionStep = 0;
  int resolution = 0;  // current; 0 when the device has no resolution option
  std::vector<std::string> modes;  // "Color", "Gray", "Lineart"…
  std::string mode;
  std::vector<std::string> sources;  // "Flatbed", "Automatic Document Feeder"…
  std::string source;
  // The scan area in millimetres (or pixels when `areaInPixels`): left, top, right,
  // bottom, with the largest area the device allows.
  bool hasArea = false;
  bool areaInPixels = false;
  double area[4] = {0, 0, 0, 0};
  double areaMax[4] = {0, 0, 0, 0};
  double areaMin[4] = {0, 0, 0, 0};
  bool hasPreview = false;
};

// What the acquisition dialog (or the command line) asks for; empty or zero values
// leave the device's own setting.
struct ScanSettings {
  int resolution = 0;
  std::string mode;
  std::string source;
  bool setArea = false;
  double area[4] = {0, 0, 0, 0};
};

// Receives the pages of a transfer, on the thread that runs the transfers.
class PageSink {
 public:
  enum class Decision { Transfer, Skip, Abort };
  virtual ~PageSink() = default;
  // Before each page; `page` counts from 0.
  virtual Decision BeforePage(int /*page*/) { return Decision::Transfer; }
  // A page with at least one pixel; the sink owns it.
  virtual void Deliver(std::unique_ptr<CImageBuffer> image) = 0;
  // Progress of the current page, 0–100.
  virtual void Progress(int /*page*/, int /*percent*/) {}
};

// How a transfer run ended.
struct TransferResult {
  int delivered = 0;     // pages handed to the sink
  int skipped = 0;       // empty pages and pages the sink skipped
  bool cancelled = false;
  bool failed = false;   // the device kept failing, or failed on the first page
  std::string error;     // the device's last failure, in English
};

class CSaneClient {
 public:
  CSaneClient();
  ~CSaneClient();
  CSaneClient(const CSaneClient&) = delete;
  CSaneClient& operator=(const CSaneClient&) = delete;

  // Where libsane is looked for: VELMIRA_SANE_LIBRARY when set, else "libsane.so.1".
  static std::string LibraryPath();

  // Loads libsane and initialises SANE. False (silently) without the library or
  // its entry points, or when SANE refuses.
  bool Initialise(const std::string& libraryPath = LibraryPath());
  // The devices SANE knows now (empty before Initialise or on failure).
  std::vector<ScanDevice> Devices();
  // The device to propose when none was chosen yet: `remembered` when SANE still
  // lists it, else the first device; empty when there is none.
  std::string DefaultSource(const std::string& remembered);

  // The user's choice of device. `choose` gets the list and the proposal and returns
  // the chosen name, or nothing when the user cancelled. Choosing a different device
  // closes the one that was open.
  using SourceChooser =
      std::function<std::optional<std::string>(const std::vector<ScanDevice>&, const std::string& proposal)>;
  // `known` (when given) is a device list found a moment ago, offered instead of asking
  // SANE again: some backends take seconds to look for network devices.
  bool SelectSource(const SourceChooser& choose, const std::string& remembered = std::string(),
                    const std::vector<ScanDevice>* known = nullptr);
  // Selects a device by name without asking (the command line).
  bool SelectSourceByName(const std::string& name);

  // Opens the selected device unless it is open.
  bool OpenSource();
  // The device's choices (the source must be open).
  ScanCapabilities Capabilities();
  // Applies the settings and marks the device enabled; false leaves it disabled.
  bool EnableSource(const ScanSettings& settings);
  // Scans one low-resolution preview page with the given settings (device open,
  // offering a preview option); nothing on failure.
  std::unique_ptr<CImageBuffer> Preview(const ScanSettings& settings);

  // Runs the transfers while pages are pending: one page from a flatbed or camera,
  // every page from a document feeder. Cancel keeps the pages delivered so far. A
  // device that fails three pages in a row ends the run. Disables the device at
  // the end.
  TransferResult Transfers(PageSink& sink);
  void RequestCancel() { cancel_ = true; }

  // Disables the device (its close request).
  void DisableSource();
  void CloseSource();
  // Runs the remaining steps in reverse order, each only when it was reached.
  void Shutdown();

  // State.
  bool ManagerOpen() const { return managerOpen_; }
  bool SourceSelected() const { return sourceSelected_; }
  bool SourceOpen() const { return sourceOpen_; }
  bool SourceEnabled() const { return sourceEnabled_; }
  const std::string& SelectedSource() const { return source_; }
  // The last SANE status (0 = good) and its text.
  int LastStatus() const { return lastStatus_; }
  std::string LastStatusText() const;
  // Any number of pages (the feeder decides).
  int TransferCountAsked() const { return transferCount_; }
  // True when the selected source feeds several pages.
  bool FeederSelected();

  // Consecutive failed pages that end a transfer run.
  static constexpr int kMaxFailedPages = 3;

 private:
  struct Api;
  int FindOption(const char* name);
  bool SetStringOption(int index, const std::string& value);
  bool SetNumberOption(int index, double value);
  bool ApplySettings(const ScanSettings& s);
  // One page (all its frames) into the assembler; the SANE status that ended it.
  int ReadPage(PageAssembler& page, PageSink* sink, int pageIndex, std::string* why);
  void SettleReader();

  std::unique_ptr<Api> api_;
  void* handle_ = nullptr;  // SANE_Handle of the open device
  std::vector<long> readers_;  // threads the last start made (SettleReader)
  std::string source_;
  bool managerOpen_ = false;
  bool sourceSelected_ = false;
  bool sourceOpen_ = false;
  bool sourceEnabled_ = false;
  int lastStatus_ = 0;
  int transferCount_ = -1;
  std::atomic<bool> cancel_{false};
};

}  // namespace velmira::online
