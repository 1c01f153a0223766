// A file with given bytes in a fresh temporary folder, removed with the object.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace isotri::test {

class TempFile {
  public:
    explicit TempFile(std::string_view bytes, std::string_view name = "batch.txt");
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    std::string Path() const { return path_.string(); }
    std::filesystem::path Dir() const { return dir_; }

  private:
    std::filesystem::path dir_;
    std::filesystem::path path_;
};

}  // namespace isotri::test
