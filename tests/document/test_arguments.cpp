// The data file among the program's arguments.
#include <gtest/gtest.h>

#include <QDir>

#include "document/arguments.h"

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

}  // namespace
