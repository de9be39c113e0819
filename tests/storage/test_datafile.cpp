#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "core/Quil_c.h"
#include "storage/datafile.h"
#include "tests/support/temp_dir.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void write_bytes(const std::string& path, const Bytes& b) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// A well-formed file around any payload, whatever values it holds.
Bytes file_of(const PartitionInput& in) {
    Bytes b(DATA_FILE_SIZE, 0);
    std::memcpy(b.data(), "QDAT\x01\x00\x00\x00", 8);
    std::memcpy(b.data() + HEADER_SIZE, &in, PAYLOAD_SIZE);
    for (std::size_t i = HEADER_SIZE; i < b.size(); ++i) b[i] ^= 0x80;
    const std::uint32_t sum = data_checksum(b.data() + HEADER_SIZE, PAYLOAD_SIZE);
    std::memcpy(b.data() + 8, &sum, 4);
    return b;
}

bool same_input(const Partition& a, const Partition& b) {
    return std::memcmp(static_cast<const PartitionInput*>(&a),
                       static_cast<const PartitionInput*>(&b), PAYLOAD_SIZE) == 0;
}

bool same_record(const Partition& a, const Partition& b) {
    return same_input(a, b) && a.modified == b.modified && a.k == b.k &&
           std::memcmp(a.temp, b.temp, sizeof a.temp) == 0;
}

// A record whose every input byte differs from the defaults, to see it replaced.
Partition marked_record() {
    Partition p;
    p.temp_int = 21.5;
    p.k = 3.25;
    p.temp[2] = 9.0;
    p.modified = 1;
    return p;
}

class DataFile : public TempDirTest {
protected:
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        DIR* d = ::opendir(dir_.c_str());
        while (dirent* e = ::readdir(d)) {
            if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, ".."))
                names.push_back(e->d_name);
        }
        ::closedir(d);
        return names;
    }
};

}  // namespace

TEST(DataChecksum, KnownValues) {
    EXPECT_EQ(data_checksum(reinterpret_cast<const std::uint8_t*>("abc"), 3), 38404390u);
    EXPECT_EQ(data_checksum(nullptr, 0), 0u);
    // Both sums wrap at 65535, not at 65536.
    const Bytes ff(258, 0xFF);
    EXPECT_EQ(data_checksum(ff.data(), 257) & 0xFFFF, 0u);
}

TEST_F(DataFile, DefaultRecordFile) {
    Partition p;
    p.modified = 1;
    ASSERT_EQ(write_data_file(p, path("a.PAR").c_str()), 0);
    EXPECT_EQ(p.modified, 0);
    const Bytes b = read_bytes(path("a.PAR"));
    ASSERT_EQ(b.size(), 884u);
    const Bytes header = {'Q', 'D', 'A', 'T', 0x01, 0x00, 0x00, 0x00, 0x9D, 0x9B, 0xC3, 0xBA};
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 12), header);
    EXPECT_EQ(data_checksum(b.data() + 12, 872), 3133381533u);
    EXPECT_EQ(b, file_of(Partition{}));
    EXPECT_EQ(b[12], 4 ^ 0x80);   // layer_count, transformed
    EXPECT_EQ(b[12 + 80], 0x80);  // empty title

    Partition back = marked_record();
    ASSERT_EQ(read_data_file(back, path("a.PAR").c_str()), 0);
    EXPECT_TRUE(same_input(back, Partition{}));
    EXPECT_EQ(back.modified, 0);
    EXPECT_EQ(back.k, 3.25);  // results are not part of the file
}

TEST_F(DataFile, RoundTripKeepsEverySlotAndPadding) {
    Partition p;
    p.wall_type = 1;
    p.calc_mode = 0;
    p.layer_count = 2;
    set_title(p,
              "Wall at 20\xB0"
              "C");  // a high byte, as Windows-1250 text has
    std::strcpy(p.layers[9].description, "not in use");
    p.layers[10].thickness = 7.0;  // unused slots are carried, not checked
    p.padding0[1] = 0x5A;          // as a file may carry them
    p.padding1[3] = 0xA5;
    p.layers[1].padding[2] = 0x11;
    ASSERT_EQ(write_data_file(p, path("r.par").c_str()), 0);
    Partition back;
    ASSERT_EQ(read_data_file(back, path("r.par").c_str()), 0);
    EXPECT_TRUE(same_input(back, p));
}

