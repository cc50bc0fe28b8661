// Named calibrations and the file that keeps them, "MicroCalib.ini": a text file
// (line ends CR LF over the whole file) with the count of valid entries and the
// selected position among them, then per valid entry its unit, the number of name
// characters, the reference components and the real length, and straight after
// them the name as UTF-16LE code units with no terminator.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "image/frame_state.h"

namespace velmira::measure {

constexpr int kMaxCalibrations = 30;
constexpr int kMaxCalibrationName = 50;
constexpr const char* kCalibrationFileName = "MicroCalib.ini";

// Units the unit box offers, in order; any typed word is accepted too.
const std::vector<std::string>& UnitChoices();

// What a file holds: the valid entries and the selected position among them.
struct CalibrationData {
  std::vector<CalibrationEntry> entries;
  int selected = 0;
};

// Bytes of the file for the valid entries of `entries` (at most 30 written).
std::vector<uint8_t> EncodeCalibration(const std::vector<CalibrationEntry>& entries, int selected);
// Reads what can be read: entries up to the first damaged one. Never fails; a
// missing or empty file gives an empty list.
CalibrationData DecodeCalibration(const uint8_t* data, size_t size);

// Written beside and renamed over the old file; false leaves the old file as it was.
bool WriteCalibrationFile(const std::filesystem::path& path, const std::vector<CalibrationEntry>& entries,
                          int selected);
CalibrationData ReadCalibrationFile(const std::filesystem::path& path);

// The file in the data folder; the first time, a default shipped in `shareFolder`
// is copied there. An empty data folder path gives an empty path.
std::filesystem::path CalibrationPath(const std::filesystem::path& dataFolder,
                                      const std::filesystem::path& shareFolder = {});

// Start-up: the list read from the file, and the selected entry as the active
// calibration with each reference component at least 1.
void LoadCalibrations(MeasureSettings& s, const std::filesystem::path& path);
// Makes entry `index` the active calibration as the dialog's OK does (components as
// typed).
void ActivateCalibration(MeasureSettings& s, int index);

enum class StoreResult { Updated, Added, Full };
// OK of the calibration dialog: replaces the entry of the same name or appends a
// new one (refused when 30 are in use), and selects it.
StoreResult StoreCalibration(MeasureSettings& s, const CalibrationEntry& e, int* index);
// Marks every entry of that name not valid; the first entry valid before becomes
// the selected one. Returns how many were removed.
int DeleteCalibration(MeasureSettings& s, const std::u16string& name);
// Number of valid entries.
int ValidCalibrations(const MeasureSettings& s);

}  // namespace velmira::measure
