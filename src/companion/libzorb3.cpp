#include "companion/libzorb3.h"

#include <cstddef>
#include <fstream>
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

std::vector<std::string> SplitTokens(std::string_view line, std::string_view delimiters) {
    std::vector<std::string> tokens;
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && IsSeparator(line[i], delimiters)) {
            ++i;
        }
        if (i >= line.size()) {
            return tokens;
        }
        std::string token;
        bool quoted = false;
        for (; i < line.size(); ++i) {
            const char c = line[i];
            if (quoted) {
                if (c == '\\' && i + 1 < line.size() &&
                    (line[i + 1] == '"' || line[i + 1] == '\\')) {
                    token.push_back(line[++i]);
                } else if (c == '"') {
                    quoted = false;
                } else {
                    token.push_back(c);
                }
            } else if (c == '"') {
                quoted = true;
            } else if (IsSeparator(c, delimiters)) {
                break;
            } else {
                token.push_back(c);
            }
        }
        tokens.push_back(std::move(token));
    }
}

class LineHandle final : public TZorbHandle {
  public:
    LineHandle(std::string_view text, std::string_view delimiters)
        : tokens_(SplitTokens(text, delimiters)) {}

    const char* Next() {
        if (next_ < tokens_.size()) {
            last_ = tokens_[next_++].c_str();
        } else {
            last_ = nullptr;
        }
        return last_;
    }
    const char* Last() const override { return last_; }

  private:
    std::vector<std::string> tokens_;
    std::size_t next_ = 0;
    const char* last_ = nullptr;
};

class FileHandle final : public TZorbHandle {
  public:
    explicit FileHandle(std::ifstream&& in) : in_(std::move(in)) {}

    bool Advance() {
        if (ended_ || !std::getline(in_, line_)) {
            ended_ = true;
            line_.clear();
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
        for (char& c : line_) {
            if (c == '\0') {
                c = ' ';
            }
        }
        if (!IsValidUtf8(line_)) {
            line_ = Cp1251ToUtf8(line_);
        }
        return true;
    }
    const char* Last() const override { return line_.c_str(); }

  private:
    std::ifstream in_;
    std::string line_;
    bool first_ = true;
    bool ended_ = false;
};

}  // namespace

TZorbHandle* tokStartFile(const char* fileName, const char* /*delimiters*/) {
    if (fileName == nullptr) {
        return nullptr;
    }
    std::ifstream in(fileName, std::ios::binary);
    if (!in || in.peek() == std::ifstream::traits_type::eof()) {
        return nullptr;
    }
    return new FileHandle(std::move(in));
}

std::int32_t tokString(TZorbHandle* file) {
    auto* handle = dynamic_cast<FileHandle*>(file);
    return handle != nullptr && handle->Advance() ? 1 : 0;
}

const char* tokLast(TZorbHandle* handle) {
    return handle != nullptr ? handle->Last() : nullptr;
}

TZorbHandle* tokStart(const char* text, const char* delimiters) {
    return new LineHandle(text != nullptr ? text : "", delimiters != nullptr ? delimiters : " ");
}

const char* tokNext(TZorbHandle* line) {
    auto* handle = dynamic_cast<LineHandle*>(line);
    return handle != nullptr ? handle->Next() : nullptr;
}

void libzorbFree(TZorbHandle* handle) {
    delete handle;
}
