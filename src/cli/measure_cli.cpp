#include "cli/measure_cli.h"

#include <cmath>
#include <vector>

#include "cli/commands.h"

namespace velmira::cli {

namespace {

bool Fail(std::string& e, std::string text) {
  e = std::move(text);
  return false;
}

}  // namespace

bool IsMeasureOption(const std::string& o) { return o == "--calibration" || o == "--decimals"; }

bool ApplyMeasureOption(const std::string& o, const std::string& v, FrameState& f, std::string& e) {
  if (o == "--decimals") {
    int d;
    if (!ParseInt(v, d) || (d != 1 && d != 2)) return Fail(e, "--decimals takes 1 or 2");
    f.measure.decimals = d;
    return true;
  }
  // X,Y,LENGTH,UNIT
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t i = 0; i <= v.size(); ++i)
    if (i == v.size() || v[i] == ',') parts.push_back(v.substr(start, i - start)), start = i + 1;
  int x, y;
  double len;
  if (parts.size() != 4 || !ParseInt(parts[0], x) || !ParseInt(parts[1], y) || !ParseDouble(parts[2], len) ||
      parts[3].empty() || parts[3].find_first_of(" \t") != std::string::npos)
    return Fail(e, "--calibration takes X,Y,LENGTH,UNIT (whole X and Y, a unit of one word)");
  if (x < 0 || y < 0 || (x == 0 && y == 0)) return Fail(e, "--calibration: the reference must be at least one pixel");
  if (!(len > 0) || !std::isfinite(len) || len > 1e30) return Fail(e, "--calibration: LENGTH must be above 0");
  f.measure.refX = x, f.measure.refY = y;
  f.measure.realLength = float(len);
  f.measure.unit = parts[3];
  return true;
}

const char* MeasureOptionsHelp() {
  return "  --calibration X,Y,LENGTH,UNIT  a reference segment of (X, Y) pixels is LENGTH UNIT long\n"
         "  --decimals 1|2        decimals of measured values\n";
}

}  // namespace velmira::cli
