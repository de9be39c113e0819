// Stand-ins until the file commands land; delete this file in the commit
// that defines them.
#include "mainwin/Quil_gui.h"

bool TForm_quil::confirm_discard() { return true; }
void TForm_quil::eh_sb_open_OnClick() {}
void TForm_quil::eh_sb_save_OnClick() {}
void TForm_quil::eh_sb_save_as_OnClick() {}
