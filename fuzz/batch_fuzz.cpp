// libFuzzer target: the batch loader (and the tokenizer under it) on arbitrary file contents.
// The first byte picks the decimal separator (bit 0), the source kind (bit 1: a stream, as the
// command line reads it) and a small byte limit for the tokenizer alone (bits 2..7); the rest is
// the file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "batch/Batch.h"
#include "companion/libzorb3.h"
#include "companion/zorb_lib.h"
#include "support/FakeModels.h"

namespace {

class SilentSink final : public isotri::MessageSink {
  public:
    void ShowMessage(std::string_view, std::string_view, isotri::MessageButtons) override {}
};

void Discard(const char*) {}

const std::string& InputPath() {
    static const std::string path = "batch_fuzz_input." + std::to_string(getpid());
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool registered = [] {
        conAddCallback(Discard);
        conUpperLevel(48);
        return true;
    }();
    (void)registered;
    if (size == 0) {
        return 0;
    }
    std::FILE* file = std::fopen(InputPath().c_str(), "wb");
    if (file == nullptr) {
        std::perror("batch_fuzz");
        std::abort();
    }
    std::fwrite(data + 1, 1, size - 1, file);
    std::fclose(file);
    const isotri::NumberText numbers(data[0] & 1 ? ',' : '.');
    SilentSink sink;
    const isotri::BatchSource source =
        data[0] & 2 ? isotri::BatchSource::Stream : isotri::BatchSource::File;
    isotri::LoadBatch(InputPath(), isotri::test::FindFakeModel, numbers, sink, source);
    for (const isotri::TBatchEntry& entry : isotri::BatchList) {
        if (entry.Model == nullptr || entry.Coefs.empty()) {
            std::abort();
        }
    }
    // The tokenizer's own stops: a limit of bytes that the input may pass, binary bytes, UTF-16.
    const std::uint64_t limit = 16U * (data[0] >> 2);
    if (TZorbHandle* lines = tokStartFileLimited(InputPath().c_str(), " ", limit)) {
        while (tokString(lines) != 0) {
            if (tokLast(lines) == nullptr) {
                std::abort();
            }
        }
        const std::int32_t error = tokFileError(lines);
        if (error < kZorbOk || error > kZorbUtf16 || (error == kZorbOk && size - 1 > limit)) {
            std::abort();
        }
        libzorbFree(lines);
    }
    std::remove(InputPath().c_str());
    return 0;
}