TEST_F(DataFile, EverySingleByteChangeOfThePayloadIsRefused) {
    const Bytes good = file_of(Partition{});
    // In memory, every other value of every byte: the sums move by less than 65535.
    Bytes payload(good.begin() + 12, good.end());
    const std::uint32_t sum = data_checksum(payload.data(), payload.size());
    for (std::size_t i = 0; i < payload.size(); ++i) {
        const std::uint8_t keep = payload[i];
        for (int v = 0; v < 256; ++v) {
            if (v == keep) continue;
            payload[i] = static_cast<std::uint8_t>(v);
            ASSERT_NE(data_checksum(payload.data(), payload.size()), sum) << i << " " << v;
        }
        payload[i] = keep;
    }
    // Through the reader, one change at every offset.
    const std::string f = path("x.PAR");
    for (std::size_t i = 12; i < good.size(); ++i) {
        Bytes bad = good;
        bad[i] ^= static_cast<std::uint8_t>(1u << (i % 8));
        write_bytes(f, bad);
        Partition target = marked_record();
        ASSERT_EQ(read_data_file(target, f.c_str()), 2) << i;
        ASSERT_TRUE(same_record(target, marked_record())) << i;
    }
}

TEST_F(DataFile, HeaderChanges) {
    struct Case {
        const char* name;
        std::size_t offset;
        std::uint8_t value;
        int result;
    };
    const Case cases[] = {
        {"magic", 0, 'q', 2},         {"magic last", 3, 'X', 2},    {"version 2", 4, 2, 2},
        {"version 257", 5, 1, 2},     {"reserved low", 6, 0xFF, 0}, {"reserved high", 7, 0x12, 0},
        {"checksum low", 8, 0x9C, 2}, {"checksum high", 11, 0, 2},
    };
    const std::string f = path("h.PAR");
    for (const Case& c : cases) {
        Bytes b = file_of(Partition{});
        b[c.offset] = c.value;
        write_bytes(f, b);
        Partition target = marked_record();
        EXPECT_EQ(read_data_file(target, f.c_str()), c.result) << c.name;
        EXPECT_EQ(same_record(target, marked_record()), c.result != 0) << c.name;
    }
}

TEST_F(DataFile, ShortAndLongFiles) {
    const Bytes good = file_of(Partition{});
    const std::string f = path("s.PAR");
    for (std::size_t n = 0; n < good.size(); ++n) {
        write_bytes(f, Bytes(good.begin(), good.begin() + static_cast<long>(n)));
        Partition target = marked_record();
        ASSERT_EQ(read_data_file(target, f.c_str()), 2) << n;
        ASSERT_TRUE(same_record(target, marked_record())) << n;
    }
    Bytes longer = good;
    longer.insert(longer.end(), 5000, 0xEE);
    write_bytes(f, longer);
    Partition target = marked_record();
    EXPECT_EQ(read_data_file(target, f.c_str()), 0);
    EXPECT_TRUE(same_input(target, Partition{}));
}

TEST_F(DataFile, WhatCannotBeOpened) {
    Partition target = marked_record();
    EXPECT_EQ(read_data_file(target, path("missing.PAR").c_str()), 1);
    EXPECT_EQ(read_data_file(target, dir_.c_str()), 1);
    EXPECT_EQ(read_data_file(target, ""), 1);
    EXPECT_EQ(read_data_file(target, nullptr), 1);
    // A pipe without a writer must not hang the open dialog's preview.
    ASSERT_EQ(::mkfifo(path("pipe.PAR").c_str(), 0600), 0);
    EXPECT_EQ(read_data_file(target, path("pipe.PAR").c_str()), 1);
    EXPECT_EQ(read_data_file(target, "/dev/zero"), 1);
    EXPECT_TRUE(same_record(target, marked_record()));
}

