// Texture bitmap exchange: BigBMP, current texture, mesh texture pieces and new pages.
#include "bitmap_exchange.h"

#include "bmp_file.h"
#include "level_reader.h"
#include "level_stream.h"
#include "pixels.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <algorithm>
#include <cstring>

namespace {

// Largest bitmap file accepted: 256 MB (sides and pixel count: bmp_file.h).
constexpr qint64 max_bitmap_file = 256ll << 20;

bool table_ready(const tr_level& level, const texture_table& table) {
    return table.level == &level && !table.pages_bitmap.isNull();
}

// Copies the display pixels of `src` into `dst` at (x, y), clipped to both.
void draw_display(QImage& dst, const QImage& src, int x, int y, int sx = 0, int sy = 0, int w = -1,
                  int h = -1) {
    if (w < 0) w = src.width();
    if (h < 0) h = src.height();
    const int x0 = std::max({0, -x, -sx}), y0 = std::max({0, -y, -sy});
    const int x1 = std::min({w, dst.width() - x, src.width() - sx});
    const int y1 = std::min({h, dst.height() - y, src.height() - sy});
    for (int row = y0; row < y1; ++row) {
        const auto* s = reinterpret_cast<const std::uint16_t*>(src.constScanLine(sy + row)) + sx;
        auto* d = reinterpret_cast<std::uint16_t*>(dst.scanLine(y + row)) + x;
        if (x1 > x0) std::copy(s + x0, s + x1, d + x0);
    }
}

} // namespace

user_message overwrite_question(const std::string& path) {
    return say(msg::overwrite_question, {path});
}

std::string big_bmp_file_name(const std::string& root_text) {
    const auto blank = root_text.find(' ');
    return (blank == std::string::npos ? std::string() : root_text.substr(0, blank + 1)) + " Textures";
}

std::string pieces_file_name(const std::string& item_text) {
    auto cut = item_text.find('/');
    if (cut == std::string::npos) cut = item_text.find('?');
    return item_text.substr(0, cut);
}

// A palette bitmap as an 8-bit image with its colour table.
static QImage indexed_image(const bmp_indexed& picture) {
    QImage image(picture.width, picture.height, QImage::Format_Indexed8);
    QList<QRgb> colours(qsizetype(picture.palette.size()));
    for (std::size_t i = 0; i < picture.palette.size(); ++i)
        colours[qsizetype(i)] = 0xFF000000u | picture.palette[i];
    image.setColorTable(colours);
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(image.scanLine(y), &picture.indices[std::size_t(y) * std::size_t(picture.width)],
                    std::size_t(picture.width));
    return image;
}

texture_result load_bitmap(const std::string& path, QImage& out) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return texture_result::failure(say(msg::bitmap_unreadable, {path, file.errorString().toStdString()}));
    if (file.size() > max_bitmap_file) return texture_result::failure(say(msg::bitmap_too_large, {path}));
    QByteArray data = file.readAll();
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                              std::size_t(data.size()));
    const auto refuse = [&](const std::string& problem) {
        return texture_result::failure(say(msg::bitmap_unusable, {path, problem}));
    };
    bmp_header header;
    if (std::string problem = read_bmp_header(bytes, header); !problem.empty()) return refuse(problem);
    // Palette bitmaps are decoded here, completely; the image reader would fill what a damaged
    // stream leaves out with whatever memory held.
    if (header.indexed()) {
        bmp_indexed picture;
        if (std::string problem = decode_indexed_bmp(bytes, header, picture); !problem.empty())
            return refuse(problem);
        out = indexed_image(picture);
        return texture_result::success();
    }
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setDecideFormatFromContent(false);
    QImage image;
    if (!reader.read(&image) || image.isNull() || image.width() != header.width ||
        image.height() != header.height)
        return texture_result::failure(
            say(msg::bitmap_unreadable, {path, reader.errorString().toStdString()}));
    out = image;
    return texture_result::success();
}

texture_result save_bitmap(const QImage& image, const std::string& path) {
    // A level without pages has no bitmap: say so in the interface language, not with the
    // encoder's English reason.
    if (image.isNull())
        return texture_result::failure(say(msg::cannot_write, {path, say(msg::bitmap_empty)}));
    // Encoded in memory, then written as a level is: a failure names the system's reason ("No
    // space left on device", "File too large").
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(to_rgb888(image)))
        return texture_result::failure(say(msg::cannot_write, {path, writer.errorString().toStdString()}));
    try {
        write_file_atomic(path, reinterpret_cast<const std::uint8_t*>(encoded.constData()),
                          std::size_t(encoded.size()));
    } catch (const level_error& e) {
        return texture_result::failure(e.what());
    }
    return texture_result::success();
}

QImage export_big_bmp(const texture_table& table) {
    return to_rgb888(table.pages_bitmap);
}

