#include "common/ProgramFiles.h"

#include <unistd.h>

#include <climits>

namespace isotri {

std::string ProgramFolder() {
    char exe[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length <= 0) {
        return {};
    }
    std::string path(exe, static_cast<std::size_t>(length));
    path.erase(path.rfind('/') + 1);
    return path;
}

std::string FindProgramFile(const std::string& name, const std::string& installedFolder) {
    const std::string folder = ProgramFolder();
    if (folder.empty()) {
        return {};
    }
    for (const std::string& path : {folder + name, folder + installedFolder + "/" + name}) {
        if (::access(path.c_str(), F_OK) == 0) {
            return path;
        }
    }
    return {};
}

}  // namespace isotri
