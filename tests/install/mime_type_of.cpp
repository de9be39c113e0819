// Prints the MIME type of each file named, one a line, as Qt's database
// (the shared MIME database of XDG_DATA_DIRS) finds it from name and content.
#include <QCoreApplication>
#include <QMimeDatabase>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QMimeDatabase db;
    for (int i = 1; i < argc; ++i) {
        const QMimeType type = db.mimeTypeForFile(QString::fromLocal8Bit(argv[i]));
        std::printf("%s\n", type.name().toUtf8().constData());
    }
    return 0;
}
