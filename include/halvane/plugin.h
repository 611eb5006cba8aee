// The plug-in library's exported entry points: registration, class objects, unloading.
#ifndef HALVANE_PLUGIN_H
#define HALVANE_PLUGIN_H

#include <stdint.h>

#include "halvane/export.h"

#define HALVANE_PROGID "Halvane.DMRadio"
#define HALVANE_SDK_PROGID "Dalmoth.SDK"

/* How the log line (through the SDK object's DMLOG) begins that the plug-in writes, debugging on
   or off, when a preset list could not be saved: the start, then "<file>: <reason>". After such a
   line, the next save that succeeds logs HALVANE_LOG_SAVED_AGAIN followed by "<file>". */
#define HALVANE_LOG_SAVE_FAILED "Halvane---> Presets not saved: "
#define HALVANE_LOG_SAVED_AGAIN "Halvane---> Presets saved again: "

/* Results of the entry points. */
#define HALVANE_S_OK 0
#define HALVANE_S_FALSE 1
#define HALVANE_E_CLASSNOTAVAILABLE ((int32_t)0x80040111u)
#define HALVANE_E_REGISTRY ((int32_t)0x80040153u)

#ifdef __cplusplus
extern "C" {
#endif

/* Records "Halvane.DMRadio" with this library's path in the class registry. */
HALVANE_API int32_t DllRegisterServer(void);
/* Removes that record. */
HALVANE_API int32_t DllUnregisterServer(void);
/* For "Halvane.DMRadio", writes the address of the library's class factory (a
   halvane::ClassFactory, see halvane/dispatch.h) into *factory and returns HALVANE_S_OK. */
HALVANE_API int32_t DllGetClassObject(const char* progId, void** factory);
/* HALVANE_S_OK when no object of the library is alive, else HALVANE_S_FALSE. */
HALVANE_API int32_t DllCanUnloadNow(void);

#ifdef __cplusplus
}
#endif

#endif
