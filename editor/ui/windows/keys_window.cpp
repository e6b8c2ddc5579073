// The Keys Guide text and window.
#include "keys_window.h"

#include <QPlainTextEdit>
#include <QStringList>
#include <QVBoxLayout>

QString keys_guide_text() {
    const char* lines[] = {
        "VELLUM KEYS GUIDE",
        "=================",
        "",
        "On the Render Window:",
        "===================",
        "",
        "-CLICK in a face to aply the Current Texture.",
        "-CTRL+CLICK  in a face to Get the Texture.",
        "-CTRL + CLICK in a POINT for know the Vertex numer.",
        "-ALT+CLICK in a face to Rotate the Texture.",
        "- CTRL + SHIFT+CLICK  to Cut the Face.",
        "",
        "-Right Click: Rotate the Selected Item.",
        "-CTRL+ Right Click: Zoon In/Out",
        "-SHIFT + Right Click: Pan the Selected Item.",
        "",
        "On the Program",
        "============",
        "",
        "ALT   + C : Center Camera",
        "ALT   + W: Wireframe Mode",
        "ALT   + S: Solid Mode",
        "ALT   + T: Textured Mode",
        "ALT   + P: Point Mode",
        "ALT   + B: Show Boxes",
        "ALT   + E: Enable Static Mesh lights",
        "ALT   + A: Change All Static Mesh lights",
        "ALT   + F: Apply Shinny effect to All current Model",
        "",
        "CTRL +O : Open TR file.",
        "CTRL +S: Save the file.",
        "CTRL +U: Undo (CTRL + Z too).",
        "CTRL +R: Redo (CTRL + SHIFT + Z too).",
        "CTRL +T: Convert Colored to Textured Faces",
        "CTRL +M: Retexture Current Mesh",
        "CTRL +A: Apply Intensity Alpha",
        "CTRL +E: Export all textures to a single BMP file",
        "CTRL + I: Import the textures of the model.",
        "CTRL + D: Define Mouse Selected",
        "SHIFT + drag on the texture page: mark a new texture (CTRL + D)",
        "CTRL + V: Open the Remap Option",
        "",
        "F1: Keys Guide.",
        "F2: Enable/Disable Perspective Correct.",
        "F3: Enable/Disable Automatic OpenGL buffers Update",
    };
    QStringList list;
    for (const char* l : lines)
        list << l;
    return list.join('\n');
}

keys_window::keys_window(QWidget* parent) : QDialog(parent) {
    setObjectName("TKeys");
    setWindowTitle("Keys Guide");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* memo = new QPlainTextEdit(keys_guide_text(), this);
    memo->setObjectName("Memo1");
    memo->setReadOnly(true);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(memo);
    setFixedSize(356, 344);
}
