#include "qt/text_1250.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <bitset>

namespace {

QString replace_unmapped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += QLatin1Char('?');
            ++i;
        } else if (c.isSurrogate() || !has_1250_form(c)) {
            out += QLatin1Char('?');
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

bool has_1250_form(QChar c) {
    // The code page's characters are exactly what its 256 bytes decode to.
    static const std::bitset<0x10000> forms = [] {
        std::bitset<0x10000> set;
        QStringDecoder decoder("windows-1250");
        for (int b = 1; b < 256; ++b) {
            const char byte = char(b);
            const QString s = decoder.decode(QByteArrayView(&byte, 1));
            if (s.size() == 1 && s[0] != QChar::ReplacementCharacter) set.set(s[0].unicode());
        }
        return set;
    }();
    return forms.test(c.unicode());
}

std::string to_1250(const QString& text) {
    QStringEncoder encoder("windows-1250");
    const QByteArray bytes = encoder.encode(replace_unmapped(text));
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

QString from_1250(const char* text) {
    if (!text) return {};
    const QByteArrayView bytes(text);
    // One decoder a thread for every call: the code page is single-byte, so
    // no state carries from one text to the next, and making one costs a
    // lookup (a tenth of the graph's drawing time).
    thread_local QStringDecoder decoder("windows-1250");
    // A Qt without the code page still shows the ASCII part right.
    if (!decoder.isValid()) return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

QValidator::State Win1250Validator::validate(QString& input, int& pos) const {
    const QString clean = replace_unmapped(input);
    if (clean != input) {
        // A pair became one character: keep the cursor after what was typed.
        pos = int(std::min<qsizetype>(pos - (input.size() - clean.size()), clean.size()));
        if (pos < 0) pos = 0;
        input = clean;
    }
    return Acceptable;
}
