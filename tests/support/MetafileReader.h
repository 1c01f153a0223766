// Reads back the EMF and placeable WMF files the recorders write: record boundaries and
// little-endian fields, with every length checked against the file.
#pragma once

#include <QByteArray>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace isotri::test {

// A view of one record's bytes with bounds-checked little-endian reads (offsets from the
// record's start). Views share the file, so they outlive the bytes they were read from.
class RecordView {
  public:
    RecordView(std::shared_ptr<const QByteArray> file, std::size_t offset, std::size_t size)
        : file_(std::move(file)), offset_(offset), size_(size) {}
    std::size_t Offset() const { return offset_; }
    std::size_t Size() const { return size_; }
    std::uint8_t U8(std::size_t at) const;
    std::uint16_t U16(std::size_t at) const;
    std::int16_t I16(std::size_t at) const { return static_cast<std::int16_t>(U16(at)); }
    std::uint32_t U32(std::size_t at) const;
    std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }
    float F32(std::size_t at) const;
    std::string Bytes(std::size_t at, std::size_t count) const;
    std::u16string Utf16(std::size_t at, std::size_t count) const;

  private:
    std::shared_ptr<const QByteArray> file_;
    std::size_t offset_;
    std::size_t size_;
};

struct EmfRecord {
    std::uint32_t type;
    RecordView view;
};

// Splits an EMF into records; throws std::runtime_error where a size is impossible.
std::vector<EmfRecord> ReadEmf(const QByteArray& file);

struct WmfRecord {
    std::uint16_t function;
    std::uint32_t words;
    RecordView view;  // parameters start at 6
};

struct WmfFile {
    RecordView placeable;  // 22 bytes
    RecordView header;     // 18 bytes
    std::vector<WmfRecord> records;
};

// Splits a placeable WMF into its headers and records; throws std::runtime_error where a size
// is impossible.
WmfFile ReadWmf(const QByteArray& file);

inline std::uint32_t KindOf(const EmfRecord& r) {
    return r.type;
}
inline std::uint16_t KindOf(const WmfRecord& r) {
    return r.function;
}

// The kind of each record, in order.
template <typename Record>
auto Kinds(const std::vector<Record>& records) {
    std::vector<decltype(KindOf(std::declval<Record>()))> kinds;
    for (const Record& r : records) {
        kinds.push_back(KindOf(r));
    }
    return kinds;
}

template <typename Record>
std::ptrdiff_t Count(const std::vector<Record>& records, std::uint32_t kind) {
    return std::count_if(records.begin(), records.end(),
                         [&](const Record& r) { return KindOf(r) == kind; });
}

// The first record of the kind; throws std::runtime_error where there is none, so a test that
// looks for a missing record fails instead of reading past the list.
template <typename Record>
RecordView First(const std::vector<Record>& records, std::uint32_t kind) {
    for (const Record& r : records) {
        if (KindOf(r) == kind) {
            return r.view;
        }
    }
    throw std::runtime_error("no record of kind " + std::to_string(kind));
}

}  // namespace isotri::test
