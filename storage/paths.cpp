#include "storage/paths.h"

namespace {

constexpr char16_t KEPT_BYTE = 0xDC00;  // U+DC80..U+DCFF: a byte >= 0x80 kept as it is

bool continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The length of the valid UTF-8 sequence at `s` (RFC 3629: no overlong
// forms, no surrogates, nothing past U+10FFFF), or 0.
int utf8_length(const unsigned char* s, qsizetype left) {
    const unsigned char c = s[0];
    int n = 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    }
    if (n == 0 || left < n || s[1] < low || s[1] > high) return 0;
    for (int i = 2; i < n; ++i)
        if (!continuation(s[i])) return 0;
    return n;
}

}  // namespace

QString path_from_bytes(const QByteArray& bytes) {
    QString out;
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        if (s[i] < 0x80) {
            out += QChar(s[i++]);
            continue;
        }
        const int n = utf8_length(s + i, size - i);
        if (n == 0) {
            out += QChar(char16_t(KEPT_BYTE | s[i++]));
            continue;
        }
        out += QString::fromUtf8(reinterpret_cast<const char*>(s + i), n);
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
