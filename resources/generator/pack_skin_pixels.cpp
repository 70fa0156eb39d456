// Build step: turns the skin's pictures into pixel tables compiled into the program, so that starting it neither
// decodes PNG nor loads Qt's image plugins to ask each of them about the format (the reader asks them all before
// its own PNG handler). The tables are in the byte order of the machine that builds, which is the one that runs.
// Usage: lumora-skin-pixels OUTPUT.cpp PICTURE.png...
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <algorithm>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: lumora-skin-pixels OUTPUT.cpp PICTURE.png...\n");
        return 2;
    }
    QStringList pictures;
    for (int i = 2; i < argc; ++i)
        pictures.append(QString::fromLocal8Bit(argv[i]));
    std::sort(pictures.begin(), pictures.end());

    QByteArray out = "// Made at build time from resources/skin by lumora-skin-pixels.\n"
                     "#include \"controls/SkinPixels.h\"\n\nnamespace lumora\n{\n\nnamespace\n{\n";
    QByteArray table;
    int n = 0;
    for (const QString &path : pictures) {
        const QImage image(path);
        if (image.isNull() || image.colorCount() != 0) {
            std::fprintf(stderr, "lumora-skin-pixels: %s is no true-colour picture\n", qPrintable(path));
            return 1;
        }
        const QByteArray name = QFileInfo(path).completeBaseName().toUtf8();
        out += "alignas(4) const unsigned char p" + QByteArray::number(n) + "[] = {";
        const auto *bits = image.constBits();
        for (qsizetype i = 0; i < image.sizeInBytes(); ++i)
            out += (i % 24 == 0 ? "\n    " : " ") + QByteArray::number(bits[i]) + ',';
        out += "\n};\n";
        table += "    {\"" + name + "\", " + QByteArray::number(image.width()) + ", " +
                 QByteArray::number(image.height()) + ", " + QByteArray::number(image.bytesPerLine()) + ", " +
                 QByteArray::number(int(image.format())) + ", p" + QByteArray::number(n) + "},\n";
        ++n;
    }
    out += "} // namespace\n\nconst SkinPixels kSkinPixels[] = {\n" + table +
           "};\nconst int kSkinPixelCount = " + QByteArray::number(n) + ";\n\n} // namespace lumora\n";

    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size()) {
        std::fprintf(stderr, "lumora-skin-pixels: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
