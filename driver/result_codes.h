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
// Any call: the driver failed inside (out of memory, or a fault of its own); the reason says so.
inline constexpr int32_t kInternalFailure = 6;
// radioSearch with traffic on: no station that carries traffic was reached within the search's
// time; the tuner is back on the station the search began from.
inline constexpr int32_t kNoTrafficStationInTime = 7;

// radioInitialize: the band file named by HALVANE_STATIONS, or beside the library, or a capture
// file it names, cannot be read.
inline constexpr int32_t kBandFileUnreadable = 101;
// radioInitialize: the band file or a capture file it names is malformed.
inline constexpr int32_t kBandFileInvalid = 102;
// radioInitialize: the tuner configuration beside the library cannot be read or is malformed.
inline constexpr int32_t kConfigUnreadable = 103;
inline constexpr int32_t kConfigInvalid = 104;

// V4L2 tuner. radioInitialize: the device does not exist; it is no radio tuner (no radio and
// tuner capabilities); another program holds it; no permission to open it.
inline constexpr int32_t kNoDevice = 201;
inline constexpr int32_t kNotRadio = 202;
inline constexpr int32_t kDeviceBusy = 203;  // also a seek refused because one is running
inline constexpr int32_t kNoPermission = 204;
// Any call: the device failed in another way.
inline constexpr int32_t kDeviceError = 205;
// Any call: the device went away (unplugged); radioUninitialize and radioInitialize reopen it.
inline constexpr int32_t kDeviceLost = 206;
// radioSetFrequency, radioSearch: no band of the device covers the frequency.
inline constexpr int32_t kOutOfBand = 207;

// SDR receiver. radioInitialize: no SoapySDR device answers to the configured arguments.
inline constexpr int32_t kSdrNoDevice = 301;
// Any call: the SDR device stopped delivering samples (unplugged); radioUninitialize and
// radioInitialize reopen it.
inline constexpr int32_t kSdrDeviceLost = 302;
// radioInitialize: the IQ recording cannot be opened or read (missing, no permission).
inline constexpr int32_t kRecordingUnreadable = 303;
// radioInitialize, or any call while it plays: the recording is truncated or not in its format.
inline constexpr int32_t kRecordingInvalid = 304;
// radioInitialize: the sample rate is too low for an FM broadcast channel.
inline constexpr int32_t kSampleRateTooLow = 305;
// radioInitialize: the SDR device refused its settings or its sample stream.
inline constexpr int32_t kSdrDeviceError = 306;
// radioSetFrequency, radioSearch: an AM frequency, and the SDR device reaches no AM: its tuner
// does not, it offers no direct sampling and no upconverter is configured. The tuner stays
// where it was.
inline constexpr int32_t kSdrNoAm = 307;

}  // namespace halvane::driver

#endif
