// Stand-ins until the export commands land; delete this file in the commit
// that defines them.
#include "mainwin/Quil_gui.h"

void TForm_quil::eh_sb_export_OnClick() {}
void TForm_quil::eh_sb_export_as_OnClick() {}
