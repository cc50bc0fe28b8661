#include "online/sane_client.h"
#include "image/run_time_library.h"

#include <dlfcn.h>
#include <sane/sane.h>
#include <sane/saneopts.h>

#include <algorithm>
#include <chrono>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <mutex>

namespace velmira::online {

// The entry points, taken from the library by name.
struct CSaneClient::Api {
  void* library = nullptr;
  SANE_Status (*init)(SANE_Int*, SANE_Auth_Callback) = nullptr;
  void (*exit)() = nullptr;
  SANE_Status (*getDevices)(const SANE_Device***, SANE_Bool) = nullptr;
  SANE_Status (*open)(SANE_String_Const, SANE_Handle*) = nullptr;
  void (*close)(SANE_Handle) = nullptr;
  const SANE_Option_Descriptor* (*optionDescriptor)(SANE_Handle, SANE_Int) = nullptr;
  SANE_Status (*controlOption)(SANE_Handle, SANE_Int, SANE_Action, void*, SANE_Int*) = nullptr;
  SANE_Status (*getParameters)(SANE_Handle, SANE_Parameters*) = nullptr;
  SANE_Status (*start)(SANE_Handle) = nullptr;
  SANE_Status (*read)(SANE_Handle, SANE_Byte*, SANE_Int, SANE_Int*) = nullptr;
  void (*cancel)(SANE_Handle) = nullptr;
  SANE_String_Const (*strstatus)(SANE_Status) = nullptr;
};

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool Usable(const SANE_Option_Descriptor* d) {
  return d && SANE_OPTION_IS_ACTIVE(d->cap) && SANE_OPTION_IS_SETTABLE(d->cap);
}

double ToDouble(const SANE_Option_Descriptor* d, SANE_Word w) {
  return d->type == SANE_TYPE_FIXED ? SANE_UNFIX(w) : double(w);
}

// SANE is initialised once per process, not per caller: a second client that ended
// SANE would pull the backends from under the first one's open device. Each library
// counts its users; the last one ends SANE.
std::mutex& ManagerMutex() {
  static std::mutex m;
  return m;
}
std::map<void*, int>& ManagerUsers() {
  static std::map<void*, int> users;
  return users;
}

}  // namespace

std::string ScanDevice::Describe() const {
  std::string s = vendor;
  if (!model.empty()) s += (s.empty() ? "" : " ") + model;
  if (!type.empty()) s += " (" + type + ")";
  return s;
}

CSaneClient::CSaneClient() = default;

CSaneClient::~CSaneClient() { Shutdown(); }

std::string CSaneClient::LibraryPath() {
  const char* env = std::getenv("VELMIRA_SANE_LIBRARY");
  return env && *env ? env : "libsane.so.1";
}

bool CSaneClient::Initialise(const std::string& libraryPath) {
  if (managerOpen_) return true;
  auto api = std::make_unique<Api>();
  api->library = OpenRunTimeLibrary(libraryPath, nullptr);
  if (!api->library) return false;
  void* l = api->library;
  auto fn = [l](const char* name, auto& f) { return ResolveFunction(l, name, f); };
  const bool all = fn("sane_init", api->init) && fn("sane_exit", api->exit) &&
                   fn("sane_get_devices", api->getDevices) && fn("sane_open", api->open) &&
                   fn("sane_close", api->close) &&
                   fn("sane_get_option_descriptor", api->optionDescriptor) &&
                   fn("sane_control_option", api->controlOption) &&
                   fn("sane_get_parameters", api->getParameters) && fn("sane_start", api->start) &&
                   fn("sane_read", api->read) && fn("sane_cancel", api->cancel) &&
                   fn("sane_strstatus", api->strstatus);
  if (!all) {
    dlclose(l);
    return false;
  }
  {
    std::lock_guard<std::mutex> lock(ManagerMutex());
    int& users = ManagerUsers()[l];
    if (users == 0) {
      SANE_Int version = 0;
      const SANE_Status s = api->init(&version, nullptr);
      lastStatus_ = s;
      if (s != SANE_STATUS_GOOD) {
        ManagerUsers().erase(l);
        dlclose(l);
        return false;
      }
    }
    ++users;
  }
  api_ = std::move(api);
  managerOpen_ = true;
  return true;
}

