// Fills the plug-in's RdsRecord from the decoder's data.
#ifndef HALVANE_DRIVER_RDS_RECORD_WRITER_H
#define HALVANE_DRIVER_RDS_RECORD_WRITER_H

#include "halvane/driver_contract.h"
#include "rds/group_decoder.h"

namespace halvane::driver::rds {

// The whole record: flags as 1/0, PI, and PS and RadioText as Windows-1252 bytes. RadioText ends
// at its first 0x0D; that byte and every one after it up to 64 are blanks. The bytes the plug-in
// does not read (PS byte 8, RadioText byte 64 and the reserved areas) are zero.
RdsRecord MakeRecord(const RdsData& data);

}  // namespace halvane::driver::rds

#endif
