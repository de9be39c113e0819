#include "document/ui.h"
#include "lang/catalogue.h"

void FileDialog::prepare(TextA title_id, TextA filter_id, const QString& start_dir,
                         const QString& file_name, const QString& extension) {
    title = catalogue_a_text(title_id);
    filter = catalogue_a_text(filter_id);
    filter_index = 1;
    dir = start_dir;
    name = file_name;
    default_ext = extension;
    on_selection_change = nullptr;
}
