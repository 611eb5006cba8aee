// The one class this library serves, as its entry points see it. The plug-in defines both, so
// the entry points need nothing of the plug-in object but these.
#ifndef HALVANE_AUTOMATION_LIBRARY_CLASS_H
#define HALVANE_AUTOMATION_LIBRARY_CLASS_H

#include "halvane/dispatch.h"

namespace halvane {

// Makes a "Halvane.DMRadio" object on the library's own component.
ClassFactory& LibraryClassFactory();
// The number of those objects alive in this library.
int LiveObjectCount();

}  // namespace halvane

#endif
