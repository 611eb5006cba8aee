// The library is built with hidden visibility: only what is marked here is exported.
#ifndef HALVANE_DRIVER_EXPORT_H
#define HALVANE_DRIVER_EXPORT_H

#define HALVANE_DRIVER_EXPORT __attribute__((visibility("default")))

#endif
