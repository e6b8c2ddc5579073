// Where the editor finds its data (config.opt, solid.bmp, trcatalog.xml, Readme.txt, the language
// files) and where it writes the files a user changes: beside the program in the build tree, under
// <prefix>/share/vellum with the user's own copies in the XDG config folder once installed.
#pragma once

#include <QString>

struct data_folders {
    QString data; // the data files as built or installed
    QString user; // where changed files are written and read back from first; `data` in the build tree

    // Both in one folder (the build tree, tests).
    data_folders(const QString& dir) : data(dir), user(dir) {}
    data_folders(const char* dir) : data_folders(QString::fromUtf8(dir)) {}
    data_folders(const QString& data_dir, const QString& user_dir) : data(data_dir), user(user_dir) {}

    // The folders of a program in `program_dir`: `program_dir`/<bin to data> when that folder
    // exists (an installed program), otherwise `program_dir` itself. Written files go to
    // `config_root`/Vellum when the data is installed or its folder is not writable; that folder is
    // made here so later writes need no care.
    static data_folders of_program(const QString& program_dir, const QString& config_root);
    // The same for the running program (its real path, not argv[0]) and the user's XDG config folder.
    static data_folders of_running_program();

    // `name` as it should be read: the user's copy when there is one, otherwise the data file.
    QString read_path(const QString& name) const;
    // `name` as it should be written. The user's copy is first made from the data file, so a file
    // that is both read and rewritten (config.opt) keeps what it held; when no copy can be made
    // the data file is returned, and a write to it then reports its own failure.
    QString writable_copy(const QString& name) const;
};
