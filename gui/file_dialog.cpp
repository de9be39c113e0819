#include <cstdint>

#include "lang/catalogue.h"
#include "qt/text_1250.h"
#include "document/ui.h"

void FileDialog::prepare(int title_id, int filter_id, const QString& start_dir,
                         const QString& file_name, const QString& extension) {
    title = from_1250(catalogue_a_text(std::int8_t(title_id)));
    filter = from_1250(catalogue_a_text(std::int8_t(filter_id)));
    filter_index = 1;
    dir = start_dir;
    name = file_name;
    default_ext = extension;
    on_selection_change = nullptr;
}

QString folder_part(const QString& path) {
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}
QString name_part(const QString& path) { return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1); }
