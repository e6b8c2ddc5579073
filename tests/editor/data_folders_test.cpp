// Where the editor finds its data and writes what the user changes: build tree and installed.
#include "app_settings.h"
#include "data_folders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void put(const QString& path, const QByteArray& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

struct layout_case {
    const char* what;
    const char* program_dir; // under the temporary root
    const char* data_dir;    // where config.opt is put
    bool read_only_data;     // the data folder cannot be written
    bool writes_to_user;     // changed files go to <config>/Vellum
};

TEST(DataFolders, DataIsFoundFromTheProgramAndChangedFilesGoWhereTheyMay) {
    const layout_case cases[] = {
        {"build tree", "build/app", "build/app", false, false},
        {"installed prefix", "prefix/bin", "prefix/share/vellum", false, true},
        {"read-only folder beside the program", "ro/app", "ro/app", true, true},
    };
    for (const auto& c : cases) {
        if (c.read_only_data && geteuid() == 0) continue; // root writes to read-only folders
        QTemporaryDir root;
        const QString program = root.filePath(c.program_dir), data = root.filePath(c.data_dir);
        const QString config_root = root.filePath("home/.config");
        ASSERT_TRUE(QDir().mkpath(program) && QDir().mkpath(data));
        put(data + "/config.opt", "16\r\nWHITE\r\n");
        if (c.read_only_data) chmod(QFile::encodeName(data).constData(), 0555);

        const data_folders f = data_folders::of_program(program, config_root);
        EXPECT_EQ(f.data, QDir::cleanPath(data)) << c.what;
        const QString user = c.writes_to_user ? config_root + "/Vellum" : QDir::cleanPath(data);
        EXPECT_EQ(f.user, user) << c.what;

        // A setting saved keeps the other line, lands in the user's folder and is read back first.
        const QString config = f.writable_copy("config.opt");
        EXPECT_EQ(config, user + "/config.opt") << c.what;
        write_config_colour_bits(config.toStdString(), 32);
        const auto read = read_config_opt(f.read_path("config.opt").toStdString());
        EXPECT_EQ(read.colour_bits, 32) << c.what;
        EXPECT_TRUE(read.white_background) << c.what;
        if (c.writes_to_user) {
            EXPECT_EQ(read_config_opt((data + "/config.opt").toStdString()).colour_bits, 16) << c.what;
        }
        chmod(QFile::encodeName(data).constData(), 0755);
    }
}

} // namespace
