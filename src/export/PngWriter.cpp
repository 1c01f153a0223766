#include "export/PngWriter.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <csetjmp>
#include <cstdint>
#include <functional>
#include <new>
#include <system_error>
#include <vector>

#include "common/OtherCore.h"

namespace isotri {

namespace {

struct Output {
    QByteArray* bytes;
    std::string* error;
};

extern "C" void WriteBytes(png_structp png, png_bytep data, size_t length) {
    Output* out = static_cast<Output*>(png_get_io_ptr(png));
    bool appended = true;
    try {
        out->bytes->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
    } catch (const std::bad_alloc&) {
        appended = false;
    }
    // Outside the handler: png_error leaves by longjmp.
    if (!appended) {
        png_error(png, "out of memory");
    }
}

extern "C" void Flush(png_structp) {}

extern "C" void OnError(png_structp png, png_const_charp message) {
    *static_cast<Output*>(png_get_error_ptr(png))->error = message;
    png_longjmp(png, 1);
}

// Packs `count` rows from `first` on as PNG rows: a filter byte (none), then one byte a pixel
// when `grey`, else red, green and blue. Grey packing gives up, returning false, at a row with
// colour in it; each row is checked whole, without a branch per pixel.
bool PackRows(const QImage& rgb, int first, int count, bool grey, std::size_t rowBytes,
              unsigned char* out) {
    const int width = rgb.width();  // a call into Qt, kept out of the loops
    for (int y = first; y < first + count; ++y, out += rowBytes) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        unsigned char* at = out;
        *at++ = 0;
        if (!grey) {
            for (int x = 0; x < width; ++x) {
                *at++ = static_cast<unsigned char>(qRed(row[x]));
                *at++ = static_cast<unsigned char>(qGreen(row[x]));
                *at++ = static_cast<unsigned char>(qBlue(row[x]));
            }
            continue;
        }
        QRgb unequal = 0;  // red ^ green and green ^ blue, side by side
        for (int x = 0; x < width; ++x) {
            unequal |= (row[x] ^ (row[x] >> 8)) & 0xffffu;
            *at++ = static_cast<unsigned char>(row[x]);
        }
        if (unequal != 0) {
            return false;
        }
    }
    return true;
}

// A band of rows compressed on its own, as a raw deflate stream that the next band's stream may
// follow: a band that is not the last ends on a byte boundary without a final block.
struct Band {
    int firstRow = 0;
    int endRow = 0;
    bool last = true;
    std::vector<unsigned char> deflated;
    uLong adler = 1;  // Adler-32 of the band's row bytes; 1 for none
    uLong length = 0;
    const char* failure = nullptr;
};

bool Drain(z_stream& z, int flush, Band& band) {
    for (;;) {
        if (z.avail_out == 0) {
            const std::size_t used = band.deflated.size();
            band.deflated.resize(std::max<std::size_t>(2 * used, 1 << 15));
            z.next_out = band.deflated.data() + used;
            z.avail_out = static_cast<uInt>(band.deflated.size() - used);
        }
        const int status = deflate(&z, flush);
        if (status == Z_STREAM_ERROR) {
            band.failure = "zlib failed";
            return false;
        }
        // Room left over means the input is taken and any flush is complete.
        if (flush == Z_FINISH ? status == Z_STREAM_END : z.avail_out != 0) {
            return true;
        }
    }
}

// Compresses the band's rows. Grey packing stops, setting `coloured`, at colour in this band,
// and stops early when the other band has set it.
void DeflateRows(const QImage& rgb, bool grey, std::atomic<bool>& coloured, Band& band) noexcept {
    z_stream z{};
    if (deflateInit2(&z, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        band.failure = "zlib failed to start";
        return;
    }
    try {
        const std::size_t rowBytes = 1 + static_cast<std::size_t>(rgb.width()) * (grey ? 1 : 3);
        const int rowsAtOnce = static_cast<int>(std::max<std::size_t>(1, (1 << 16) / rowBytes));
        std::vector<unsigned char> rows(rowBytes * static_cast<std::size_t>(rowsAtOnce));
        bool ok = true;
        for (int y = band.firstRow; ok && y < band.endRow; y += rowsAtOnce) {
            const int count = std::min(rowsAtOnce, band.endRow - y);
            if (!PackRows(rgb, y, count, grey, rowBytes, rows.data())) {
                coloured = true;
            }
            if (grey && coloured) {
                break;
            }
            const auto size = static_cast<uInt>(rowBytes * static_cast<std::size_t>(count));
            band.adler = adler32(band.adler, rows.data(), size);
            band.length += size;
            z.next_in = rows.data();
            z.avail_in = size;
            ok = Drain(z, Z_NO_FLUSH, band);
        }
        if (ok && !(grey && coloured) && Drain(z, band.last ? Z_FINISH : Z_SYNC_FLUSH, band)) {
            band.deflated.resize(band.deflated.size() - z.avail_out);
        }
    } catch (const std::bad_alloc&) {
        band.failure = "out of memory";
    }
    deflateEnd(&z);
}

// Below this many pixels a second thread costs more than it saves.
constexpr std::int64_t kPixelsWorthTwoBands = 1 << 16;

// Both bands compressed at once, on this thread and a second one; false when grey packing met
// colour. The bands depend on the picture alone, so the bytes are the same whether the second
// thread ran or not.
bool DeflateBands(const QImage& rgb, bool grey, std::array<Band, 2>& bands) {
    const bool split =
        rgb.height() >= 2 && std::int64_t{rgb.width()} * rgb.height() >= kPixelsWorthTwoBands;
    const int middle = split ? rgb.height() / 2 : 0;
    bands = {};
    bands[0].endRow = middle;
    bands[0].last = false;
    bands[1].firstRow = middle;
    bands[1].endRow = rgb.height();
    std::atomic<bool> coloured{false};
    OtherCoreThread helper;
    if (split) {
        try {
            helper = OtherCoreThread([&] { DeflateRows(rgb, grey, coloured, bands[0]); });
        } catch (const std::system_error&) {
            // No second thread: this one compresses both halves, to the same bytes.
        }
    }
    DeflateRows(rgb, grey, coloured, bands[1]);
    if (helper.joinable()) {
        helper.join();
    } else if (split) {
        DeflateRows(rgb, grey, coloured, bands[0]);
    }
    return !(grey && coloured);
}

// The image data of the PNG: one zlib stream of the two bands, grey when every pixel is (the
// default appearance draws nothing else: a third of the bytes to compress), else RGB.
bool CompressImage(const QImage& rgb, bool& grey, std::vector<unsigned char>& stream,
                   std::string& error) {
    std::array<Band, 2> bands;
    grey = DeflateBands(rgb, true, bands);
    if (!grey) {
        DeflateBands(rgb, false, bands);
    }
    for (const Band& band : bands) {
        if (band.failure != nullptr) {
            error = band.failure;
            return false;
        }
    }
    // The zlib header of a 32 KiB window at the fastest level, and the Adler-32 of all rows.
    const uLong adler =
        adler32_combine(bands[0].adler, bands[1].adler, static_cast<z_off_t>(bands[1].length));
    try {
        stream.reserve(2 + bands[0].deflated.size() + bands[1].deflated.size() + 4);
    } catch (const std::bad_alloc&) {
        error = "out of memory";
        return false;
    }
    stream.push_back(0x78);
    stream.push_back(0x01);
    for (const Band& band : bands) {
        stream.insert(stream.end(), band.deflated.begin(), band.deflated.end());
    }
    for (int shift = 24; shift >= 0; shift -= 8) {
        stream.push_back(static_cast<unsigned char>(adler >> shift));
    }
    return true;
}

// No object with a destructor may live in this frame: libpng leaves it by longjmp on errors.
bool WriteChunks(png_structp png, png_infop info, const QImage& image, bool grey,
                 const std::vector<unsigned char>& stream) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()),
                 static_cast<png_uint_32>(image.height()), 8,
                 grey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, kPngDotsPerMeter, kPngDotsPerMeter, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    constexpr std::size_t kChunk = 1 << 20;
    for (std::size_t at = 0; at < stream.size(); at += kChunk) {
        png_write_chunk(png, reinterpret_cast<png_const_bytep>("IDAT"), stream.data() + at,
                        std::min(kChunk, stream.size() - at));
    }
    png_write_chunk(png, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
    return true;
}

}  // namespace

bool EncodePng(const QImage& image, QByteArray& bytes, std::string& error) {
    if (image.isNull()) {
        error = "empty image";
        return false;
    }
    const QImage rgb = image.format() == QImage::Format_RGB32
                           ? image
                           : image.convertToFormat(QImage::Format_RGB32);
    if (rgb.isNull()) {
        error = "out of memory";
        return false;
    }
    bool grey = true;
    std::vector<unsigned char> stream;
    if (!CompressImage(rgb, grey, stream, error)) {
        return false;
    }
    Output out{&bytes, &error};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &out, OnError, nullptr);
    if (png == nullptr) {
        error = "out of memory";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    bool written = false;
    if (info == nullptr) {
        error = "out of memory";
    } else {
        png_set_write_fn(png, &out, WriteBytes, Flush);
        written = WriteChunks(png, info, rgb, grey, stream);
    }
    png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
    return written;
}

}  // namespace isotri