// The checksum may be right while the values are not: reading works, validation refuses.
TEST_F(DataFile, NonFiniteValuesReadButNeverCalculate) {
    struct Case {
        const char* name;
        void (*spoil)(PartitionInput&);
    };
    const Case cases[] = {
        {"NaN temperature",
         [](PartitionInput& in) { in.temp_int = std::numeric_limits<double>::quiet_NaN(); }},
        {"infinite thickness",
         [](PartitionInput& in) {
             in.layers[1].thickness = std::numeric_limits<double>::infinity();
         }},
        {"NaN Delta", [](PartitionInput& in) { in.layers[0].delta = std::nan("0x7ff"); }},
        {"NaN radius, curved",
         [](PartitionInput& in) {
             in.wall_type = 1;
             in.radius = std::numeric_limits<double>::quiet_NaN();
         }},
        {"no layers", [](PartitionInput& in) { in.layer_count = 0; }},
        {"too many layers", [](PartitionInput& in) { in.layer_count = 30000; }},
        {"negative layer count", [](PartitionInput& in) { in.layer_count = -7; }},
        {"mode 3", [](PartitionInput& in) { in.calc_mode = 3; }},
    };
    const std::string f = path("n.PAR");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Partition source;
        c.spoil(source);
        write_bytes(f, file_of(source));
        Partition p;
        p.k = 1.5;
        ASSERT_EQ(read_data_file(p, f.c_str()), 0);
        EXPECT_FALSE(validate_partition(p));
        EXPECT_FALSE(calculate_partition(p));
        EXPECT_EQ(p.k, 1.5);
        const Bytes before = read_bytes(f);
        EXPECT_EQ(write_data_file(p, f.c_str()), 2);
        EXPECT_EQ(read_bytes(f), before);
    }
}

TEST_F(DataFile, RefusedRecordTouchesNothing) {
    const std::string f = path("old.PAR");
    write_bytes(f, {'o', 'l', 'd'});
    Partition p;
    p.layers[0].thickness = 0;
    p.modified = 1;
    EXPECT_EQ(write_data_file(p, f.c_str()), 2);
    EXPECT_EQ(write_data_file(p, path("new.PAR").c_str()), 2);
    EXPECT_EQ(read_bytes(f), Bytes({'o', 'l', 'd'}));
    EXPECT_EQ(entries(), std::vector<std::string>{"old.PAR"});
    EXPECT_EQ(p.modified, 1);
}

TEST_F(DataFile, WhatCannotBeWritten) {
    Partition p;
    p.modified = 1;
    EXPECT_EQ(write_data_file(p, path("no/such/folder.PAR").c_str()), 1);
    ASSERT_EQ(::mkdir(path("sub").c_str(), 0700), 0);
    EXPECT_EQ(write_data_file(p, path("sub").c_str()), 1);  // a folder is not replaced
    EXPECT_EQ(write_data_file(p, ""), 1);
    EXPECT_EQ(write_data_file(p, nullptr), 1);
    EXPECT_EQ(write_data_file(p, "/dev/full"), 1);
    EXPECT_EQ(p.modified, 1);
    EXPECT_EQ(entries(), std::vector<std::string>{"sub"});
}

// The write really fails part-way: the old file must survive byte for byte.
TEST_F(DataFile, FailedWriteKeepsThePreviousFile) {
    const std::string f = path("keep.PAR");
    Partition old;
    set_title(old, "previous");
    ASSERT_EQ(write_data_file(old, f.c_str()), 0);
    const Bytes before = read_bytes(f);

    Partition p;
    set_title(p, "new");
    rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    for (rlim_t cap : {0, 12, 500, 883}) {
        rlimit small = saved;
        small.rlim_cur = cap;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const int r = write_data_file(p, f.c_str());
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);
        EXPECT_EQ(r, 1) << cap;
        EXPECT_EQ(read_bytes(f), before) << cap;
        EXPECT_EQ(entries(), std::vector<std::string>{"keep.PAR"}) << cap;
        EXPECT_EQ(p.modified, 1);
    }
    std::signal(SIGXFSZ, old_handler);
    EXPECT_EQ(write_data_file(p, f.c_str()), 0);
}

