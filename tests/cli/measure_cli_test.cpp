// velmira-cli's measuring commands and options, headless: values printed and
// exported, marks in the saved picture, refusals with their reasons.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "cli_run.h"
#include "formats/format_dispatch.h"
#include "image/image_buffer.h"

namespace velmira {
namespace {

class MeasureCli : public CliFixture {
 protected:
  void SetUp() override {
    CliFixture::SetUp();
    CImageBuffer in;
    ASSERT_TRUE(in.Allocate(200, 120, 24, kFormatBmp));
    ASSERT_TRUE(SaveFile(in, dir / "in.bmp", kFormatBmp));
  }
  CliRun Convert(const std::string& args, const std::string& out = "out.bmp") {
    return Cli("convert " + args + " " + P("in.bmp") + " " + P(out));
  }
  std::string Read(const std::string& name) {
    std::ifstream f(dir / name, std::ios::binary);
    return {(std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>()};
  }
};

TEST_F(MeasureCli, CalibratedValuesArePrintedExportedAndDrawn) {
  const CliRun r = Convert("--calibration 3,4,1,mm --decimals 1 --do 'measure-segment 0 0 100 0' "
                           "--do 'measure-angle 10 0 0 0 0 10' --do 'measure-rect 10 10 20 30' "
                           "--do 'measure-circle 50 50 53 54' --do 'measure-distance 0 100 190 100 40 60' "
                           "--do 'measure-polyline 0 110 30 110 30 70' --do 'measure-point 5 5' "
                           "--do 'export-measurements " + P("m.txt") + "'");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("0 선분 20.0 mm"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("1 사이각 90.0°"), std::string::npos);
  EXPECT_NE(r.out.find("4 선분 8.0 mm"), std::string::npos);
  EXPECT_EQ(Read("m.txt"),
            "\n 선분 20.00 0.00 0.00 0.00\n 사이각 0.00 0.00 90.00 0.00\n 사각형 0.00 8.00 0.00 0.00"
            "\n 원 0.00 0.00 0.00 1.00\n 선분 8.00 0.00 0.00 0.00\n 다각선 14.00 0.00 0.00 0.00"
            "\n 점표시 0.00 0.00 0.00 0.00");
  CImageBuffer out;
  ASSERT_TRUE(LoadFile(out, dir / "out.bmp", kFormatBmp));
  // The segment's mark along the top row, in the default line colour (red).
  EXPECT_EQ(out.ReadColor(60, out.Height() - 1), MakeRgbq(255, 0, 0));
}

TEST_F(MeasureCli, RemoveUndoRedoAndFilesRoundTrip) {
  CliRun r = Convert("--do 'measure-segment 0 0 10 0' --do 'measure-segment 0 5 20 5' --do 'measure-segment 0 9 30 9' "
                     "--do 'measure-remove 2' --do 'measure-undo' --do 'measure-redo' --do 'measure-redo' "
                     "--do 'save-measurements " + P("m.sco") + "' --do 'export-measurements " + P("m.csv") + "'");
  ASSERT_EQ(r.status, 0) << r.out;
  // Undo skipped the removed third segment; the second redo brings the count past it
  // again, and a removed object is exported with its values.
  EXPECT_EQ(Read("m.csv"), ",항목,길이,면적,각도,반지름,지름\r\n0,선분,10.00,0.00,0.00,0.00,0.00\r\n"
                           "1,선분,20.00,0.00,0.00,0.00,0.00\r\n2,선분,30.00,0.00,0.00,0.00,0.00\r\n");
  r = Convert("--do 'load-measurements " + P("m.sco") + "' --do 'export-measurements " + P("n.txt") + "'", "o2.bmp");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(Read("n.txt"), "\n 선분 10.00 0.00 0.00 0.00\n 선분 20.00 0.00 0.00 0.00");
  // A workbook from the command line.
  r = Convert("--do 'measure-segment 0 0 10 0' --do 'export-measurements " + P("m.xlsx") + "'", "o3.bmp");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(Read("m.xlsx").substr(0, 2), "PK");
}

TEST_F(MeasureCli, BadInputIsRefusedWithAReason) {
  CliRun r = Convert("--calibration 3,4,1 --do 'measure-point 1 1'");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("X,Y,LENGTH,UNIT"), std::string::npos);
  EXPECT_EQ(Convert("--decimals 3").status, 2);
  EXPECT_EQ(Convert("--calibration 0,0,1,mm").status, 2);
  r = Convert("--do 'measure-polygon 0 0 10 0'");
  EXPECT_EQ(r.status, 2);  // too few arguments for a polygon
  r = Convert("--do 'measure-polyline 0 0 10 0 5'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("pairs"), std::string::npos);
  r = Convert("--do 'measure-remove 0'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("no object"), std::string::npos);
  r = Convert("--do measure-undo");
  EXPECT_EQ(r.status, 1);
  r = Convert("--do 'measure-distance 5 5 5 5 20 20'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("Ｄｒａｇ"), std::string::npos);
  r = Convert("--do 'export-measurements " + P("m.doc") + "'");
  EXPECT_EQ(r.status, 1);
  std::ofstream(dir / "bad.sco") << "\n 0 0 garbage";
  r = Convert("--do 'load-measurements " + P("bad.sco") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("측정 파일"), std::string::npos);
}

}  // namespace
}  // namespace velmira