std::vector<ScanDevice> CSaneClient::Devices() {
  std::vector<ScanDevice> out;
  if (!managerOpen_) return out;
  const SANE_Device** list = nullptr;
  const SANE_Status s = api_->getDevices(&list, SANE_FALSE);
  lastStatus_ = s;
  if (s != SANE_STATUS_GOOD || !list) return out;
  for (int i = 0; list[i]; ++i) {
    const SANE_Device* d = list[i];
    if (!d->name || !*d->name) continue;
    out.push_back({d->name, d->vendor ? d->vendor : "", d->model ? d->model : "", d->type ? d->type : ""});
  }
  return out;
}

std::string CSaneClient::DefaultSource(const std::string& remembered) {
  const std::vector<ScanDevice> devices = Devices();
  if (devices.empty()) return std::string();
  for (const ScanDevice& d : devices)
    if (d.name == remembered) return remembered;
  return devices.front().name;
}

bool CSaneClient::SelectSource(const SourceChooser& choose, const std::string& remembered,
                               const std::vector<ScanDevice>* known) {
  if (!managerOpen_ || !choose) return false;
  const std::vector<ScanDevice> devices = known ? *known : Devices();
  if (devices.empty()) return false;
  auto listed = [&](const std::string& name) {
    return std::any_of(devices.begin(), devices.end(), [&](const ScanDevice& d) { return d.name == name; });
  };
  std::string proposal = sourceSelected_ ? source_ : std::string();
  if (!listed(proposal)) proposal = listed(remembered) ? remembered : devices.front().name;
  const std::optional<std::string> chosen = choose(devices, proposal);
  if (!chosen) return false;
  if (!listed(*chosen)) return false;
  if (*chosen != source_) CloseSource();
  source_ = *chosen;
  sourceSelected_ = true;
  return true;
}

bool CSaneClient::SelectSourceByName(const std::string& name) {
  return SelectSource([&](const std::vector<ScanDevice>&, const std::string&) { return std::optional(name); });
}

bool CSaneClient::OpenSource() {
  if (!managerOpen_ || !sourceSelected_) return false;
  if (sourceOpen_) return true;
  SANE_Handle h = nullptr;
  const SANE_Status s = api_->open(source_.c_str(), &h);
  lastStatus_ = s;
  if (s != SANE_STATUS_GOOD || !h) return false;
  handle_ = h;
  sourceOpen_ = true;
  return true;
}

int CSaneClient::FindOption(const char* name) {
  if (!sourceOpen_) return -1;
  for (int i = 1;; ++i) {
    const SANE_Option_Descriptor* d = api_->optionDescriptor(handle_, i);
    if (!d) return -1;
    if (d->name && std::strcmp(d->name, name) == 0) return i;
  }
}

ScanCapabilities CSaneClient::Capabilities() {
  ScanCapabilities c;
  if (!sourceOpen_) return c;
  auto numberValue = [&](int index, const SANE_Option_Descriptor* d) -> std::optional<double> {
    if (d->size != sizeof(SANE_Word) || (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED)) return {};
    SANE_Word w = 0;
    if (api_->controlOption(handle_, index, SANE_ACTION_GET_VALUE, &w, nullptr) != SANE_STATUS_GOOD) return {};
    return ToDouble(d, w);
  };
  auto stringOption = [&](const char* name, std::vector<std::string>& list, std::string& current) {
    const int i = FindOption(name);
    const SANE_Option_Descriptor* d = i < 0 ? nullptr : api_->optionDescriptor(handle_, i);
    if (!Usable(d) || d->type != SANE_TYPE_STRING || d->size <= 0) return;
    if (d->constraint_type == SANE_CONSTRAINT_STRING_LIST && d->constraint.string_list)
      for (const SANE_String_Const* s = d->constraint.string_list; *s; ++s) list.emplace_back(*s);
    std::vector<char> value(size_t(d->size) + 1, '\0');
    if (api_->controlOption(handle_, i, SANE_ACTION_GET_VALUE, value.data(), nullptr) == SANE_STATUS_GOOD)
      current = value.data();
  };
  stringOption(SANE_NAME_SCAN_MODE, c.modes, c.mode);
  stringOption(SANE_NAME_SCAN_SOURCE, c.sources, c.source);

  if (const int i = FindOption(SANE_NAME_SCAN_RESOLUTION); i >= 0) {
    const SANE_Option_Descriptor* d = api_->optionDescriptor(handle_, i);
    if (Usable(d))
      if (std::optional<double> v = numberValue(i, d)) {
        c.resolution = int(std::lround(*v));
        if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST && d->constraint.word_list) {
          const SANE_Word* wl = d->constraint.word_list;
          for (SANE_Word k = 1; k <= wl[0] && k < 4096; ++k) c.resolutions.push_back(int(std::lround(ToDouble(d, wl[k]))));
        } else if (d->constraint_type == SANE_CONSTRAINT_RANGE && d->constraint.range) {
          c.resolutionMin = int(std::lround(ToDouble(d, d->constraint.range->min)));
          c.resolutionMax = int(std::lround(ToDouble(d, d->constraint.range->max)));
          c.resolutionStep = std::max(1, int(std::lround(ToDouble(d, d->constraint.range->quant))));
        }
      }
  }

  const char* const corners[4] = {SANE_NAME_SCAN_TL_X, SANE_NAME_SCAN_TL_Y, SANE_NAME_SCAN_BR_X, SANE_NAME_SCAN_BR_Y};
  c.hasArea = true;
  for (int k = 0; k < 4 && c.hasArea; ++k) {
    const int i = FindOption(corners[k]);
    const SANE_Option_Descriptor* d = i < 0 ? nullptr : api_->optionDescriptor(handle_, i);
    std::optional<double> v = Usable(d) ? numberValue(i, d) : std::nullopt;
    if (!v || d->constraint_type != SANE_CONSTRAINT_RANGE || !d->constraint.range) {
      c.hasArea = false;
      break;
    }
    c.area[k] = *v;
    c.areaMin[k] = ToDouble(d, d->constraint.range->min);
    c.areaMax[k] = ToDouble(d, d->constraint.range->max);
    c.areaInPixels = d->unit == SANE_UNIT_PIXEL;
  }
  {
    const int i = FindOption(SANE_NAME_PREVIEW);
    const SANE_Option_Descriptor* d = i < 0 ? nullptr : api_->optionDescriptor(handle_, i);
    c.hasPreview = Usable(d) && d->type == SANE_TYPE_BOOL;
  }
  return c;
}

