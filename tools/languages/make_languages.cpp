// Writes the nine language files from their readable sources. Fails (exit status 1) when a source
// has a syntax error, lacks a text that English (US) has, or has one English (US) lacks.
//
//   vellum-make-languages TEXTS_DIR OUT_DIR BASE     -> OUT_DIR/BASE_<code>.lng
#include "language_file.h"
#include "languages.h"
#include "text_source.h"

#include <fstream>
#include <iostream>

namespace {

bool parse(const std::string& dir, const language_info& language, lng_catalogue& out) {
    const std::string path = dir + "/" + std::string(language.text_file);
    std::optional<text_source_result> r = read_text_source(dir, language);
    if (!r) {
        std::cerr << path << ": cannot be read\n";
        return false;
    }
    for (const auto& e : r->errors)
        std::cerr << path << ": " << e << "\n";
    out = std::move(r->catalogue);
    return r->errors.empty();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: vellum-make-languages TEXTS_DIR OUT_DIR BASE\n";
        return 2;
    }
    const std::string texts = argv[1];
    const std::string out_dir = argv[2];
    const std::string base = argv[3];

    lng_catalogue reference;
    bool ok = parse(texts, languages[english_us_index], reference);
    for (const auto& language : languages) {
        lng_catalogue catalogue;
        if (!parse(texts, language, catalogue)) {
            ok = false;
            continue;
        }
        const std::string source = std::string(language.text_file);
        bool complete = true;
        for (const auto& key : missing_elements(reference, catalogue)) {
            std::cerr << source << ": lacks " << key << "\n";
            complete = false;
        }
        for (const auto& key : missing_elements(catalogue, reference)) {
            std::cerr << source << ": " << key << " is not an English (US) text\n";
            complete = false;
        }
        if (!complete) {
            ok = false;
            continue;
        }
        const std::string path = out_dir + "/" + base + "_" + std::string(language.code) + ".lng";
        const lng_write_result w =
            write_language(catalogue, base + "_" + std::string(language.code) + ".lng");
        if (!w.problem.empty()) {
            std::cerr << source << ": " << w.problem << "\n";
            ok = false;
            continue;
        }
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(w.bytes.data()), std::streamsize(w.bytes.size()));
        if (!out) {
            std::cerr << path << ": cannot be written\n";
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
