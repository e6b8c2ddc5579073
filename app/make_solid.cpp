// Writes the solid-mode texture (solid.bmp) beside the programs at build time.
#include "texture_upload.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vellum-make-solid OUT.bmp\n");
        return 64;
    }
    return default_solid_bitmap().save(QString::fromLocal8Bit(argv[1]), "BMP") ? 0 : 1;
}
