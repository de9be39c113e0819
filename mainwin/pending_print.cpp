// Stand-in until the print command lands; delete this file in the commit
// that defines it.
#include "mainwin/Quil_gui.h"

void TForm_quil::eh_sb_print_OnClick() {}