TEST_F(DataFile, ReplacedFileKeepsItsPermissions) {
    const std::string f = path("mode.PAR");
    write_bytes(f, {'x'});
    ASSERT_EQ(::chmod(f.c_str(), 0640), 0);
    Partition p;
    ASSERT_EQ(write_data_file(p, f.c_str()), 0);
    struct stat st;
    ASSERT_EQ(::stat(f.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(read_bytes(f).size(), 884u);

    const mode_t old_mask = ::umask(027);
    ASSERT_EQ(write_data_file(p, path("fresh.PAR").c_str()), 0);
    ::umask(old_mask);
    ASSERT_EQ(::stat(path("fresh.PAR").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(DataFile, SymbolicLinkStaysALink) {
    ASSERT_EQ(::mkdir(path("real").c_str(), 0700), 0);
    const std::string target = path("real/target.PAR");
    write_bytes(target, {'o', 'l', 'd'});
    ASSERT_EQ(::symlink("real/target.PAR", path("link.PAR").c_str()), 0);  // relative
    ASSERT_EQ(::symlink(path("link.PAR").c_str(), path("chain.PAR").c_str()), 0);
    ASSERT_EQ(::symlink("real/later.PAR", path("dangling.PAR").c_str()), 0);

    Partition p;
    for (const char* link : {"link.PAR", "chain.PAR", "dangling.PAR"}) {
        SCOPED_TRACE(link);
        ASSERT_EQ(write_data_file(p, path(link).c_str()), 0);
        struct stat st;
        ASSERT_EQ(::lstat(path(link).c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode));
        EXPECT_EQ(read_bytes(path(link)), file_of(Partition{}));
    }
    EXPECT_EQ(read_bytes(target), file_of(Partition{}));
    EXPECT_EQ(read_bytes(path("real/later.PAR")), file_of(Partition{}));

    ASSERT_EQ(::symlink("loop.PAR", path("loop.PAR").c_str()), 0);
    EXPECT_EQ(write_data_file(p, path("loop.PAR").c_str()), 1);
}

TEST_F(DataFile, TitlePreview) {
    Partition p;
    set_title(p, "Flat roof");
    ASSERT_EQ(write_data_file(p, path("roof.par").c_str()), 0);
    char out[81];
    read_data_file_title(path("roof.par").c_str(), out, sizeof out);
    EXPECT_STREQ(out, "Flat roof");

    char small[5];
    read_data_file_title(path("roof.par").c_str(), small, sizeof small);
    EXPECT_STREQ(small, "Flat");

    // The same valid bytes under another extension are not looked at.
    std::rename(path("roof.par").c_str(), path("roof.txt").c_str());
    std::memset(out, 'x', sizeof out);
    read_data_file_title(path("roof.txt").c_str(), out, sizeof out);
    EXPECT_STREQ(out, "");
    ASSERT_EQ(std::rename(path("roof.txt").c_str(), path("roof.par.bak").c_str()), 0);
    read_data_file_title(path("roof.par.bak").c_str(), out, sizeof out);
    EXPECT_STREQ(out, "");

    for (const char* bad : {"", "missing.PAR"}) {
        std::memset(out, 'x', sizeof out);
        read_data_file_title(*bad ? path(bad).c_str() : bad, out, sizeof out);
        EXPECT_STREQ(out, "");
    }
    read_data_file_title(nullptr, out, sizeof out);
    EXPECT_STREQ(out, "");
    write_bytes(path("broken.PAR"), {'Q', 'D', 'A', 'T'});
    read_data_file_title(path("broken.PAR").c_str(), out, sizeof out);
    EXPECT_STREQ(out, "");
}

TEST_F(DataFile, UnterminatedTitleIsPreviewedWithinItsBuffer) {
    Partition source;
    std::memset(source.title, 'T', TITLE_SIZE);
    write_bytes(path("t.PAR"), file_of(source));
    char out[200];
    read_data_file_title(path("t.PAR").c_str(), out, sizeof out);
    EXPECT_EQ(std::string(out), std::string(80, 'T'));
}
