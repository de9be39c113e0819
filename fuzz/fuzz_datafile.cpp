// Any bytes as a data file: the reader and the title preview.
#include "fuzz/fuzz_common.h"
#include "storage/datafile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile file("read");
    file.put(data, size);

    const Partition fresh;
    Partition p = fresh;
    const int r = read_data_file(p, file.path());
    require(r == 0 || r == 2);
    if (r != 0) {
        require(same_input(p, fresh) && p.modified == 0);
    } else {
        // What was read is the file's payload with the top bits restored.
        require(size >= DATA_FILE_SIZE);
        const auto* in = reinterpret_cast<const std::uint8_t*>(static_cast<PartitionInput*>(&p));
        for (std::size_t i = 0; i < PAYLOAD_SIZE; ++i)
            require((in[i] ^ 0x80) == data[HEADER_SIZE + i]);
        if (calculate_partition(p)) check_results(p);
    }

    char title[TITLE_SIZE];
    std::memset(title, 'x', sizeof title);
    read_data_file_title(file.path(), title, sizeof title);
    require(std::memchr(title, 0, sizeof title) != nullptr);
    if (r != 0) require(title[0] == '\0');
    char small[4];
    read_data_file_title(file.path(), small, sizeof small);
    require(std::memchr(small, 0, sizeof small) != nullptr);
    return 0;
}
