#include "document/ui.h"
#include "lang/catalogue.h"

void FileDialog::prepare(TextA title_id, TextA filter_id, const QString& start_dir,
                         const QString& file_name, const QString& extension) {
    prepare(catalogue_a_text(title_id), catalogue_a_text(filter_id), start_dir, file_name,
            extension);
}

void FileDialog::prepare(const char* title_text, const char* filter_text, const QString& start_dir,
                         const QString& file_name, const QString& extension) {
    title = title_text;
    filter = filter_text;
    filter_index = 1;
    dir = start_dir;
    name = file_name;
    default_ext = extension;
    on_selection_change = nullptr;
}
