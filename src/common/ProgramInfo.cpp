#include "common/ProgramInfo.h"

#include <QtGlobal>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace isotri {

InfoRequest FindInfoRequest(int argc, const char* const* argv) {
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--help") == 0) {
            return InfoRequest::Help;
        }
        if (std::strcmp(argv[k], "--version") == 0) {
            return InfoRequest::Version;
        }
    }
    return InfoRequest::None;
}

std::string VersionText(const std::string& program) {
    return program + " (isotri) " ISOTRI_VERSION "\nQt " + qVersion() + "\n";
}

int PrintInfo(const std::string& program, const std::string& text) {
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (std::fflush(stdout) == 0 && written) {
        return 0;
    }
    const int error = errno;
    std::fprintf(stderr, "%s: ошибка записи: %s\n", program.c_str(),
                 error != 0 ? std::strerror(error) : "неизвестная причина");
    return 1;
}

}  // namespace isotri
