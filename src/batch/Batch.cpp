#include "batch/Batch.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <span>
#include <system_error>

#include "companion/ConsolePrint.h"
#include "companion/libzorb3.h"
#include "companion/zorb_lib.h"

namespace isotri {

std::vector<TBatchEntry> BatchList;

namespace {

constexpr std::int32_t kError = 16;
constexpr std::int32_t kWarning = 32;
constexpr std::int32_t kInfo = 48;

// Tokens quoted in messages are cut so that a runaway line does not flood the console.
constexpr std::size_t kShownTokenLength = 80;

struct ZorbFree {
    void operator()(TZorbHandle* handle) const { libzorbFree(handle); }
};
using ZorbPtr = std::unique_ptr<TZorbHandle, ZorbFree>;

// The first `count` characters of a UTF-8 text, never splitting a character.
std::string CutToCharacters(std::string_view text, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && seen++ == count) {
            return std::string(text.substr(0, i));
        }
    }
    return std::string(text);
}

std::string Shown(std::string_view token) {
    std::string shown = CutToCharacters(token, kShownTokenLength);
    if (shown.size() < token.size()) {
        shown += "...";
    }
    return shown;
}

// A number too large for a double (1e400), written with a full stop or a comma.
bool OutOfRange(std::string_view token) {
    std::string text(token);
    std::replace(text.begin(), text.end(), ',', '.');
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && errno == ERANGE && std::isinf(value);
}

std::string ReadFailure(std::int32_t error) {
    switch (error) {
        case kZorbTooLarge:
            return "файл больше " + std::to_string(kZorbMaxFileBytes >> 20) +
                   " МБ, чтение прервано";
        case kZorbBinary:
            return "в файле двоичные данные, а не текст, чтение прервано";
        case kZorbNoMemory:
            return "строка файла не помещается в памяти, чтение прервано";
        case kZorbUtf16:
            return "файл в кодировке UTF-16; сохраните его в UTF-8 или Windows-1251";
        default:
            return "ошибка чтения файла, чтение прервано";
    }
}

class BatchReader {
  public:
    BatchReader(TZorbHandle* file, const ModelFinder& findModel, const NumberText& numbers)
        : file_(file), findModel_(findModel), numbers_(numbers) {}

    void Run() {
        while (tokString(file_) != 0) {
            const char* text = tokLast(file_);
            if (text == nullptr || *text == '\0') {
                continue;
            }
            const ZorbPtr line(tokStart(text, " "));
            if (line == nullptr) {
                outOfMemory_ = true;
                return;
            }
            if (ReadLine(line.get())) {
                return;
            }
        }
    }

    bool OutOfMemory() const { return outOfMemory_; }

  private:
    // True when the line was a single-model line, which ends the batch.
    bool ReadLine(TZorbHandle* line) {
        const char* first = tokNext(line);
        if (first == nullptr) {
            return false;  // blanks alone read as an empty line
        }
        if (std::string_view(first) != "model") {
            ConLevelPrintf(numbers_, kError, "LoadBatch(): expected \"model\", found %s\r",
                           Shown(first).c_str());
            return false;
        }
        const char* name = tokNext(line);
        if (name == nullptr) {
            ConLevelPrintf(numbers_, kError, "LoadBatch(): model name missing after \"model\"\r");
            return false;
        }
        TBatchEntry entry;
        entry.Name = CutToCharacters(name, kBatchNameLength);
        ConLevelPrintf(numbers_, kInfo, "LoadBatch(): parsing model \"%s\"\r", entry.Name.c_str());
        entry.Model = findModel_(entry.Name);
        if (entry.Model == nullptr) {
            ConLevelPrintf(numbers_, kError, "LoadBatch(): model %s not found\r",
                           entry.Name.c_str());
            return false;
        }
        if (!ReadCoefficients(line, entry)) {
            return false;
        }
        const char* keyword = tokNext(line);
        const std::string_view clause = keyword != nullptr ? keyword : "";
        if (clause == "combine1" || clause == "combine2") {
            entry.OneSided = clause == "combine1";
            if (ReadClause(line, entry)) {
                BatchList.push_back(std::move(entry));
            }
            return false;
        }
        EndWithSingleModel(std::move(entry));
        return true;
    }

    bool ReadCoefficients(TZorbHandle* line, TBatchEntry& entry) {
        const std::int32_t count =
            std::max<std::int32_t>(0, entry.Model->ops->GetCoefCount(entry.Model));
        ConLevelPrintf(numbers_, kInfo, "LoadBatch(): model \"%s\" needs %d args; ",
                       entry.Name.c_str(), static_cast<int>(count));
        entry.Combined = true;
        for (std::int32_t i = 1; i <= count; ++i) {
            const char* token = tokNext(line);
            const std::optional<double> value =
                token != nullptr ? ParseCoefficient(numbers_, token) : std::nullopt;
            if (!value) {
                con_lputs(kInfo, "\r");
                if (token == nullptr) {
                    ConLevelPrintf(numbers_, kError, "LoadBatch(): coefficient [%d] missing\r",
                                   static_cast<int>(i));
                } else if (OutOfRange(token)) {
                    ConLevelPrintf(numbers_, kError,
                                   "LoadBatch(): coefficient [%d] out of range: %s\r",
                                   static_cast<int>(i), Shown(token).c_str());
                } else {
                    ConLevelPrintf(numbers_, kError,
                                   "LoadBatch(): coefficient [%d] is not a number: %s\r",
                                   static_cast<int>(i), Shown(token).c_str());
                }
                return false;
            }
            entry.Coefs.push_back(*value);
            ConLevelPrintf(numbers_, kInfo, "[%d]=%.15g; ", static_cast<int>(i), *value);
        }
        // Evaluate is always handed a valid address, even by a model that claims no coefficient.
        if (entry.Coefs.empty()) {
            entry.Coefs.push_back(0);
        }
        con_lputs(kInfo, "\r");
        return true;
    }

