#include "export/PngWriter.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <new>
#include <vector>

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

// The picture as one byte a pixel when every pixel is a grey (the default appearance draws
// nothing else): a third of the bytes to compress. Empty when a pixel has colour.
std::vector<std::uint8_t> GreyPixels(const QImage& rgb) {
    const int width = rgb.width();
    std::vector<std::uint8_t> grey(static_cast<std::size_t>(width) * rgb.height());
    std::uint8_t* out = grey.data();
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = row[x];
            const int blue = qBlue(pixel);
            if (qRed(pixel) != blue || qGreen(pixel) != blue) {
                return {};
            }
            *out++ = static_cast<std::uint8_t>(blue);
        }
    }
    return grey;
}

// No object with a destructor may live in this frame: libpng leaves it by longjmp on errors.
// `grey` holds one byte a pixel, or is null for the RGB32 rows of `image`.
bool WriteRows(png_structp png, png_infop info, const QImage& image, const std::uint8_t* grey) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()),
                 static_cast<png_uint_32>(image.height()), 8,
                 grey != nullptr ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, kPngDotsPerMeter, kPngDotsPerMeter, PNG_RESOLUTION_METER);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 1);
    png_write_info(png, info);
    if (grey != nullptr) {
        for (int y = 0; y < image.height(); ++y) {
            png_write_row(png, grey + static_cast<std::size_t>(y) * image.width());
        }
        png_write_end(png, nullptr);
        return true;
    }
    // An RGB32 pixel is the word 0xffRRGGBB, so its bytes in memory depend on the byte order.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
#else
    png_set_filler(png, 0, PNG_FILLER_BEFORE);
#endif
    for (int y = 0; y < image.height(); ++y) {
        png_write_row(png, image.constScanLine(y));
    }
    png_write_end(png, nullptr);
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
    std::vector<std::uint8_t> grey;
    try {
        grey = GreyPixels(rgb);
    } catch (const std::bad_alloc&) {
        grey.clear();  // the RGB rows need no copy
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
        written = WriteRows(png, info, rgb, grey.empty() ? nullptr : grey.data());
    }
    png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
    return written;
}

}  // namespace isotri
