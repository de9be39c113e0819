// The small result codes of the data file and the report writer, by name.
#pragma once

// read_data_file.
enum ReadResult : int {
    READ_DONE = 0,
    READ_CANNOT_OPEN = 1,    // missing, unreadable, or not a regular file
    READ_NOT_DATA_FILE = 2,  // wrong magic, version, size or checksum
};

// write_data_file.
enum WriteResult : int {
    WRITE_DONE = 0,
    WRITE_FAILED = 1,        // the old file, if any, stays as it was
    WRITE_INVALID_DATA = 2,  // the record fails validation; nothing is written
};

// write_report and write_report_fd.
enum ReportResult : int {
    REPORT_DONE = 0,
    REPORT_FAILED = 1,
};
