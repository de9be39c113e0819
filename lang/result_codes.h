// The small result codes of the data and project files and the report
// writer, by name.
#pragma once

// read_data_file, read_project.
enum ReadResult : int {
    READ_DONE = 0,
    READ_CANNOT_OPEN = 1,   // missing, unreadable, or not a regular file
    READ_INVALID_FILE = 2,  // not a file of that kind (magic, version, size, checksum, syntax)
};

// write_data_file, write_project.
enum WriteResult : int {
    WRITE_DONE = 0,
    WRITE_FAILED = 1,        // the old file, if any, stays as it was
    WRITE_INVALID_DATA = 2,  // the record cannot be written as it is; nothing is written
};

// write_report and write_report_fd.
enum ReportResult : int {
    REPORT_DONE = 0,
    REPORT_FAILED = 1,
};
