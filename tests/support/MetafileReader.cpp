#include "support/MetafileReader.h"

#include <bit>
#include <stdexcept>

namespace isotri::test {

std::uint8_t RecordView::U8(std::size_t at) const {
    if (at >= size_) {
        throw std::out_of_range("read past the record");
    }
    return static_cast<std::uint8_t>(file_->at(static_cast<qsizetype>(offset_ + at)));
}

std::uint16_t RecordView::U16(std::size_t at) const {
    return static_cast<std::uint16_t>(U8(at) | (U8(at + 1) << 8));
}

std::uint32_t RecordView::U32(std::size_t at) const {
    return U16(at) | (static_cast<std::uint32_t>(U16(at + 2)) << 16);
}

float RecordView::F32(std::size_t at) const {
    return std::bit_cast<float>(U32(at));
}

std::string RecordView::Bytes(std::size_t at, std::size_t count) const {
    std::string s;
    for (std::size_t i = 0; i < count; ++i) {
        s.push_back(static_cast<char>(U8(at + i)));
    }
    return s;
}

std::u16string RecordView::Utf16(std::size_t at, std::size_t count) const {
    std::u16string s;
    for (std::size_t i = 0; i < count; ++i) {
        s.push_back(static_cast<char16_t>(U16(at + 2 * i)));
    }
    return s;
}

std::vector<EmfRecord> ReadEmf(const QByteArray& bytes) {
    const auto file = std::make_shared<const QByteArray>(bytes);
    const auto total = static_cast<std::size_t>(file->size());
    std::vector<EmfRecord> records;
    std::size_t at = 0;
    while (at < total) {
        if (total - at < 8) {
            throw std::runtime_error("truncated EMF record");
        }
        const RecordView head(file, at, 8);
        const std::uint32_t size = head.U32(4);
        if (size < 8 || size % 4 != 0 || size > total - at) {
            throw std::runtime_error("bad EMF record size");
        }
        records.push_back({head.U32(0), RecordView(file, at, size)});
        at += size;
    }
    return records;
}

WmfFile ReadWmf(const QByteArray& bytes) {
    const auto file = std::make_shared<const QByteArray>(bytes);
    const auto total = static_cast<std::size_t>(file->size());
    if (total < 40) {
        throw std::runtime_error("truncated WMF");
    }
    WmfFile wmf{RecordView(file, 0, 22), RecordView(file, 22, 18), {}};
    std::size_t at = 40;
    while (at < total) {
        if (total - at < 6) {
            throw std::runtime_error("truncated WMF record");
        }
        const RecordView head(file, at, 6);
        const std::uint32_t words = head.U32(0);
        if (words < 3 || words * 2 > total - at) {
            throw std::runtime_error("bad WMF record size");
        }
        wmf.records.push_back({head.U16(4), words, RecordView(file, at, words * 2)});
        at += words * 2;
    }
    return wmf;
}

}  // namespace isotri::test
