// Results the driver's exports give besides 0 (success) and the search's band-end code.
// docs/driver.md lists them for users reading the plug-in's log.
#ifndef HALVANE_DRIVER_RESULT_CODES_H
#define HALVANE_DRIVER_RESULT_CODES_H

#include <cstdint>

namespace halvane::driver {

inline constexpr int32_t kOk = 0;
// radioInitialize has not succeeded (or radioUninitialize came since).
inline constexpr int32_t kNotInitialized = 1;
// A required address argument was null.
inline constexpr int32_t kNullArgument = 2;
// RDS_EvalData: decoding is stopped.
inline constexpr int32_t kRdsStopped = 3;
// RDS_EvalData: the decoder holds no data of the tuned station.
inline constexpr int32_t kRdsNoData = 4;
// RDS_EvalData: no valid group in the last 500 ms.
inline constexpr int32_t kRdsStale = 5;

// radioInitialize: the band file named by HALVANE_STATIONS, or beside the library, or a capture
// file it names, cannot be read.
inline constexpr int32_t kBandFileUnreadable = 101;
// radioInitialize: the band file or a capture file it names is malformed.
inline constexpr int32_t kBandFileInvalid = 102;

}  // namespace halvane::driver

#endif
