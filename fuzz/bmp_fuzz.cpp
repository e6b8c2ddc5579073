// libFuzzer target for BMP import: header checks and the decoding of palette bitmaps (plain, RLE8,
// RLE4). Besides sanitizer reports, a decoded picture with an unset or unknown pixel aborts.
#include "bmp_file.h"

#include <cstdio>
#include <cstdlib>

namespace {

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "BMP invariant broken: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    bmp_header header;
    if (!read_bmp_header(file, header).empty()) return 0;
    check(header.width > 0 && header.height > 0 && header.width * header.height <= bmp_max_pixels, "size");
    check(header.pixel_offset <= size, "pixel data offset");
    if (!header.indexed()) return 0;
    check(!header.palette.empty() && header.palette.size() <= 256, "colour table");

    // Every pixel starts as a value no palette index can take after a successful decode.
    bmp_indexed picture;
    picture.indices.assign(3, 0xEE);
    const std::string problem = decode_indexed_bmp(file, header, picture);
    if (!problem.empty()) {
        check(picture.indices.size() == 3 && picture.width == 0, "a refused bitmap changed the output");
        return 0;
    }
    check(picture.width == header.width && picture.height == header.height, "decoded size");
    check(picture.indices.size() == std::size_t(picture.width) * std::size_t(picture.height), "pixel count");
    for (const std::uint8_t v : picture.indices)
        check(v < picture.palette.size(), "pixel outside the colour table");
    return 0;
}
