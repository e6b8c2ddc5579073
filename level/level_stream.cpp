// The whole-file memory stream, the zlib block routines and safe whole-file output.
#include "level_stream.h"

#include "tr_level.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <libdeflate.h>
#include <memory>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace {

// The most the first buffer of an inflate may take from a stored size: what the packed bytes could
// plausibly expand to, so a size field that lies costs no memory.
std::size_t plausible_size(std::size_t packed_size) {
    return packed_size * 16 + 4096;
}

// Whole-buffer inflate into exactly the size the file states (bounded as above and by `limit`).
// Decides only the common case, a stream that ends within that size with nothing wrong: then it fills
// `out` and `unused` and returns true. Anything else (a larger or damaged stream) returns false and
// leaves the decision, its message and its memory bound to the incremental zlib path.
bool inflate_whole(const std::uint8_t* packed, std::size_t packed_size, std::size_t estimate,
                   std::size_t limit, std::vector<std::uint8_t>& out, std::size_t& unused) {
    const std::size_t size = std::min({estimate, plausible_size(packed_size), limit});
    if (size == 0) return false;
    const std::unique_ptr<libdeflate_decompressor, void (*)(libdeflate_decompressor*)> d(
        libdeflate_alloc_decompressor(), libdeflate_free_decompressor);
    if (!d) return false;
    std::vector<std::uint8_t> buffer(size);
    std::size_t consumed = 0, produced = 0;
    if (libdeflate_zlib_decompress_ex(d.get(), packed, packed_size, buffer.data(), size, &consumed,
                                      &produced) != LIBDEFLATE_SUCCESS)
        return false;
    buffer.resize(produced);
    if (buffer.capacity() - produced > produced / 8 + 4096) buffer.shrink_to_fit();
    out = std::move(buffer);
    unused = packed_size - consumed;
    return true;
}

} // namespace

std::vector<std::uint8_t> inflate_block(const std::uint8_t* packed, std::size_t packed_size,
                                        std::size_t estimate, std::size_t limit, std::size_t* unused) {
    {
        std::vector<std::uint8_t> out;
        std::size_t left = 0;
        if (estimate && inflate_whole(packed, packed_size, estimate, limit, out, left)) {
            if (unused) *unused = left;
            return out;
        }
    }
    // One byte of room past the limit tells a stream that ends exactly at it from one that goes on.
    const std::size_t ceiling = limit + 1;
    const std::size_t step = std::max<std::size_t>(256, (packed_size + 255) / 256 * 256);
    // The first buffer: the estimate, but never more than the packed bytes could plausibly expand to.
    std::size_t first = estimate ? std::min(estimate, plausible_size(packed_size)) : step;
    std::vector<std::uint8_t> out(std::min(std::max<std::size_t>(first, 1), ceiling));

    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) throw level_error("Could not start decompressing the level data.");
    zs.next_in = const_cast<Bytef*>(packed);
    std::size_t in_left = packed_size;
    std::size_t produced = 0;
    int rc = Z_OK;
    for (;;) {
        if (produced == out.size()) {
            if (out.size() >= ceiling) {
                inflateEnd(&zs);
                throw inflate_limit_error("The compressed data expands beyond " + std::to_string(limit) +
                                          " bytes, more than any valid level holds: the file is corrupt.");
            }
            // Grow to where the stream is heading at its ratio so far, and at least by half, so a
            // highly compressed stream neither takes quadratic time nor many copies.
            const std::size_t consumed = std::max<std::size_t>(packed_size - in_left, 1);
            const double ratio = double(produced) / double(consumed);
            const double projected = ratio * double(packed_size) * 1.0625 + double(step);
            std::size_t next = out.size() + std::max(step, out.size() / 2);
            if (projected > double(next))
                next = projected >= double(ceiling) ? ceiling : std::size_t(projected);
            out.resize(std::min(next, ceiling));
        }
        const uInt in_chunk = uInt(std::min<std::size_t>(in_left, 1u << 30));
        zs.avail_in = in_chunk;
        const uInt out_chunk = uInt(std::min<std::size_t>(out.size() - produced, 1u << 30));
        zs.next_out = out.data() + produced;
        zs.avail_out = out_chunk;
        rc = inflate(&zs, Z_FINISH);
        in_left -= in_chunk - zs.avail_in;
        produced += out_chunk - zs.avail_out;
        if (rc == Z_STREAM_END) break;
        if (rc == Z_BUF_ERROR && zs.avail_out == 0) continue; // output full: grow and go on
        if (rc == Z_OK) continue;
        inflateEnd(&zs);
        if (rc == Z_BUF_ERROR)
            throw level_error("The compressed data ends too early: the file is truncated or corrupt.");
        throw level_error(std::string("The compressed data is corrupt (") + (zs.msg ? zs.msg : "zlib error") +
                          ").");
    }
    inflateEnd(&zs);
    if (produced > limit)
        throw inflate_limit_error("The compressed data expands beyond " + std::to_string(limit) +
                                  " bytes, more than any valid level holds: the file is corrupt.");
    if (unused) *unused = in_left;
    out.resize(produced);
    // Give back what a generous first guess left unused.
    if (out.capacity() - produced > produced / 8 + 4096) out.shrink_to_fit();
    return out;
}

