#include "support/TempFile.h"

#include <fstream>
#include <random>
#include <stdexcept>

namespace isotri::test {

TempFile::TempFile(std::string_view bytes, std::string_view name) {
    std::random_device random;
    dir_ = std::filesystem::temp_directory_path() /
           ("isotri-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(dir_);
    path_ = dir_ / name;
    std::ofstream out(path_, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path_.string());
    }
}

TempFile::~TempFile() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

}  // namespace isotri::test
