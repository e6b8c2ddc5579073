// Finding the data folder from the program's own path, and the user's copies of changed files.
#include "data_folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <filesystem>

#ifndef VELLUM_DATA_FROM_BIN
#define VELLUM_DATA_FROM_BIN "../share/vellum"
#endif

data_folders data_folders::of_program(const QString& program_dir, const QString& config_root) {
    const QString installed = QDir::cleanPath(program_dir + "/" + QStringLiteral(VELLUM_DATA_FROM_BIN));
    const bool is_installed = QFileInfo(installed).isDir();
    const QString data = is_installed ? installed : QDir::cleanPath(program_dir);
    // An installed folder belongs to the package manager even where this user may write to it
    // (root): files left there would outlive the package.
    if (!is_installed && QFileInfo(data).isWritable()) return data_folders(data);
    const QString user = QDir::cleanPath(config_root + "/Vellum");
    QDir().mkpath(user);
    return data_folders(data, user);
}

data_folders data_folders::of_running_program() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    const QString dir = ec ? QDir::currentPath() : QString::fromStdString(exe.parent_path().string());
    return of_program(dir, QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

QString data_folders::read_path(const QString& name) const {
    const QString own = user + "/" + name;
    return user != data && QFileInfo::exists(own) ? own : data + "/" + name;
}

QString data_folders::writable_copy(const QString& name) const {
    const QString own = user + "/" + name;
    if (user == data) return own;
    if (!QFileInfo::exists(own)) {
        const QString shipped = data + "/" + name;
        if (QFileInfo::exists(shipped) && QFile::copy(shipped, own))
            // The copy keeps the installed file's read-only mode; the user's copy must be writable.
            QFile::setPermissions(own,
                                  QFile::permissions(own) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
        else if (QFileInfo::exists(shipped))
            return shipped;
    }
    return own;
}
