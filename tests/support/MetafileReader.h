// Reads back the EMF and placeable WMF files the recorders write: record boundaries and
// little-endian fields, with every length checked against the file.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <memory>
#include <string>
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

}  // namespace isotri::test
