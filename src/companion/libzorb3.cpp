#include "companion/libzorb3.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstddef>

#include <cerrno>
#include <new>
#include <string>
#include <string_view>
#include <vector>

struct TZorbHandle {
    virtual ~TZorbHandle() = default;
    virtual const char* Last() const = 0;
};

namespace {

// Unicode code points of Windows-1251 bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F.
constexpr char16_t kCp1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

bool IsValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t extra = 0;
        char32_t cp = 0;
        char32_t min = 0;
        if ((c & 0xE0) == 0xC0) {
            extra = 1, cp = c & 0x1F, min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, cp = c & 0x0F, min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, cp = c & 0x07, min = 0x10000;
        } else {
            return false;
        }
        if (s.size() - i <= extra) {
            return false;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
        // Overlong forms, surrogates and values past Unicode are not UTF-8.
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string Cp1251ToUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size() * 2);
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else if (c < 0xC0) {
            AppendUtf8(out, kCp1251High[c - 0x80]);
        } else {
            AppendUtf8(out, 0x0410 + (c - 0xC0));
        }
    }
    return out;
}

bool IsSeparator(char c, std::string_view delimiters) {
    return c == '\t' || delimiters.find(c) != std::string_view::npos;
}

// Tokens are cut from the kept line one at a time, so a giant line costs its own length and one
// token more, not a string per token.
class LineHandle final : public TZorbHandle {
  public:
    LineHandle(std::string_view text, std::string_view delimiters)
        : text_(text), delimiters_(delimiters) {}

    const char* Next() {
        while (pos_ < text_.size() && IsSeparator(text_[pos_], delimiters_)) {
            ++pos_;
        }
        if (pos_ >= text_.size()) {
            last_ = nullptr;
            return last_;
        }
        token_.clear();
        bool quoted = false;
        for (; pos_ < text_.size(); ++pos_) {
            const char c = text_[pos_];
            if (quoted) {
                if (c == '\\' && pos_ + 1 < text_.size() &&
                    (text_[pos_ + 1] == '"' || text_[pos_ + 1] == '\\')) {
                    token_.push_back(text_[++pos_]);
                } else if (c == '"') {
                    quoted = false;
                } else {
                    token_.push_back(c);
                }
            } else if (c == '"') {
                quoted = true;
            } else if (IsSeparator(c, delimiters_)) {
                break;
            } else {
                token_.push_back(c);
            }
        }
        last_ = token_.c_str();
        return last_;
    }
    const char* Last() const override { return last_; }

  private:
    std::string text_;
    std::string delimiters_;
    std::size_t pos_ = 0;
    std::string token_;
    const char* last_ = nullptr;
};

// A byte that no text file holds: NUL and the C0 controls other than tab, line ends, form feed,
// Ctrl+Z (old end-of-file mark) and escape.
bool IsBinary(unsigned char c) {
    return c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\v' && c != '\f' && c != 0x1A &&
           c != 0x1B;
}

class FileHandle final : public TZorbHandle {
  public:
    FileHandle(int fd, std::uint64_t limit) : fd_(fd), limit_(limit) {}
    ~FileHandle() override { ::close(fd_); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    // False at the end of the input or at the first failure (kept in error_).
    bool Advance() {
        if (ended_) {
            line_.clear();
            return false;
        }
        try {
            if (!ReadLine()) {
                ended_ = true;
                line_.clear();
                return false;
            }
        } catch (const std::bad_alloc&) {
            Stop(kZorbNoMemory);
            std::string().swap(line_);
            return false;
        }
        if (!line_.empty() && line_.back() == '\r') {
            line_.pop_back();
        }
        if (first_) {
            first_ = false;
            if (line_.starts_with("\xEF\xBB\xBF")) {
                line_.erase(0, 3);
            }
        }
        if (!IsValidUtf8(line_)) {
            line_ = Cp1251ToUtf8(line_);
        }
        return true;
    }
    const char* Last() const override { return line_.c_str(); }
    std::int32_t Error() const { return error_; }

    // Reads the first bytes: false when there are none.
    bool Start() {
        if (!Fill()) {
            return false;
        }
        if (buffer_.size() - pos_ >= 2 &&
            ((buffer_[pos_] == '\xFF' && buffer_[pos_ + 1] == '\xFE') ||
             (buffer_[pos_] == '\xFE' && buffer_[pos_ + 1] == '\xFF'))) {
            Stop(kZorbUtf16);
        }
        return true;
    }

  private:
    void Stop(std::int32_t error) {
        error_ = error;
        ended_ = true;
    }

    // More bytes into the buffer; false at the end or on a failure.
    bool Fill() {
        if (pos_ == buffer_.size()) {
            buffer_.clear();
            pos_ = 0;
        }
        char chunk[65536];
        while (true) {
            const ssize_t got = ::read(fd_, chunk, sizeof chunk);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                Stop(kZorbReadError);
                return false;
            }
            if (got == 0) {
                return false;
            }
            total_ += static_cast<std::uint64_t>(got);
            if (total_ > limit_) {
                Stop(kZorbTooLarge);
                return false;
            }
            buffer_.append(chunk, static_cast<std::size_t>(got));
            return true;
        }
    }

    bool ReadLine() {
        line_.clear();
        bool any = false;
        while (true) {
            for (; pos_ < buffer_.size(); ++pos_) {
                const char c = buffer_[pos_];
                if (c == '\n') {
                    ++pos_;
                    return true;
                }
                if (IsBinary(static_cast<unsigned char>(c))) {
                    Stop(kZorbBinary);
                    return false;
                }
                line_.push_back(c);
                any = true;
            }
            if (error_ != 0 || !Fill()) {
                return any && error_ == 0;
            }
        }
    }

    int fd_;
    std::uint64_t limit_;
    std::uint64_t total_ = 0;
    std::string buffer_;
    std::size_t pos_ = 0;
    std::string line_;
    std::int32_t error_ = 0;
    bool first_ = true;
    bool ended_ = false;
};

}  // namespace

TZorbHandle* tokStartFile(const char* fileName, const char* delimiters) {
    return tokStartFileLimited(fileName, delimiters, kZorbMaxFileBytes);
}

TZorbHandle* tokStartFileLimited(const char* fileName, const char* /*delimiters*/,
                                 std::uint64_t maxBytes) {
    if (fileName == nullptr) {
        return nullptr;
    }
    const int fd = ::open(fileName, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    auto* handle = new FileHandle(fd, maxBytes);
    if (!handle->Start() && handle->Error() == 0) {
        delete handle;
        return nullptr;
    }
    return handle;
}

std::int32_t tokFileError(TZorbHandle* file) {
    auto* handle = dynamic_cast<FileHandle*>(file);
    return handle != nullptr ? handle->Error() : 0;
}

std::int32_t tokString(TZorbHandle* file) {
    auto* handle = dynamic_cast<FileHandle*>(file);
    return handle != nullptr && handle->Advance() ? 1 : 0;
}

const char* tokLast(TZorbHandle* handle) {
    return handle != nullptr ? handle->Last() : nullptr;
}

TZorbHandle* tokStart(const char* text, const char* delimiters) {
    try {
        return new LineHandle(text != nullptr ? text : "",
                              delimiters != nullptr ? delimiters : " ");
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

const char* tokNext(TZorbHandle* line) {
    auto* handle = dynamic_cast<LineHandle*>(line);
    return handle != nullptr ? handle->Next() : nullptr;
}

void libzorbFree(TZorbHandle* handle) {
    delete handle;
}