    bool ReadClause(TZorbHandle* line, TBatchEntry& entry) {
        double* const oneSided[] = {&entry.Low, &entry.High, &entry.Weight};
        double* const twoSided[] = {&entry.Low, &entry.Target, &entry.High, &entry.Weight};
        const std::span<double* const> fields = entry.OneSided ? std::span<double* const>(oneSided)
                                                               : std::span<double* const>(twoSided);
        std::string weightText;
        for (double* field : fields) {
            const char* token = tokNext(line);
            const std::optional<double> value =
                token != nullptr ? numbers_.Parse(token) : std::nullopt;
            if (!value) {
                if (token != nullptr && OutOfRange(token)) {
                    ConLevelPrintf(numbers_, kError,
                                   "LoadBatch(): combine value out of range: %s\r",
                                   Shown(token).c_str());
                }
                ConLevelPrintf(numbers_, kError, "LoadBatch(): couldn't parse combine info\r");
                return false;
            }
            *field = *value;
            weightText = token;
        }
        // A negative weight turns a zero desirability into an infinity; a non-finite one has no
        // meaning in a mean.
        if (!std::isfinite(entry.Weight) || entry.Weight < 0) {
            ConLevelPrintf(numbers_, kError,
                           "LoadBatch(): weight %s refused: a weight is a finite number, 0 or "
                           "more\r",
                           Shown(weightText).c_str());
            return false;
        }
        return true;
    }

    void EndWithSingleModel(TBatchEntry entry) {
        entry.Combined = false;
        ConLevelPrintf(numbers_, kInfo,
                       "LoadBatch(): assuming the only model \"%s\", combination disabled.\r",
                       entry.Name.c_str());
        if (!BatchList.empty()) {
            con_lputs(kWarning, "LoadBatch(): warning: other models will be ignored !\r");
        }
        int skipped = 0;
        while (tokString(file_) != 0) {
            ++skipped;
        }
        ConLevelPrintf(numbers_, kWarning,
                       "LoadBatch(): incomplete batch warning: skipped %d lines\r", skipped);
        BatchList.push_back(std::move(entry));
    }

    TZorbHandle* file_;
    bool outOfMemory_ = false;
    const ModelFinder& findModel_;
    const NumberText& numbers_;
};

}  // namespace

std::optional<double> ParseCoefficient(const NumberText& numbers, std::string_view text) {
    if (const std::optional<double> value = numbers.Parse(text)) {
        return value;
    }
    std::string withCommas(text);
    for (char& c : withCommas) {
        if (c == '.') {
            c = ',';
        }
    }
    return numbers.Parse(withCommas);
}

bool LoadBatch(const std::string& fileName, const ModelFinder& findModel, const NumberText& numbers,
               MessageSink& sink, BatchSource source) {
    BatchList.clear();
    const bool standardInput = source == BatchSource::Stream && fileName == kStandardInputName;
    const std::string path = standardInput ? "/dev/stdin" : fileName;
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status) || std::filesystem::is_directory(status)) {
        sink.ShowMessage("Файл \"" + fileName + "\" не найден !");
        return false;
    }
    // Opening a FIFO would wait for a writer for ever, and a device may never end.
    if (source == BatchSource::File && !std::filesystem::is_regular_file(status)) {
        sink.ShowMessage("Файл \"" + fileName +
                         "\" не является обычным файлом: пакет читается только из файла.");
        return false;
    }
    const ZorbPtr file(tokStartFile(path.c_str(), " "));
    if (file == nullptr) {
        if (!std::filesystem::is_regular_file(status) ||
            (std::filesystem::file_size(path, error) == 0 && !error)) {
            ConLevelPrintf(numbers, kError, "LoadBatch(): empty file \"%s\"\r", fileName.c_str());
        } else {
            ConLevelPrintf(numbers, kError, "LoadBatch(): cannot read file \"%s\"\r",
                           fileName.c_str());
        }
        return false;
    }
    BatchReader reader(file.get(), findModel, numbers);
    reader.Run();
    const std::int32_t failure = reader.OutOfMemory() ? kZorbNoMemory : tokFileError(file.get());
    if (failure != kZorbOk) {
        // A batch read in part would plot another model than the file's.
        BatchList.clear();
        ConLevelPrintf(numbers, kError, "LoadBatch(): \"%s\": %s\r", fileName.c_str(),
                       ReadFailure(failure).c_str());
        return false;
    }
    return !BatchList.empty();
}

}  // namespace isotri