std::vector<std::uint8_t> deflate_block(const std::uint8_t* plain, std::size_t plain_size) {
    uLongf bound = compressBound(uLong(plain_size));
    // Left uninitialised: of the worst-case room only what the stream fills becomes resident, so
    // compressing a level's pages does not take their size again in memory.
    const std::unique_ptr<std::uint8_t[]> room(new std::uint8_t[bound]);
    if (compress2(room.get(), &bound, plain, uLong(plain_size), 9) != Z_OK)
        throw level_error("Could not compress the level data.");
    return std::vector<std::uint8_t>(room.get(), room.get() + bound);
}

void level_stream::init(const std::string& file_name) {
    name = file_name;
    packed = false;
}

void level_stream::load(std::vector<std::uint8_t> raw) {
    if (raw.size() > 12 && std::memcmp(raw.data(), "ZLIB", 4) == 0) {
        const std::uint32_t packed_size = get_u32(&raw[4]);
        const std::uint32_t plain_size = get_u32(&raw[8]);
        const std::size_t avail = std::min<std::size_t>(packed_size, raw.size() - 12);
        std::size_t unused = 0;
        buffer = inflate_block(raw.data() + 12, avail, plain_size, max_inflated_size, &unused);
        // Nothing of a file may be dropped unseen: bytes the wrapped stream does not cover are a
        // damaged wrapper, not data to ignore.
        const std::size_t extra = unused + (raw.size() - 12 - avail);
        if (extra)
            throw level_error("The file holds " + std::to_string(extra) +
                              " bytes after the end of its compressed content: the file is corrupt.");
        packed = true;
    } else {
        buffer = std::move(raw);
        packed = false;
    }
    if (buffer.size() > 0xFFFFFFFFu) throw level_error("The file is too large to be a level.");
    size = std::uint32_t(buffer.size());
    position = 0;
}

void level_stream::open_read(std::uint32_t rec_size) {
    record_size = rec_size;
    load(read_whole_file(name));
}

void level_stream::open_memory(std::vector<std::uint8_t> data, std::uint32_t rec_size) {
    record_size = rec_size;
    load(std::move(data));
}

void level_stream::open_write(std::uint32_t rec_size) {
    record_size = rec_size;
    buffer.clear();
    buffer.reserve(262144);
    size = position = 0;
}

std::uint32_t level_stream::read(void* dest, std::uint32_t count) {
    std::uint64_t n = std::uint64_t(record_size) * count;
    if (n > size - position) n = size - position;
    if (n) std::memcpy(dest, buffer.data() + position, n);
    position += std::uint32_t(n);
    return std::uint32_t(n);
}

void level_stream::write(const void* src, std::uint32_t count) {
    const std::uint64_t n = std::uint64_t(record_size) * count;
    const std::uint64_t end = std::uint64_t(position) + n;
    if (end > 0xFFFFFFFFu) throw level_error("The level is too large to be written.");
    if (end > size) {
        buffer.resize(end);
        size = std::uint32_t(end);
    }
    if (n) std::memcpy(buffer.data() + position, src, n);
    position = std::uint32_t(end);
}

void level_stream::close(bool flush) {
    if (flush) write_file_atomic(name, buffer.data(), size);
    std::vector<std::uint8_t>().swap(buffer);
    size = position = 0;
}

std::vector<std::uint8_t> read_whole_file(const std::string& file_name) {
    std::FILE* f = std::fopen(file_name.c_str(), "rb");
    if (!f) throw level_error("Cannot open " + file_name + ": " + std::strerror(errno));
    std::vector<std::uint8_t> data;
    struct stat st {};
    bool failed = false;
    if (fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode)) {
        // A regular file: one read straight into a buffer of its size.
        data.resize(std::size_t(st.st_size));
        const std::size_t n = std::fread(data.data(), 1, data.size(), f);
        data.resize(n);
        failed = std::ferror(f) != 0;
    } else {
        std::uint8_t chunk[1 << 16];
        for (;;) {
            const std::size_t n = std::fread(chunk, 1, sizeof chunk, f);
            data.insert(data.end(), chunk, chunk + n);
            if (n < sizeof chunk) break;
        }
        failed = std::ferror(f) != 0;
    }
    std::fclose(f);
    if (failed) throw level_error("Cannot read " + file_name + ".");
    return data;
}