bool CSaneClient::SetStringOption(int index, const std::string& value) {
  const SANE_Option_Descriptor* d = index < 0 ? nullptr : api_->optionDescriptor(handle_, index);
  if (!Usable(d) || d->type != SANE_TYPE_STRING || d->size <= 0) return false;
  if (value.size() + 1 > size_t(d->size)) return false;
  std::vector<char> buffer(size_t(d->size), '\0');
  std::memcpy(buffer.data(), value.data(), value.size());
  const SANE_Status s = api_->controlOption(handle_, index, SANE_ACTION_SET_VALUE, buffer.data(), nullptr);
  lastStatus_ = s;
  return s == SANE_STATUS_GOOD;
}

bool CSaneClient::SetNumberOption(int index, double value) {
  const SANE_Option_Descriptor* d = index < 0 ? nullptr : api_->optionDescriptor(handle_, index);
  if (!Usable(d) || d->size != sizeof(SANE_Word)) return false;
  SANE_Word w;
  if (d->type == SANE_TYPE_FIXED)
    w = SANE_FIX(value);
  else if (d->type == SANE_TYPE_INT || d->type == SANE_TYPE_BOOL)
    w = SANE_Word(std::lround(value));
  else
    return false;
  const SANE_Status s = api_->controlOption(handle_, index, SANE_ACTION_SET_VALUE, &w, nullptr);
  lastStatus_ = s;
  return s == SANE_STATUS_GOOD;
}

bool CSaneClient::ApplySettings(const ScanSettings& s) {
  // The source and mode first: a device may change its other options' ranges by them.
  if (!s.source.empty() && !SetStringOption(FindOption(SANE_NAME_SCAN_SOURCE), s.source)) return false;
  if (!s.mode.empty() && !SetStringOption(FindOption(SANE_NAME_SCAN_MODE), s.mode)) return false;
  if (s.resolution > 0 && !SetNumberOption(FindOption(SANE_NAME_SCAN_RESOLUTION), s.resolution)) return false;
  if (s.setArea) {
    const char* const corners[4] = {SANE_NAME_SCAN_TL_X, SANE_NAME_SCAN_TL_Y, SANE_NAME_SCAN_BR_X,
                                    SANE_NAME_SCAN_BR_Y};
    for (int k = 0; k < 4; ++k)
      if (!SetNumberOption(FindOption(corners[k]), s.area[k])) return false;
  }
  return true;
}

bool CSaneClient::EnableSource(const ScanSettings& settings) {
  if (!sourceOpen_) return false;
  if (sourceEnabled_) return true;
  if (!ApplySettings(settings)) return false;
  transferCount_ = -1;
  cancel_ = false;
  sourceEnabled_ = true;
  return true;
}

