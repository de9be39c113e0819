#include "paths/paths.h"

#include <string_view>

#include "lang/utf8.h"

namespace {

constexpr char16_t KEPT_BYTE = 0xDC00;  // U+DC80..U+DCFF: a byte >= 0x80 kept as it is

}  // namespace

QString path_from_bytes(const QByteArray& bytes) {
    QString out;
    const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.constData());
    for (std::size_t i = 0; i < text.size();) {
        if (s[i] < 0x80) {
            out += QChar(s[i++]);
            continue;
        }
        const std::size_t n = utf8_sequence_length(text, i);
        if (n == 0) {
            out += QChar(char16_t(KEPT_BYTE | s[i++]));
            continue;
        }
        out += QString::fromUtf8(text.data() + i, static_cast<qsizetype>(n));
        i += n;
    }
    return out;
}

QByteArray path_to_bytes(const QString& path) {
    QByteArray out;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar c = path[i];
        if (c.isHighSurrogate() && i + 1 < path.size() && path[i + 1].isLowSurrogate()) {
            out += QString(path.constData() + i, 2).toUtf8();
            ++i;
        } else if (c.unicode() >= (KEPT_BYTE | 0x80) && c.unicode() <= (KEPT_BYTE | 0xFF)) {
            out += char(c.unicode() & 0xFF);
        } else if (c.isSurrogate()) {
            out += QString(QChar::ReplacementCharacter).toUtf8();
        } else {
            out += QString(c).toUtf8();
        }
    }
    return out;
}

QString shown_path(const QString& path) {
    QString out = path;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i].isHighSurrogate() && i + 1 < out.size() && out[i + 1].isLowSurrogate())
            ++i;
        else if (out[i].isSurrogate())
            out[i] = QChar::ReplacementCharacter;
    }
    return out;
}

QString folder_part(const QString& path) {
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}
QString name_part(const QString& path) { return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1); }
