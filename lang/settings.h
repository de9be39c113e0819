// The settings file (the language between runs), the file-name table and
// the executable's folder.
#pragma once

#include <cstddef>
#include <cstdint>

const char* file_name_of(int index);
void exe_directory(char* buffer, std::size_t size);
void settings_path(char* buffer, std::size_t size);
int read_settings();
void write_settings(int language);
std::int32_t saved_language();
