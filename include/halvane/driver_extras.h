/* Optional exports of a tuner driver beside the contract of driver_contract.h. A host or the
   plug-in looks them up by name and does without them when a driver lacks them. */
#ifndef HALVANE_DRIVER_EXTRAS_H
#define HALVANE_DRIVER_EXTRAS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The tuned station's RDS beyond the record: UTF-8 lines "key=value" (docs/driver.md lists the
   keys), copied NUL-terminated into `buffer` and cut at `size` - 1 bytes, never inside a
   character. Returns the whole report's length in bytes (0: nothing received), or a negative
   result code (-1: not initialised). A null buffer or a size below 1 copies nothing. */
#define HALVANE_FN_EXTENDED_DATA "RDS_ExtendedData"
int32_t RDS_ExtendedData(char* buffer, int32_t size);

#ifdef __cplusplus
}
#endif

#endif
