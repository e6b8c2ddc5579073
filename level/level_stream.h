// level_stream, the whole-file memory stream every level is read and written through, and the
// zlib block routines of compressed level sections.
#pragma once

#include "tr_level.h"

#include <cstdint>
#include <string>
#include <vector>

// Upper bound on what one compressed stream of a level may inflate to (the TR4 level data, a
// "ZLIB"-wrapped file): 64 MiB, many times the largest real level data (a few MiB). A larger stream
// is refused as corrupt rather than exhausting memory. Page blocks are bounded by their page counts.
inline constexpr std::size_t max_inflated_size = std::size_t(64) << 20;

// A stream that inflates past the limit it was given.
class inflate_limit_error : public level_error {
  public:
    using level_error::level_error;
};

// Whole-buffer zlib (stream format). Both throw level_error on a zlib failure.
// Inflate: the output grows only as data arrives, and never past `limit` bytes (a stream that
// produces more is refused). `estimate` is a first guess of the output size; it is trusted only as
// far as the packed bytes could plausibly expand, so a wrong stored size costs no memory. A stream
// that ends within the estimate is inflated in one pass (libdeflate, several times faster); any
// other goes through zlib's incremental inflate, with its checks and messages. (libdeflate also
// takes a few block headers zlib refuses, such as 287 or 288 literal/length codes declared.)
// `unused` (optional) receives the number of packed bytes that follow the end of the zlib stream.
std::vector<std::uint8_t> inflate_block(const std::uint8_t* packed, std::size_t packed_size,
                                        std::size_t estimate = 0, std::size_t limit = max_inflated_size,
                                        std::size_t* unused = nullptr);
// Deflate at level 9.
std::vector<std::uint8_t> deflate_block(const std::uint8_t* plain, std::size_t plain_size);

class level_stream {
  public:
    std::string name;
    bool packed = false; // the file carried the "ZLIB" wrapper
    std::vector<std::uint8_t> buffer;
    std::uint32_t size = 0;
    std::uint32_t position = 0;
    std::uint32_t record_size = 1;

    void init(const std::string& file_name);
    // Loads the whole file (inflating a "ZLIB"-wrapped file). Throws level_error on failure.
    void open_read(std::uint32_t rec_size = 1);
    // Starts an empty in-memory buffer; nothing touches the disk until close(true).
    void open_write(std::uint32_t rec_size = 1);
    // Loads from memory instead of a file (same wrapper rule as open_read).
    void open_memory(std::vector<std::uint8_t> data, std::uint32_t rec_size = 1);

    // Clamped read: copies at most what remains; returns the bytes copied.
    std::uint32_t read(void* dest, std::uint32_t count);
    void write(const void* src, std::uint32_t count);
    void seek(std::uint32_t p) { position = p < size ? p : size; }
    std::uint32_t remaining() const { return size - position; }
    const std::uint8_t* data() const { return buffer.data(); }

    // Writes the buffer to `name` when flush is true (throws level_error on failure), then
    // releases everything.
    void close(bool flush);

  private:
    void load(std::vector<std::uint8_t> raw);
};

// Reads a whole file into memory; throws level_error with a message naming the file.
std::vector<std::uint8_t> read_whole_file(const std::string& file_name);
// Writes bytes to a temporary file in the target's folder and renames it over the target only
// when everything was written; the target is untouched on failure. A symbolic link is followed:
// the file it points to is replaced and the link kept. The temporary name fits the folder whatever
// the target's length; temporary files of the same target that a killed save left behind (and no
// running save holds) are removed first. Throws level_error.
void write_file_atomic(const std::string& file_name, const std::uint8_t* data, std::size_t size);
