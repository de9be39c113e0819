// The fixed file names and extensions.
#pragma once

enum class FileName {
    DataExtensionDot = 0,  // ".PAR"
    DataExtension = 1,     // "PAR"
    DataFolder = 2,        // "DAT"
    DefaultDataName = 3,   // "PARI"
    ReportExtension = 4,   // "TXT"
    SettingsFile = 5,      // "PARIETA.CFG"
};

// The name for an index of the table (0 to 5 as above); any other index
// gives the empty text.
const char* file_name_of(int index);
inline const char* file_name_of(FileName name) { return file_name_of(static_cast<int>(name)); }
