// The extended RDS data as the driver hands it to a host through its optional export: UTF-8
// lines "key=value", one fact a line, only what is confirmed. docs/driver.md lists the keys.
#ifndef HALVANE_DRIVER_RDS_EXTENDED_REPORT_H
#define HALVANE_DRIVER_RDS_EXTENDED_REPORT_H

#include <cstdint>
#include <string>

#include "rds/group_statistics.h"
#include "rds/rds_monitor.h"
#include "rds/station_state.h"

namespace halvane::driver::rds {

// `tunedFrequency` in the driver's values picks the station's own method B list.
std::string ExtendedReport(const StationState& station, const GroupStatistics& statistics,
                           int32_t tunedFrequency);

// The report of what `monitor` holds; empty before the station's first group.
std::string MonitorReport(const RdsMonitor& monitor, int32_t tunedFrequency);

// A frequency of the driver's values as the report writes it: "89.3" (MHz) or "1440k".
std::string FrequencyText(int32_t frequency);

}  // namespace halvane::driver::rds

#endif