bool CSaneClient::FeederSelected() {
  if (!sourceOpen_) return false;
  const int i = FindOption(SANE_NAME_SCAN_SOURCE);
  const SANE_Option_Descriptor* d = i < 0 ? nullptr : api_->optionDescriptor(handle_, i);
  if (!d || !SANE_OPTION_IS_ACTIVE(d->cap) || d->type != SANE_TYPE_STRING || d->size <= 0) return false;
  std::vector<char> value(size_t(d->size) + 1, '\0');
  if (api_->controlOption(handle_, i, SANE_ACTION_GET_VALUE, value.data(), nullptr) != SANE_STATUS_GOOD)
    return false;
  const std::string v = Lower(value.data());
  return v.find("feeder") != std::string::npos || v.find("adf") != std::string::npos ||
         v.find("duplex") != std::string::npos;
}

namespace {

namespace fs = std::filesystem;

// The threads of this process.
std::set<long> TaskIds() {
  std::set<long> ids;
  std::error_code ec;
  for (fs::directory_iterator it("/proc/self/task", ec), end; !ec && it != end; it.increment(ec))
    ids.insert(std::strtol(it->path().filename().c_str(), nullptr, 10));
  return ids;
}

// Whether thread `tid` of this process is gone or asleep in the kernel (not running
// user code such as the allocator).
bool GoneOrAsleep(long tid) {
  std::ifstream in("/proc/self/task/" + std::to_string(tid) + "/stat");
  std::string line;
  if (!std::getline(in, line)) return true;
  // "tid (name) S ...": the state follows the last parenthesis (names may hold some).
  const size_t close = line.rfind(')');
  if (close == std::string::npos || close + 2 >= line.size()) return true;
  const char state = line[close + 2];
  return state != 'R';
}

}  // namespace

