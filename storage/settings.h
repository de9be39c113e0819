// The settings file (the language between runs), the executable's folder and
// where the program keeps its files.
#pragma once

#include <cstddef>
#include <cstdint>

// Paths are built in buffers of this size, terminator included.
constexpr std::size_t SETTINGS_PATH_SIZE = 260;

// The executable's folder, ending with "/"; the empty text when it does not
// fit in `size` bytes with its terminator or cannot be found.
void exe_directory(char* buffer, std::size_t size);
// Whether the settings file and the data folder live beside the executable,
// as when it runs from the build folder or a copy the user made. Not when it
// is installed (its folder is PREFIX/bin/ with PREFIX/share/applications/
// pl.parieta.Parieta.desktop beside it, even where root or the owner of
// ~/.local may write), and not when its folder exists and the user may not
// write it.
// Writability comes from the folder's owner and mode bits, a read-only mount
// and access(), so root is not taken for a user who may write anywhere.
bool files_beside_executable();
// The folder of the settings file, ending with "/": the executable's folder,
// or else $XDG_CONFIG_HOME/parieta/ (~/.config/parieta/). The empty text
// when it cannot be named or does not fit.
void settings_directory(char* buffer, std::size_t size);
// settings_directory followed by "PARIETA.CFG"; the empty text when it does
// not fit.
void settings_path(char* buffer, std::size_t size);
// The data folder, without a final "/": "DAT" in the executable's folder, or
// else PARIETA/DAT in the user's documents folder ($XDG_DOCUMENTS_DIR, then
// the one named in user-dirs.dirs, then ~/Documents). The empty text when it
// cannot be named or does not fit.
void data_directory(char* buffer, std::size_t size);

// The language stored in the settings file, 0 or 1; 1 when there is none,
// it is short, or it holds another value. Silent.
int read_settings();
// Stores the language when it differs from the one last read, creating the
// user's settings folder when needed; a write that does not complete removes
// the file. Silent.
void write_settings(int language);
// Tests: take `directory` as the executable's folder; null goes back to the
// real one.
void set_exe_directory_for_testing(const char* directory);
