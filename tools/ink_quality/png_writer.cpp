#include "png_writer.h"

#include <zlib.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace inkq {

namespace {

void putBigEndian(std::vector<unsigned char>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

void appendChunk(std::vector<unsigned char>& file, const char type[4], const std::vector<unsigned char>& data)
{
    putBigEndian(file, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = file.size();
    file.insert(file.end(), type, type + 4);
    file.insert(file.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, file.data() + typeAt, static_cast<uInt>(data.size() + 4));
    putBigEndian(file, static_cast<std::uint32_t>(crc));
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

} // namespace

bool writePng(const std::string& path, const Picture& picture)
{
    if (picture.width <= 0 || picture.height <= 0)
        return false;
    // Each row starts with filter 1 (difference to the pixel on the left),
    // which turns the blank paper into zeros that deflate well.
    std::vector<unsigned char> raw;
    raw.reserve(static_cast<std::size_t>(picture.height) * (1 + 3 * static_cast<std::size_t>(picture.width)));
    for (int y = 0; y < picture.height; ++y) {
        raw.push_back(1);
        std::uint32_t left = 0;
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t p = picture.at(x, y);
            for (int shift = 16; shift >= 0; shift -= 8)
                raw.push_back(static_cast<unsigned char>(((p >> shift) - (left >> shift)) & 0xFF));
            left = p;
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<unsigned char> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
        return false;
    packed.resize(packedSize);

    std::vector<unsigned char> file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    putBigEndian(header, static_cast<std::uint32_t>(picture.width));
    putBigEndian(header, static_cast<std::uint32_t>(picture.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});   // 8-bit RGB, deflate, no interlace
    appendChunk(file, "IHDR", header);
    appendChunk(file, "IDAT", packed);
    appendChunk(file, "IEND", {});

    std::unique_ptr<std::FILE, FileCloser> out(std::fopen(path.c_str(), "wb"));
    if (!out)
        return false;
    return std::fwrite(file.data(), 1, file.size(), out.get()) == file.size();
}

} // namespace inkq
