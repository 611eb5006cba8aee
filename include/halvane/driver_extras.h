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

/* Traffic announcements of linked programmes (docs/driver.md): `on` 1 takes the radio to a linked
   programme's announcement and back, 0 does not (and brings it back from one now). Holds until
   the driver is reset; tuner.ini's "traffic" gives the start. radioGetTraffic writes bit 0: on,
   bit 1: playing a linked programme's announcement now. Both return 0, or 2 for a null address;
   they work before radioInitialize too. */
#define HALVANE_FN_SET_TRAFFIC "radioSetTraffic"
#define HALVANE_FN_GET_TRAFFIC "radioGetTraffic"
int32_t radioSetTraffic(int32_t unit, int32_t on);
int32_t radioGetTraffic(int32_t unit, int32_t* state);

#ifdef __cplusplus
}
#endif

#endif
