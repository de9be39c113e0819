// The data file among the program's arguments, and file names as bytes.
#include <gtest/gtest.h>

#include <QDir>

#include "paths/arguments.h"
#include "paths/paths.h"

namespace {

TEST(DataFileArgument, TheFirstFileAmongTheArgumentsAsAnAbsolutePath) {
    const QString here = QDir::currentPath();
    struct Case {
        const char* name;
        QStringList arguments;  // argv[0] first, Qt's options already taken out
        QString expected;
    };
    const Case cases[] = {
        {"none", {"parieta"}, ""},
        {"relative, cleaned", {"parieta", "walls/../WALL.PAR"}, here + "/WALL.PAR"},
        {"absolute", {"parieta", "/data/x y.par"}, "/data/x y.par"},
        {"options and later files ignored",
         {"parieta", "--new", "-x", "a.PAR", "b.PAR"},
         here + "/a.PAR"},
        {"after --, a name like an option", {"parieta", "--", "-odd.PAR"}, here + "/-odd.PAR"},
        {"empty argument skipped", {"parieta", "", "c.PAR"}, here + "/c.PAR"},
        {"file URL", {"parieta", "file:///data/w%20x.PAR"}, "/data/w x.PAR"},
        {"remote URL is no file", {"parieta", "https://example.org/w.PAR"}, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(data_file_argument(c.arguments), c.expected) << c.name;
}

// File names are bytes: a name that is not UTF-8 must come back as the same
// bytes, or Save would write another file.
TEST(FileNameBytes, EveryNameSurvivesTheTripThroughAString) {
    struct Case {
        const char* name;
        QByteArray bytes;
        bool utf8;
    };
    const Case cases[] = {
        {"ASCII", "/data/WALL.PAR", true},
        {"Polish in UTF-8", "\305\232ciana.PAR", true},
        {"a four-byte character", "\xf0\x9f\x98\x80.PAR", true},
        {"Polish in Windows-1250", "\214ciana.PAR", false},
        {"bytes no text has", "\xff\xfe.PAR", false},
        {"an overlong slash", "a\300\257b", false},
        {"an encoded surrogate", "\xed\xa0\x80", false},
        {"past U+10FFFF", "\xf4\x90\x80\x80", false},
        {"cut short", "x\xe2\x82", false},
    };
    for (const Case& c : cases) {
        const QString path = path_from_bytes(c.bytes);
        EXPECT_EQ(path_to_bytes(path), c.bytes) << c.name;
        if (c.utf8) {
            EXPECT_EQ(path, QString::fromUtf8(c.bytes)) << c.name;
        }
        const QString shown = shown_path(path);
        EXPECT_EQ(shown.contains(QChar::ReplacementCharacter), !c.utf8) << c.name;
        EXPECT_EQ(shown_path(shown), shown) << c.name << ": nothing left to replace";
    }
}

}  // namespace