texture_result import_big_bmp(tr_level& level, texture_table& table, const QImage& bitmap) {
    if (!table_ready(level, table)) return texture_result::failure(say(msg::no_level_is_open));
    const long long height = (long long)level.num_pages * page_size;
    if (bitmap.width() != page_size || bitmap.height() != height)
        return texture_result::failure(say(msg::bitmap_pages_size, {std::to_string(height)}));
    if (auto r = write_pages(level, bitmap); !r) return r;
    draw_display(table.pages_bitmap, to_display(bitmap), 0, 0);
    table.piece_index = -1;
    return texture_result::success();
}

QImage export_current(texture_table& table, int index) {
    return to_rgb888(texture_bitmap(table, index));
}

texture_result import_replace_current(tr_level& level, texture_table& table, int index, const QImage& bitmap,
                                      QImage* upload) {
    if (!table_ready(level, table)) return texture_result::failure(say(msg::no_level_is_open));
    if (index < 0 || index >= table.texture_count || std::size_t(index) >= level.object_textures.size())
        return texture_result::failure(
            say(msg::no_such_entry, {say(msg::texture_item, {std::to_string(index)})}));
    if (bitmap.isNull() || bitmap.width() < 1 || bitmap.height() < 1)
        return texture_result::failure(say(msg::bitmap_empty));
    const tobject_texture& t = level.object_textures[std::size_t(index)];
    const int page = texture_page(t);
    if (page >= table.page_count())
        return texture_result::failure(
            say(msg::texture_off_page, {say(msg::texture_item, {std::to_string(index)})}));

    const texture_rect r = texture_bounds(t);
    const mirror_state m = texture_mirror(t);
    QImage placed = to_rgb888(bitmap);
    if (m.left_right || m.top_bottom) placed = placed.mirrored(m.left_right, m.top_bottom);
    const QImage stretched =
        to_display(placed.scaled(r.width(), r.height(), Qt::IgnoreAspectRatio, Qt::FastTransformation));

    QImage pages = table.pages_bitmap.copy();
    draw_display(pages, stretched, r.left, page * page_size + r.top);
    if (auto result = write_pages(level, pages); !result) return result;
    table.pages_bitmap = pages;
    table.piece_index = -1;
    if (upload) *upload = placed;
    return texture_result::success();
}

void collect_regions(piece_regions& regions, const tr_level& level, const face_textures& faces, int pages) {
    if (int(regions.size()) < pages) regions.resize(std::size_t(std::max(pages, 0)));
    for (const std::uint16_t t : faces) {
        if (t >= level.object_textures.size()) continue;
        const tobject_texture& texture = level.object_textures[t];
        const int p = texture_page(texture);
        if (p >= pages) continue;
        const texture_rect r = texture_bounds(texture);
        auto& list = regions[std::size_t(p)];
        bool placed = false;
        for (auto& e : list) {
            if (e.contains(r)) {
                placed = true;
                break;
            }
            if (r.contains(e)) {
                e = r;
                placed = true;
                break;
            }
        }
        if (!placed) list.push_back(r);
    }
}

layout_size layout_regions(const piece_regions& regions) {
    int x = 0, row_height = -1;
    layout_size s;
    for (const auto& list : regions) {
        for (const auto& r : list) {
            const int w = r.width(), h = r.height();
            x += w;
            if (x <= page_size) {
                s.W = std::max(s.W, x);
                if (h > row_height) {
                    s.H = s.H - row_height + h;
                    row_height = h;
                }
            } else {
                s.H += h;
                x = w;
                s.W = std::max(s.W, x);
                row_height = h;
            }
        }
    }
    return s;
}

std::vector<piece_place> placement_walk(const piece_regions& regions, int W) {
    std::vector<piece_place> places;
    int x = 0, y = 0, row_height = -1;
    for (std::size_t p = 0; p < regions.size(); ++p) {
        for (const auto& r : regions[p]) {
            const int w = r.width(), h = r.height();
            if (h > row_height && x + w <= W) row_height = h;
            if (x + w > W) {
                x = 0;
                y += row_height;
                row_height = h;
            }
            places.push_back({int(p), r, x, y});
            x += w;
        }
    }
    return places;
}

texture_result plan_pieces(const tr_level& level, const texture_table& table,
                           const std::vector<face_textures>& meshes, piece_plan& plan) {
    if (!table_ready(level, table)) return texture_result::failure(say(msg::no_level_is_open));
    std::size_t faces = 0;
    for (const auto& m : meshes)
        faces += m.size();
    if (faces == 0) return texture_result::failure(say(msg::dxf_no_textured_face));
    plan = {};
    for (const auto& m : meshes)
        collect_regions(plan.regions, level, m, table.page_count());
    plan.size = layout_regions(plan.regions);
    if (plan.size.W <= 0 || plan.size.H <= 0) return texture_result::failure(say(msg::no_texture_of_level));
    plan.places = placement_walk(plan.regions, plan.size.W);
    return texture_result::success();
}

