// Exports: the text file's exact bytes, the table and its CSV, and the workbook read
// back from its sheet XML.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "../support/tool_fixture.h"
#include "app/doc_services.h"
#include "measure/export.h"
#include "measure/measure_commands.h"

namespace velmira::measure {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {(std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>()};
}

// One member of a zip archive through unzip -p.
std::string Member(const fs::path& zip, const std::string& name) {
  const std::string cmd = "unzip -p '" + zip.string() + "' '" + name + "' 2>/dev/null";
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

MeasureObject Obj(const char* k, float len, float area, float angle, float radius, float diameter, bool valid = true) {
  MeasureObject o;
  o.kind = k;
  o.length = len, o.area = area, o.angle = angle, o.radius = radius, o.diameter = diameter;
  o.valid = valid;
  return o;
}

TEST(TextExport, LinesAsLaidOutRemovedObjectsIncluded) {
  EXPECT_EQ(TextExport({}), "");
  const std::vector<MeasureObject> objs = {Obj(kind::kSegment, 20, 0, 0, 0, 0),
                                           Obj(kind::kCircle, 0, 0, 0, 2.5f, 5.0f, false),
                                           Obj(kind::kAngle, 0, 0, 89.996f, 0, 0)};
  EXPECT_EQ(TextExport(objs), "\n 선분 20.00 0.00 0.00 0.00\n 원 0.00 0.00 0.00 2.50\n 사이각 0.00 0.00 90.00 0.00");
  const auto t = ExportTable(objs);
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[0], (std::vector<std::string>{"", "항목", "길이", "면적", "각도", "반지름", "지름"}));
  EXPECT_EQ(t[2], (std::vector<std::string>{"1", "원", "0.00", "0.00", "0.00", "2.50", "5.00"}));
  EXPECT_EQ(ExportTable({}).size(), 1u);
  EXPECT_EQ(CsvExport({}), ",항목,길이,면적,각도,반지름,지름\r\n");
  MeasureObject comma = Obj("a,\"b", 1, 0, 0, 0, 0);
  EXPECT_EQ(CsvExport({comma}).substr(CsvExport({}).size()), "0,\"a,\"\"b\",1.00,0.00,0.00,0.00,0.00\r\n");
}

class Exports : public testing_support::ToolFixture {
 protected:
  Exports() { width = 60, height = 40; }
  void SetUp() override {
    ToolFixture::SetUp();
    frame.measure.labels = false;
    frame.measure.refX = 3, frame.measure.refY = 4;
  }
  DocServices services;
};

TEST_F(Exports, TextFileOfAnEmptyListIsEmptyAndTheMessageSaysSo) {
  const fs::path p = tmp / kTextExportName;
  ASSERT_TRUE(ExportText(*doc, p, true));
  EXPECT_EQ(ReadAll(p), "");
  EXPECT_EQ(host.messages.back(), kMsgTextSaved);
  // An unwritable place: no message, no file.
  host.messages.clear();
  EXPECT_FALSE(ExportText(*doc, tmp / "none" / kTextExportName, true));
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(Exports, WorkbookHoldsTheTableAtA1AndThePictureAtF15) {
  ASSERT_TRUE(MeasureSegment(*doc, {0, 0}, {0, 10}));  // 2 units
  ASSERT_TRUE(MeasureCircle(*doc, {20, 20}, {20, 30}));
  ASSERT_TRUE(RemoveObject(*doc, 0));
  const fs::path book = tmp / kWorkbookName;
  ASSERT_TRUE(ExportMeasurements(*doc, services, book, 2));
  ASSERT_TRUE(fs::exists(tmp / kWorkbookPictureName));
  EXPECT_FALSE(fs::exists(tmp / (std::string(kWorkbookName) + ".part")));
  const std::string sheet = Member(book, "xl/worksheets/sheet2.xml");
  ASSERT_FALSE(sheet.empty()) << "no second sheet (is unzip installed?)";
  EXPECT_TRUE(Member(book, "xl/worksheets/sheet1.xml").find("<c r=") == std::string::npos);
  const std::string shared = Member(book, "xl/sharedStrings.xml");
  for (const char* s : {"항목", "길이", "면적", "각도", "반지름", "지름", "선분", "원"})
    EXPECT_NE(shared.find(std::string("<t>") + s + "</t>"), std::string::npos) << s;
  // Numbers where the table puts them: row 2 the removed segment, row 3 the circle.
  EXPECT_NE(sheet.find(R"(<c r="A2"><v>0</v></c>)"), std::string::npos);
  EXPECT_NE(sheet.find(R"(<c r="C2" s="1"><v>2</v></c>)"), std::string::npos) << sheet;
  EXPECT_NE(sheet.find(R"(<c r="A3"><v>1</v></c>)"), std::string::npos);
  EXPECT_NE(sheet.find(R"(<c r="F3" s="1"><v>2</v></c>)"), std::string::npos);
  EXPECT_NE(sheet.find(R"(<c r="G3" s="1"><v>4</v></c>)"), std::string::npos);
  EXPECT_EQ(sheet.find(R"(r="A4")"), std::string::npos);
  const std::string drawing = Member(book, "xl/drawings/drawing1.xml");
  EXPECT_NE(drawing.find("<xdr:col>5</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>14</xdr:row>"), std::string::npos);
  EXPECT_FALSE(Member(book, "xl/media/image1.jpeg").empty());
  // The document was not saved under the picture's name or changed.
  EXPECT_NE(doc->Path().filename(), kWorkbookPictureName);

  // The CSV beside it.
  ASSERT_TRUE(ExportMeasurements(*doc, services, tmp / kCsvName));
  EXPECT_EQ(ReadAll(tmp / kCsvName), ",항목,길이,면적,각도,반지름,지름\r\n0,선분,2.00,0.00,0.00,0.00,0.00\r\n"
                                     "1,원,0.00,0.00,0.00,2.00,4.00\r\n");
}

TEST_F(Exports, WorkbookThatCannotBeWrittenSaysSoAndLeavesNoFile) {
  const fs::path dir = tmp / "ro";
  fs::create_directories(dir);
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
  const bool rootCanWrite = std::ofstream(dir / "probe").good();
  if (rootCanWrite) fs::remove(dir / "probe");
  if (!rootCanWrite) {
    EXPECT_FALSE(ExportWorkbook(*doc, services, dir / kWorkbookName, 1));
    EXPECT_EQ(host.messages.back(), kMsgWorkbookFailed);
    EXPECT_TRUE(fs::is_empty(dir));
  }
  fs::permissions(dir, fs::perms::owner_all);
  // A missing folder fails the same way for everyone.
  host.messages.clear();
  EXPECT_FALSE(ExportWorkbook(*doc, services, tmp / "missing" / kWorkbookName, 1));
  EXPECT_EQ(host.messages.back(), kMsgWorkbookFailed);
  EXPECT_FALSE(fs::exists(tmp / "missing"));
}

}  // namespace
}  // namespace velmira::measure
