#include "sdr/reception_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace halvane::driver::sdr {
namespace {

void Line(std::string& out, const char* key, const char* format, double value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  out.append(key).append("=").append(text).append("\n");
}

void Line(std::string& out, const char* key, const char* text) {
  out.append(key).append("=").append(text).append("\n");
}

}  // namespace

std::string ReceptionReport(const Reception& reception) {
  std::string out;
  if (!reception.cnrDb) return out;
  Line(out, "reception.cnr", "%.1f", std::max(*reception.cnrDb, -20.0));
  if (reception.multipathDb) Line(out, "reception.multipath", "%.1f", *reception.multipathDb);
  Line(out, "reception.pilot", "%.2f", reception.pilot);
  Line(out, "reception.stereo", "%.0f", 100 * reception.separation);
  if (reception.highCutHz) {
    Line(out, "reception.highcut", "%.0f", *reception.highCutHz);
  } else {
    Line(out, "reception.highcut", "off");
  }
  Line(out, "reception.softmute", "%.1f", reception.softMuteDb);
  if (reception.equaliserDb) {
    Line(out, "reception.equaliser", "%.1f", std::max(*reception.equaliserDb, -60.0));
  } else {
    Line(out, "reception.equaliser", "off");
  }
  return out;
}

}  // namespace halvane::driver::sdr
