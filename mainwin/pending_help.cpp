// Stand-ins until field help and the information buttons land; delete this
// file in the commit that defines them.
#include "mainwin/Quil_gui.h"

void TForm_quil::eh_sb_info_OnClick(QObject*) { refresh_results(false, true); }
void TForm_quil::eh_sb_materials_OnClick() { refresh_results(false, true); }
void TForm_quil::field_help(QObject*) {}
