#include "paths/arguments.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace {

QString absolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

}  // namespace

QString data_file_argument(const QStringList& arguments) {
    bool options_end = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (!options_end && a == QLatin1String("--")) {
            options_end = true;
            continue;
        }
        if (a.isEmpty() || (!options_end && a.startsWith(QLatin1Char('-')))) continue;
        if (a.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
            const QUrl url(a);
            if (!url.isLocalFile() || url.toLocalFile().isEmpty()) continue;
            return absolute(url.toLocalFile());
        }
        if (a.contains(QLatin1String("://"))) continue;  // a remote file is no data file of ours
        return absolute(a);
    }
    return {};
}
