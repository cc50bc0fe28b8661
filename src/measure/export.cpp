#include "measure/export.h"
#include "image/run_time_library.h"
#include "image/ui_text.h"

#include <xlsxwriter.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>

namespace velmira::measure {

const char* const kMsgTextSaved = QT_TR_NOOP("파일(MicroMeasure.txt)이 저장되었습니다.");
const char* const kMsgWorkbookFailed = QT_TR_NOOP("엑셀 파일을 저장할 수 없습니다.");

namespace {

std::string F2(float v) {
  char b[64];
  std::snprintf(b, sizeof b, "%.2f", double(v));
  return b;
}

bool Fail(std::string* why, std::string text) {
  if (why) *why = std::move(text);
  return false;
}

std::filesystem::path TempBeside(const std::filesystem::path& p) {
  std::filesystem::path t = p;
  t += ".part";
  return t;
}

bool Commit(const std::filesystem::path& tmp, const std::filesystem::path& path, std::string* why) {
  std::error_code ec;
  std::filesystem::rename(tmp, path, ec);
  if (!ec) return true;
  std::filesystem::remove(tmp, ec);
  return Fail(why, "cannot replace " + path.string());
}

bool WriteWhole(const std::filesystem::path& path, const std::string& bytes, std::string* why) {
  const auto tmp = TempBeside(path);
  {
    std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
    if (!f) return Fail(why, "cannot create " + path.string());
    f.write(bytes.data(), std::streamsize(bytes.size()));
    f.flush();
    if (!f) {
      f.close();
      std::error_code ec;
      std::filesystem::remove(tmp, ec);
      return Fail(why, "cannot write " + path.string());
    }
  }
  return Commit(tmp, path, why);
}

std::string CsvField(const std::string& s) {
  if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
  std::string q = "\"";
  for (char c : s) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + "\"";
}

}  // namespace

std::string TextExport(const std::vector<MeasureObject>& objects) {
  std::string out;
  for (const MeasureObject& o : objects)
    out += "\n " + std::string(UiText(o.kind.c_str())) + " " + F2(o.length) + " " + F2(o.area) + " " + F2(o.angle) +
           " " + F2(o.radius);
  return out;
}

std::vector<std::vector<std::string>> ExportTable(const std::vector<MeasureObject>& objects) {
  std::vector<std::vector<std::string>> t;
  // The exports are read by the user, so they follow the interface language.
  t.push_back({"", UiText("항목"), UiText("길이"), UiText("면적"), UiText("각도"), UiText("반지름"), UiText("지름")});
  for (size_t i = 0; i < objects.size(); ++i) {
    const MeasureObject& o = objects[i];
    t.push_back({std::to_string(i), UiText(o.kind.c_str()), F2(o.length), F2(o.area), F2(o.angle), F2(o.radius), F2(o.diameter)});
  }
  return t;
}

std::string CsvExport(const std::vector<MeasureObject>& objects) {
  std::string out;
  for (const auto& row : ExportTable(objects)) {
    for (size_t c = 0; c < row.size(); ++c) out += (c ? "," : "") + CsvField(row[c]);
    out += "\r\n";
  }
  return out;
}

bool WriteTextExport(const std::filesystem::path& path, const std::vector<MeasureObject>& objects,
                     std::string* why) {
  return WriteWhole(path, TextExport(objects), why);
}

bool WriteCsvExport(const std::filesystem::path& path, const std::vector<MeasureObject>& objects,
                    std::string* why) {
  return WriteWhole(path, CsvExport(objects), why);
}

// libxlsxwriter (and the crypto library it brings) is opened the first time a
// workbook is written rather than by every start of the programs.
struct Xlsx {
  decltype(&::workbook_new) workbookNew = nullptr;
  decltype(&::workbook_add_worksheet) addWorksheet = nullptr;
  decltype(&::workbook_add_format) addFormat = nullptr;
  decltype(&::format_set_num_format) setNumFormat = nullptr;
  decltype(&::worksheet_write_string) writeString = nullptr;
  decltype(&::worksheet_write_number) writeNumber = nullptr;
  decltype(&::worksheet_insert_image_opt) insertImage = nullptr;
  decltype(&::workbook_close) close = nullptr;
  decltype(&::lxw_strerror) strerror = nullptr;
  std::string why;  // empty when every function was found
};

const Xlsx& XlsxLibrary() {
  static const Xlsx x = [] {
    Xlsx l;
    const char* name = "libxlsxwriter.so." LXW_SOVERSION;
    void* h = OpenRunTimeLibrary(name, &l.why);
    if (!h) return l;
    auto get = [&](auto& f, const char* sym) {
      if (!ResolveFunction(h, sym, f) && l.why.empty()) l.why = std::string(name) + " lacks " + sym;
    };
    get(l.workbookNew, "workbook_new");
    get(l.addWorksheet, "workbook_add_worksheet");
    get(l.addFormat, "workbook_add_format");
    get(l.setNumFormat, "format_set_num_format");
    get(l.writeString, "worksheet_write_string");
    get(l.writeNumber, "worksheet_write_number");
    get(l.insertImage, "worksheet_insert_image_opt");
    get(l.close, "workbook_close");
    get(l.strerror, "lxw_strerror");
    return l;
  }();
  return x;
}

bool WriteWorkbook(const std::filesystem::path& path, const std::vector<MeasureObject>& objects, int sheet,
                   const std::filesystem::path& picture, std::string* why) {
  if (sheet < 1 || sheet > 255) return Fail(why, "the sheet must be 1...255");
  const Xlsx& x = XlsxLibrary();
  if (!x.why.empty()) return Fail(why, x.why);
  const auto tmp = TempBeside(path);
  lxw_workbook* wb = x.workbookNew(tmp.string().c_str());
  if (!wb) return Fail(why, "cannot start the workbook");
  lxw_worksheet* ws = nullptr;
  for (int i = 1; i <= sheet; ++i) ws = x.addWorksheet(wb, nullptr);
  lxw_format* two = x.addFormat(wb);
  x.setNumFormat(two, "0.00");
  bool ok = ws != nullptr;
  const auto table = ExportTable(objects);
  // Numbers go in as numbers (what a spreadsheet makes of the table's strings);
  // the kind names and the header stay text.
  for (size_t r = 0; ok && r < table.size(); ++r)
    for (size_t c = 0; ok && c < table[r].size(); ++c) {
      const std::string& v = table[r][c];
      lxw_error e = LXW_NO_ERROR;
      if (v.empty()) continue;
      if (r == 0 || c == 1)
        e = x.writeString(ws, lxw_row_t(r), lxw_col_t(c), v.c_str(), nullptr);
      else
        e = x.writeNumber(ws, lxw_row_t(r), lxw_col_t(c), std::strtod(v.c_str(), nullptr),
                                   c == 0 ? nullptr : two);
      ok = e == LXW_NO_ERROR;
    }
  std::string failure = ok ? "" : "cannot fill the table";
  if (ok && !picture.empty()) {
    lxw_image_options opt{};
    opt.x_scale = 1, opt.y_scale = 1;
    if (x.insertImage(ws, 14, 5, picture.string().c_str(), &opt) != LXW_NO_ERROR) {
      ok = false;
      failure = "cannot place the picture";
    }
  }
  const lxw_error closed = x.close(wb);  // frees the workbook in every case
  std::error_code ec;
  if (!ok || closed != LXW_NO_ERROR) {
    std::filesystem::remove(tmp, ec);
    return Fail(why, ok ? std::string("cannot write the workbook: ") + x.strerror(closed) : failure);
  }
  return Commit(tmp, path, why);
}

}  // namespace velmira::measure
