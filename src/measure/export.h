// Exporting measured values: the text file "MicroMeasure.txt", the table of the
// spreadsheet export (header row, then one row per object) as an .xlsx workbook with
// the picture beside it, and the same table as CSV for other programs.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "measure/objects.h"

namespace velmira::measure {

constexpr const char* kTextExportName = "MicroMeasure.txt";
constexpr const char* kWorkbookName = "Micro.xlsx";
constexpr const char* kWorkbookPictureName = "MicroExcel.jpg";
constexpr const char* kCsvName = "Micro.csv";
extern const char* const kMsgTextSaved;       // "파일(MicroMeasure.txt)이 저장되었습니다."
extern const char* const kMsgWorkbookFailed;  // the workbook could not be written

// One line per object, in list order, removed objects included.
std::string TextExport(const std::vector<MeasureObject>& objects);
// Rows of strings: the header, then per object its number, kind and five values.
std::vector<std::vector<std::string>> ExportTable(const std::vector<MeasureObject>& objects);
std::string CsvExport(const std::vector<MeasureObject>& objects);

// Each writes beside the target and renames over it only when everything was
// written, so a failure leaves no half file. False with an English reason.
bool WriteTextExport(const std::filesystem::path& path, const std::vector<MeasureObject>& objects,
                     std::string* why = nullptr);
bool WriteCsvExport(const std::filesystem::path& path, const std::vector<MeasureObject>& objects,
                    std::string* why = nullptr);
// The table at A1 of worksheet `sheet` (counted from 1; earlier sheets are made
// empty) and, when `picture` names a JPEG file, that picture at F15.
bool WriteWorkbook(const std::filesystem::path& path, const std::vector<MeasureObject>& objects, int sheet,
                   const std::filesystem::path& picture, std::string* why = nullptr);

}  // namespace velmira::measure
