// The main window with a scratch folder for data files and reports.
#pragma once

#include <sys/resource.h>

#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>

#include "storage/datafile.h"
#include "storage/settings.h"
#include "tests/gui/test_mainwin_fixture.h"

// The executable's folder (settings file, data folder) is the scratch folder
// too, so that Exit's settings write stays out of the build tree.
class FileCommandsTest : public MainWindowTest {
protected:
    void SetUp() override {
        set_exe_directory_for_testing(QFile::encodeName(dir.path() + "/").constData());
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        set_exe_directory_for_testing(nullptr);
    }

    QString path(const QString& name) const { return dir.path() + "/" + name; }

    static QByteArray read_bytes(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void write_bytes(const QString& file, const QByteArray& bytes) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // A data file of any content, with a correct header and checksum: the
    // writer refuses records that fail validation, files may still hold them.
    static void write_raw(const QString& file, const PartitionInput& input) {
        std::uint8_t payload[PAYLOAD_SIZE];
        std::memcpy(payload, &input, PAYLOAD_SIZE);
        for (std::uint8_t& b : payload) b ^= 0x80;
        const std::uint32_t sum = data_checksum(payload, PAYLOAD_SIZE);
        QByteArray bytes("QDAT\x01\x00\x00\x00", 8);
        for (int i = 0; i < 4; ++i) bytes.append(char((sum >> (8 * i)) & 0xff));
        bytes.append(reinterpret_cast<const char*>(payload), PAYLOAD_SIZE);
        write_bytes(file, bytes);
    }

    QTemporaryDir dir;
};

// While alive, no file may grow past `bytes`: a write runs into a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit small = old_;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, old_handler_);
    }

private:
    rlimit old_{};
    void (*old_handler_)(int) = nullptr;
};