// Some backends feed a frame from a reader thread that they stop, at the end of the
// frame or on a cancel, by asynchronous thread cancellation. Caught inside the C
// library's allocator (starting up, or freeing its buffers on the way out) that thread
// leaves a lock held, and the stop then waits for it for ever. Before a call that
// stops the thread, the threads the device's start made are waited for until each
// has ended or sleeps in the kernel (blocked on its pipe, where a cancel is safe);
// a fixed pause proved too short on a loaded machine.
void CSaneClient::SettleReader() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  if (readers_.empty()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return;
  }
  while (std::chrono::steady_clock::now() < deadline) {
    if (std::all_of(readers_.begin(), readers_.end(), GoneOrAsleep)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

// How long a device may send nothing before its page counts as failed.
constexpr std::chrono::seconds kSilentDeviceLimit{30};

int CSaneClient::ReadPage(PageAssembler& page, PageSink* sink, int pageIndex, std::string* why) {
  std::vector<SANE_Byte> buffer(64 * 1024);
  int frame = 0;
  for (;;) {
    // The threads the start makes are the backend's readers (see SettleReader).
    const std::set<long> before = TaskIds();
    SANE_Status s = api_->start(handle_);
    readers_.clear();
    for (long id : TaskIds())
      if (!before.count(id)) readers_.push_back(id);
    if (s != SANE_STATUS_GOOD) return s;
    SANE_Parameters p{};
    s = api_->getParameters(handle_, &p);
    if (s != SANE_STATUS_GOOD) return s;
    FrameParams fp;
    fp.format = int(p.format);
    fp.lastFrame = p.last_frame != SANE_FALSE;
    fp.bytesPerLine = p.bytes_per_line;
    fp.pixelsPerLine = p.pixels_per_line;
    fp.lines = p.lines;
    fp.depth = p.depth;
    if (!page.BeginFrame(fp, why)) return SANE_STATUS_INVAL;
    const int64_t expected = p.lines > 0 ? int64_t(p.lines) * p.bytes_per_line : 0;
    // A three-pass page reports its three frames as one page.
    const int frames = fp.format == int(FrameKind::Gray) || fp.format == int(FrameKind::Rgb) ? 1 : 3;
    int64_t received = 0;
    int lastPercent = -1;
    // A device that keeps answering with no data must not hold the scan forever.
    auto lastData = std::chrono::steady_clock::now();
    for (;;) {
      if (cancel_) return SANE_STATUS_CANCELLED;
      SANE_Int length = 0;
      s = api_->read(handle_, buffer.data(), SANE_Int(buffer.size()), &length);
      if (s == SANE_STATUS_EOF) break;
      if (s != SANE_STATUS_GOOD) return s;
      if (length < 0 || size_t(length) > buffer.size()) return SANE_STATUS_IO_ERROR;
      if (length == 0) {
        if (std::chrono::steady_clock::now() - lastData > kSilentDeviceLimit) {
          if (why) *why = "the device stopped sending data";
          return SANE_STATUS_IO_ERROR;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        continue;
      }
      lastData = std::chrono::steady_clock::now();
      page.Append(buffer.data(), size_t(length));
      const bool complete = expected > 0 && received < expected && received + length >= expected;
      received += length;
      // The read that reports the end stops the backend's reader thread; see
      // SettleReader. With the whole frame here that thread has nothing left to do.
      if (complete) SettleReader();
      if (sink && expected > 0) {
        const int percent = int((std::min(received, expected) * 100 / expected + frame * 100) / frames);
        if (percent != lastPercent) sink->Progress(pageIndex, lastPercent = std::min(percent, 100));
      }
    }
    page.EndFrame();
    ++frame;
    if (fp.lastFrame) return SANE_STATUS_GOOD;
    if (frame >= 3) {
      if (why) *why = "too many frames in one page";
      return SANE_STATUS_INVAL;
    }
  }
}

TransferResult CSaneClient::Transfers(PageSink& sink) {
  TransferResult r;
  if (!sourceEnabled_) {
    r.failed = true;
    r.error = "the device is not ready";
    return r;
  }
  const bool feeder = FeederSelected();
  int failures = 0;
  for (int index = 0;; ++index) {
    if (cancel_) {
      r.cancelled = true;
      break;
    }
    const PageSink::Decision decision = sink.BeforePage(index);
    if (decision == PageSink::Decision::Abort) break;
    PageAssembler page;
    std::string why;
    const int s = ReadPage(page, &sink, index, &why);
    lastStatus_ = s;
    if (s == SANE_STATUS_CANCELLED) {
      r.cancelled = true;
      break;
    }
    if (s == SANE_STATUS_NO_DOCS && index > 0) break;  // the feeder is empty: done
    if (s != SANE_STATUS_GOOD) {
      r.error = why.empty() ? LastStatusText() : why;
      // The device is told to stop this page before the next attempt (a page that
      // failed at once may find the backend's reader thread still starting).
      SettleReader();
      api_->cancel(handle_);
      if (s == SANE_STATUS_NO_DOCS || !feeder || ++failures >= kMaxFailedPages) {
        r.failed = true;
        break;
      }
      continue;
    }
    failures = 0;
    std::unique_ptr<CImageBuffer> image = page.TakeImage();
    if (decision == PageSink::Decision::Skip || !image) {
      ++r.skipped;
    } else {
      sink.Deliver(std::move(image));
      ++r.delivered;
    }
    if (!feeder) break;
  }
  // Pending pages are dropped and the device stops (also after a cancel).
  DisableSource();
  return r;
}

std::unique_ptr<CImageBuffer> CSaneClient::Preview(const ScanSettings& settings) {
  if (!sourceOpen_ || sourceEnabled_) return nullptr;
  const int option = FindOption(SANE_NAME_PREVIEW);
  if (option < 0 || !ApplySettings(settings) || !SetNumberOption(option, 1)) return nullptr;
  cancel_ = false;
  PageAssembler page;
  const int s = ReadPage(page, nullptr, 0, nullptr);
  lastStatus_ = s;
  api_->cancel(handle_);
  SetNumberOption(FindOption(SANE_NAME_PREVIEW), 0);
  if (s != SANE_STATUS_GOOD) return nullptr;
  return page.TakeImage();
}

void CSaneClient::DisableSource() {
  if (!sourceEnabled_) return;
  api_->cancel(handle_);
  sourceEnabled_ = false;
}

void CSaneClient::CloseSource() {
  DisableSource();
  if (!sourceOpen_) return;
  api_->close(handle_);
  handle_ = nullptr;
  sourceOpen_ = false;
}

void CSaneClient::Shutdown() {
  CloseSource();
  if (!managerOpen_) return;
  {
    std::lock_guard<std::mutex> lock(ManagerMutex());
    auto it = ManagerUsers().find(api_->library);
    if (it != ManagerUsers().end() && --it->second <= 0) {
      api_->exit();
      ManagerUsers().erase(it);
    }
  }
  dlclose(api_->library);
  api_.reset();
  managerOpen_ = false;
}

std::string CSaneClient::LastStatusText() const {
  if (!api_ || !api_->strstatus) return "status " + std::to_string(lastStatus_);
  const char* t = api_->strstatus(SANE_Status(lastStatus_));
  return t ? t : "status " + std::to_string(lastStatus_);
}

}  // namespace velmira::online
