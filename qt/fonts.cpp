#include "qt/fonts.h"

void register_font_substitutes() {
    static const bool done = [] {
        QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
        QFont::insertSubstitution("Courier New", "Liberation Mono");
        return true;
    }();
    (void)done;
}

QFont window_font(int points) {
    // "MS Sans Serif" is a bitmap face of sizes 8, 10, 12, 14, 18 and 24
    // points; a size between two renders at the smaller one. The stand-in
    // face follows that, so texts keep the widths the grid columns allow.
    static const int sizes[] = {8, 10, 12, 14, 18, 24};
    int rendered = sizes[0];
    for (int size : sizes)
        if (size <= points) rendered = size;
    QFont f("MS Sans Serif");
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(rendered);
    return f;
}

QFont fixed_pitch_font(int points) {
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setPointSize(points);
    return f;
}