namespace {
// The file a save replaces: a symbolic link is followed to the file it names (which need not
// exist yet), so the link stays and the file it points to gets the new content.
std::string link_target(const std::string& file_name) {
    std::filesystem::path p = file_name;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(p, ec)) return p.string();
        const std::filesystem::path to = std::filesystem::read_symlink(p, ec);
        if (ec) throw level_error("Cannot write " + file_name + ": " + ec.message() + ".");
        p = to.is_absolute() ? to : p.parent_path() / to;
    }
    throw level_error("Cannot write " + file_name + ": too many levels of symbolic links.");
}
} // namespace

namespace {

// Temporary files are named after their target: the target's name (its first bytes when the whole
// name leaves no room), ".vellum-" and six characters that make the name unique. A name that the
// folder allows as a target thus always gives a temporary name it allows too.
constexpr std::string_view temporary_marker = ".vellum-";
constexpr std::size_t temporary_unique = 6; // the XXXXXX of mkstemp

std::string temporary_stem(const std::string& folder, const std::string& name) {
    const long longest = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    const std::size_t limit = longest > 0 ? std::size_t(longest) : 255;
    const std::size_t suffix = temporary_marker.size() + temporary_unique;
    const std::size_t room = limit > suffix ? limit - suffix : 0;
    if (name.size() <= room) return name;
    std::size_t cut = room;
    while (cut > 0 && (std::uint8_t(name[cut]) & 0xC0) == 0x80)
        --cut; // not inside a UTF-8 character
    return name.substr(0, cut);
}

bool same_file(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A save killed before its rename leaves its temporary file behind. Such files of this target are
// removed here: a running save holds an exclusive lock on its own for as long as it writes, so a
// file whose lock can be taken belongs to no running save.
void remove_leftovers(const std::string& folder, const std::string& stem) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const std::string prefix = stem + std::string(temporary_marker);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name.size() != prefix.size() + temporary_unique || name.compare(0, prefix.size(), prefix) != 0 ||
            !std::all_of(name.begin() + std::ptrdiff_t(prefix.size()), name.end(), [](char c) {
                return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
            }))
            continue;
        const int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat held {};
        struct stat named {};
        // Still the same file under that name once locked: the name was not reused meanwhile.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) &&
            ::fstatat(::dirfd(dir), entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            same_file(held, named))
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

// Creates a temporary file and locks it (see remove_leftovers). A clean-up of another save can
// remove a new file in the instant before its lock is taken; then another one is made.
int create_locked_temporary(const std::string& path_stem, std::string& path) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        path = path_stem + std::string(temporary_marker) + std::string(temporary_unique, 'X');
        const int fd = ::mkstemp(path.data());
        if (fd < 0) return -1;
        int locked;
        while ((locked = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
        }
        // Where the file system has no locks no clean-up can take one either: the file is safe.
        if (locked != 0) return fd;
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 && same_file(held, named))
            return fd;
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

} // namespace

void write_file_atomic(const std::string& link_or_file, const std::uint8_t* data, std::size_t size) {
    const std::string file_name = link_target(link_or_file);
    const std::filesystem::path target(file_name);
    const std::string folder = target.has_parent_path() ? target.parent_path().string() : std::string(".");
    const std::string stem = temporary_stem(folder, target.filename().string());
    remove_leftovers(folder, stem);
    std::string tmpl;
    const int fd = create_locked_temporary((target.parent_path() / stem).string(), tmpl);
    if (fd < 0) throw level_error("Cannot write " + file_name + ": " + std::strerror(errno));
    // Holds the lock until the rename is done; `fd` itself is closed before, to see its errors.
    const int lock = ::dup(fd);
    auto fail = [&](const char* what) {
        const int err = errno;
        ::close(fd);
        ::unlink(tmpl.c_str());
        if (lock >= 0) ::close(lock);
        throw level_error(std::string("Cannot write ") + file_name + " (" + what +
                          "): " + std::strerror(err) + ". The file on disk was not changed.");
    };
    // Keep the permissions of the file being replaced; new files get the usual ones.
    struct stat st {};
    if (::stat(file_name.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            errno = EISDIR;
            fail("not a regular file");
        }
        // A file the user may not write stays as it is, though the folder would let us replace it.
        if (::access(file_name.c_str(), W_OK) != 0) fail("read-only");
        ::fchmod(fd, st.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("write");
        }
        done += std::size_t(n);
    }
    if (::fsync(fd) != 0) fail("sync");
    const auto give_up = [&](const char* what) {
        const int err = errno;
        ::unlink(tmpl.c_str());
        if (lock >= 0) ::close(lock);
        throw level_error(std::string(what) + " " + file_name + ": " + std::strerror(err) +
                          ". The file on disk was not changed.");
    };
    if (::close(fd) != 0) give_up("Cannot write");
    if (::rename(tmpl.c_str(), file_name.c_str()) != 0) give_up("Cannot replace");
    if (lock >= 0) ::close(lock);
}
