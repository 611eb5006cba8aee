// What the plug-in library exports. It is built with hidden visibility: only the declarations in
// these public headers that carry HALVANE_API are seen from outside it.
#ifndef HALVANE_EXPORT_H
#define HALVANE_EXPORT_H

#define HALVANE_API __attribute__((visibility("default")))

#endif
