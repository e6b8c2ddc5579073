// libFuzzer target for the language-file reader: any input is read into a catalogue that already
// knows a few windows, and into an empty one whose catalogue must survive writing and reading back.
#include "language_file.h"

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "language reader invariant broken: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lng_catalogue known;
    known.set("TForm1", "OpenFile1", element_caption, "&Open");
    known.set("TForm1", "ComboBox2", 2, "Semi-Transparent");
    known.set("TKeys", "Memo1", 0, "VELLUM KEYS GUIDE");
    const lng_read_result merged = read_language(data, size, known);
    if (!merged.ok && merged.problem.empty()) broken("a failed read says nothing");
    for (const auto& f : known.forms)
        for (const auto& c : f.components)
            if (c.elements.empty()) broken("an empty component was kept");

    lng_catalogue fresh;
    read_language(data, size, fresh);
    const lng_write_result written = write_language(fresh, "fuzz.lng");
    if (!written.problem.empty()) return 0; // more than a file may hold; the writer refused it
    lng_catalogue again;
    const lng_read_result r = read_language(written.bytes.data(), written.bytes.size(), again);
    if (!r.ok) broken("a written catalogue does not read back");
    if (!(again == fresh)) broken("a written catalogue reads back different");
    return 0;
}
