// Stand-in until the language switch lands; delete this file in the commit
// that defines it.
#include "mainwin/Quil_gui.h"

void TForm_quil::eh_sb_language_OnClick(QObject*) { refresh_results(false, true); }
