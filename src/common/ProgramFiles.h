// Files that come with the program: beside the executable in the build tree, in the install
// tree's own folders when installed. Both are found from the executable's folder, so the
// program runs from any working folder and its tree may be moved as a whole.
#pragma once

#include <string>

namespace isotri {

// Folders of the install tree relative to the folder of the installed executables.
inline constexpr const char* kInstalledModuleFolder = ISOTRI_MODULE_DIR_FROM_BIN;
inline constexpr const char* kInstalledDocFolder = ISOTRI_DOC_DIR_FROM_BIN;

// Folder of the running executable with a trailing slash; empty when it cannot be read.
std::string ProgramFolder();

// The first existing file among `name` beside the executable and `name` in `installedFolder`
// (relative to the executable's folder); empty when neither exists.
std::string FindProgramFile(const std::string& name, const std::string& installedFolder);

}  // namespace isotri
