// The tuner driver library's exports, as the plug-in calls them by name.
//
// Every argument is a 32-bit value (a number, or the address of a variable the driver fills in),
// every result a signed 32-bit integer, C calling convention, C linkage. The first argument of
// every function that takes arguments is always 0. Frequencies are the plug-in's frequency value
// (10 kHz units for FM, kHz for AM) times 10000: hertz on FM (95.8 MHz is 95 800 000), but
// kilohertz times 10000 on AM (1040 kHz is 10 400 000, ten times its hertz). Every AM value lies
// below the FM band's 87 500 000, which is how a value tells its band.
#ifndef HALVANE_DRIVER_CONTRACT_H
#define HALVANE_DRIVER_CONTRACT_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The record RDS_EvalData writes: 392 bytes, little-endian, laid out exactly as below. */
/* NOLINTNEXTLINE(modernize-use-using): C includes this header too. */
typedef struct RdsRecord {
  uint8_t pty;              /* 0: programme-type code */
  uint8_t tp;               /* 1: traffic programme, non-zero = set */
  uint8_t ta;               /* 2: traffic announcement, non-zero = set */
  uint8_t reserved3[2];     /* 3: the driver's own */
  uint8_t ms;               /* 5: music/speech, non-zero = set */
  uint8_t reserved6[178];   /* 6: the driver's own */
  int16_t pi;               /* 184: programme identification, signed */
  uint8_t ps[9];            /* 186: programme service name, bytes 0-7 used, Windows-1252 */
  uint8_t rt[65];           /* 195: RadioText, bytes 0-63 used, Windows-1252 */
  uint8_t reserved260[132]; /* 260: the driver's own */
} RdsRecord;

/* radioSearch's result when the search ran off the band's end. */
#define HALVANE_SEARCH_BAND_END ((int32_t)0x80000400u)

/* radioGetState's stereo flag. */
#define HALVANE_STATE_STEREO 0x02

/* Names of the exports, as looked up on every call. */
#define HALVANE_FN_INITIALIZE "radioInitialize"
#define HALVANE_FN_UNINITIALIZE "radioUninitialize"
#define HALVANE_FN_VOLUME_MUTE "VolumeMute"
#define HALVANE_FN_FORCE_MONO "radioForceMono"
#define HALVANE_FN_SET_FREQUENCY "radioSetFrequency"
#define HALVANE_FN_GET_FREQUENCY "radioGetFrequency"
#define HALVANE_FN_SEARCH "radioSearch"
#define HALVANE_FN_RDS_STOP "RDS_Stop"
#define HALVANE_FN_RDS_START "RDS_Start"
#define HALVANE_FN_GET_STATE "radioGetState"
#define HALVANE_FN_DECODER_STATE "RDS_SAA6588_GetDecoderState"
#define HALVANE_FN_EVAL_DATA "RDS_EvalData"

/* Prototypes a driver implements. */
int32_t radioInitialize(void);                        /* 0 = ready, else an error code */
int32_t radioUninitialize(void);                      /* result ignored */
int32_t VolumeMute(int32_t zero, int32_t mute);       /* 1 mute, 0 unmute; ignored */
int32_t radioForceMono(int32_t zero, int32_t mono);   /* 1 mono, 0 stereo allowed; ignored */
int32_t radioSetFrequency(int32_t zero, int32_t hz);  /* result ignored */
int32_t radioGetFrequency(int32_t zero, int32_t* hz); /* 0 = written */
/* *hz: start in, station found out; up: 1 upward, 0 downward; *level: search level (0). */
int32_t radioSearch(int32_t zero, int32_t* hz, int32_t up, uint8_t* level);
int32_t RDS_Stop(int32_t zero);
int32_t RDS_Start(int32_t zero);
int32_t radioGetState(int32_t zero, uint8_t* flags); /* 0 = written; HALVANE_STATE_STEREO */
/* 0 = written; bits 0-3 quality (0 best, 15 none), bits 4-10 a count. */
int32_t RDS_SAA6588_GetDecoderState(int32_t zero, uint32_t* state);
int32_t RDS_EvalData(int32_t zero, RdsRecord* record); /* 0 = fresh record written */

#ifdef __cplusplus
}
#endif

#ifdef __cplusplus
static_assert(sizeof(RdsRecord) == 392, "RdsRecord is 392 bytes");
static_assert(offsetof(RdsRecord, pty) == 0);
static_assert(offsetof(RdsRecord, tp) == 1);
static_assert(offsetof(RdsRecord, ta) == 2);
static_assert(offsetof(RdsRecord, ms) == 5);
static_assert(offsetof(RdsRecord, pi) == 184);
static_assert(offsetof(RdsRecord, ps) == 186);
static_assert(offsetof(RdsRecord, rt) == 195);
static_assert(offsetof(RdsRecord, reserved260) == 260);
#else
_Static_assert(sizeof(RdsRecord) == 392, "RdsRecord is 392 bytes");
#endif

#endif