texture_result export_all(const tr_level& level, const texture_table& table,
                          const std::vector<face_textures>& meshes, QImage& out) {
    piece_plan plan;
    if (auto r = plan_pieces(level, table, meshes, plan); !r) return r;
    QImage combined(plan.size.W, plan.size.H, QImage::Format_RGB16);
    combined.fill(0);
    for (const auto& place : plan.places)
        draw_display(combined, copy_page_rect(table.pages_bitmap, place.page, place.rect), place.x, place.y);
    out = to_rgb888(combined);
    return texture_result::success();
}

texture_result import_and_replace(tr_level& level, texture_table& table,
                                  const std::vector<face_textures>& meshes, const QImage& bitmap) {
    piece_plan plan;
    if (auto r = plan_pieces(level, table, meshes, plan); !r) return r;
    if (bitmap.width() != plan.size.W || bitmap.height() != plan.size.H)
        return texture_result::failure(
            say(msg::bitmap_piece_size, {std::to_string(plan.size.W), std::to_string(plan.size.H)}));
    const QImage source = to_display(bitmap);
    QImage pages = table.pages_bitmap.copy();
    for (const auto& place : plan.places)
        draw_display(pages, source, place.rect.left, place.page * page_size + place.rect.top, place.x,
                     place.y, place.rect.width(), place.rect.height());
    if (auto r = write_pages(level, pages); !r) return r;
    table.pages_bitmap = pages;
    table.piece_index = -1;
    return texture_result::success();
}

std::uint32_t max_pages_for(std::int32_t game_version) {
    return game_version >= game_tr4 ? max_texture_pages : 0x7FFFu + 1;
}

texture_result import_texture_pages(tr_level& level, texture_table& table, const QImage& bitmap,
                                    int* first_new_page) {
    if (!table_ready(level, table)) return texture_result::failure(say(msg::no_level_is_open));
    if (bitmap.isNull() || bitmap.width() != page_size || bitmap.height() % page_size != 0)
        return texture_result::failure(say(msg::texture_page_size));
    const int version = level.game_version;
    const bool has8 = version < game_tr4, has16 = version >= game_tr2, has32 = version >= game_tr4;
    const std::size_t k = std::size_t(bitmap.height() / page_size);
    const std::size_t count = k * page_pixels;
    // A level with more pages than its textures can address, or its file can state, could not be
    // used or opened again.
    if (const std::uint32_t most = max_pages_for(version); level.num_pages + k > most)
        return texture_result::failure(
            say(has32 ? msg::too_many_pages : msg::too_many_pages_old_game,
                {std::to_string(most), std::to_string(level.num_pages), std::to_string(k)}));
    if (stored_pages(level) != level.num_pages || table.page_count() != int(level.num_pages))
        return texture_result::failure(say(msg::pages_incomplete));

    // Convert every new page before the level changes.
    const QImage rgb = to_rgb888(bitmap);
    std::vector<std::uint8_t> new8(has8 ? count : 0), new16(has16 ? count * 2 : 0),
        new32(has32 ? count * 4 : 0);
    palette_matcher matcher(level.palette8);
    for (int y = 0; y < rgb.height(); ++y) {
        const std::uint8_t* row = rgb.constScanLine(y);
        for (int x = 0; x < page_size; ++x) {
            const std::size_t i = std::size_t(y) * page_size + std::size_t(x);
            const rgb8 c{row[3 * x], row[3 * x + 1], row[3 * x + 2]};
            if (has8) new8[i] = matcher.nearest(c);
            if (has16) put_u16(&new16[2 * i], display_to_page16_pixel(rgb_to_display(c), false));
            if (has32) {
                const auto p = page32_pixel(c);
                std::memcpy(&new32[4 * i], p.data(), 4);
            }
        }
    }

    // The new pages go together where the level puts them (TR4/TRC: before the bump-map pages).
    const std::size_t old = level.num_pages;
    const std::size_t at = level.new_page_index();
    level.add_texture_pages(std::uint32_t(k));
    if (has8) std::copy(new8.begin(), new8.end(), level.pages8.begin() + std::ptrdiff_t(at * page8_bytes));
    if (has16)
        std::copy(new16.begin(), new16.end(), level.pages16.begin() + std::ptrdiff_t(at * page16_bytes));
    if (has32)
        std::copy(new32.begin(), new32.end(), level.pages32.begin() + std::ptrdiff_t(at * page32_bytes));

    // The display copy grows by the new pages, so every page can be shown, exported and imported;
    // the pages after them move down with them.
    QImage pages(page_size, int(level.num_pages) * page_size, QImage::Format_RGB16);
    const int new_top = int(at) * page_size, new_rows = int(k) * page_size;
    draw_display(pages, table.pages_bitmap, 0, 0, 0, 0, page_size, new_top);
    const QImage all = build_pages_bitmap(level);
    draw_display(pages, all, 0, new_top, 0, new_top, page_size, new_rows);
    draw_display(pages, table.pages_bitmap, 0, new_top + new_rows, 0, new_top, page_size,
                 int(old) * page_size - new_top);
    table.pages_bitmap = pages;
    table.piece_index = -1;
    write_pages(level, table.pages_bitmap);

    if (first_new_page) *first_new_page = int(at);
    return texture_result::success();
}
