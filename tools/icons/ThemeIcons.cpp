// Makes the hicolor theme's images of the program's icon from its own
// icons: the 16 x 16 one as it is, the 32 x 32 one as it is and enlarged
// pixel by pixel to the bigger sizes, so every size shows the same picture.
//   quillon_theme_icons SMALL.ico LARGE.ico OUTPUT_FOLDER
// writes OUTPUT_FOLDER/SIZExSIZE/apps/quillon.png; exit status 1 when an
// icon cannot be read or an image written.
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <cstdio>

namespace {

bool writeSize(const QImage& image, int size, const QString& folder) {
    const QString dir = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
    if (!QDir().mkpath(dir))
        return false;
    const QImage scaled = image.width() == size ? image
                                                : image.scaled(size, size, Qt::IgnoreAspectRatio,
                                                               Qt::FastTransformation);
    return scaled.save(dir + QStringLiteral("/quillon.png"), "PNG");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: quillon_theme_icons SMALL.ico LARGE.ico OUTPUT_FOLDER\n", stderr);
        return 2;
    }
    // The ICO reader is a plugin, found through the application; no display is needed.
    QCoreApplication application(argc, argv);
    const QImage small(QString::fromLocal8Bit(argv[1]), "ICO");
    const QImage large(QString::fromLocal8Bit(argv[2]), "ICO");
    if (small.isNull() || large.isNull()) {
        std::fprintf(stderr, "quillon_theme_icons: cannot read %s or %s\n", argv[1], argv[2]);
        return 1;
    }
    const QString folder = QString::fromLocal8Bit(argv[3]);
    bool written = writeSize(small, 16, folder);
    for (int size : {32, 48, 64, 128, 256})
        written = writeSize(large, size, folder) && written;
    if (!written) {
        std::fprintf(stderr, "quillon_theme_icons: cannot write into %s\n", argv[3]);
        return 1;
    }
    return 0;
}
