// Build tool: decodes pictures with Qt's own readers and writes their pixels as C++ arrays of
// premultiplied ARGB words, the form the window draws from, so that the program shows them
// without loading an image plugin or decoding anything at start-up.
// Usage: embed_pixels OUTPUT.cpp NAME PICTURE [NAME PICTURE...]
#include <QFile>
#include <QImage>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc < 4 || argc % 2 != 0) {
        std::fprintf(stderr, "usage: %s OUTPUT.cpp NAME PICTURE [NAME PICTURE...]\n", argv[0]);
        return 2;
    }
    QString text;
    QTextStream out(&text);
    out << "// Made by embed_pixels from the pictures named below; do not edit.\n"
           "#include \"window/qt/start_pictures.h\"\n\nnamespace pictures {\n";
    for (int i = 2; i < argc; i += 2) {
        const QString file = QString::fromLocal8Bit(argv[i + 1]);
        const QImage image = QImage(file).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) {
            std::fprintf(stderr, "embed_pixels: cannot read %s\n", argv[i + 1]);
            return 1;
        }
        const char* name = argv[i];
        out << "\n// " << QFile::decodeName(argv[i + 1]).section(u'/', -1) << "\nstatic const "
            << "std::uint32_t " << name << "Words[] = {";
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                out << (x % 8 == 0 ? "\n    " : " ") << "0x"
                    << QString::number(line[x], 16).rightJustified(8, u'0') << ',';
            }
        }
        out << "\n};\nconst Pixels " << name << "{" << image.width() << ", " << image.height()
            << ", " << name << "Words};\n";
    }
    out << "\n}  // namespace pictures\n";
    out.flush();
    QFile output(QString::fromLocal8Bit(argv[1]));
    if (!output.open(QIODevice::WriteOnly) || output.write(text.toUtf8()) != text.toUtf8().size()) {
        std::fprintf(stderr, "embed_pixels: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
