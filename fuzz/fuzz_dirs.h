// Scratch folders for the targets that read and write files, and a plain way to stop on a broken
// property. The folders live in memory-backed storage when the machine has some, so the plug-in's
// flushes to disk cost nothing, and are emptied between inputs.
#ifndef HALVANE_FUZZ_FUZZ_DIRS_H
#define HALVANE_FUZZ_FUZZ_DIRS_H

#include <string>
#include <string_view>

#include "properties.h"

namespace fuzzing {

// Made once per process; ends in "/". Also points the class registry at a file inside it, so no
// class registered on this machine is ever loaded by a target.
const std::string& ScratchRoot();

// `name` under the scratch root, emptied (or created); ends in "/".
std::string FreshFolder(const std::string& name);

void WriteFileBytes(const std::string& path, std::string_view bytes);

}  // namespace fuzzing

#endif
