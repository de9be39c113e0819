// Any bytes as a climate file; what is accepted is assessed for a plain and a curved
// eleven-layer record, whose results must be finite and their condensate never negative.
#include <string>

#include "core/assessment.h"
#include "fuzz/fuzz_common.h"
#include "storage/climate_csv.h"

namespace {

Partition curved_eleven() {
    Partition p;
    p.wall_type = 1;
    p.radius = 3.0;
    while (p.layer_count < MAX_LAYERS) insert_layer(p, p.layer_count);
    p.layers[0].delta = 0.0002;
    p.diff_int = 0.2;
    return p;
}

void check(const Partition& p, const Climate& climate) {
    AssessmentSettings settings;
    settings.kind = PartitionKind::Roof;
    Assessment a;
    require(assess_partition(p, climate, settings, a));
    require(a.start_month >= 0 && a.start_month <= MONTHS);
    require(a.m_a_max >= 0.0);
    for (const MonthAssessment& m : a.months) {
        for (int j = 0; j <= a.layer_count; ++j) require(m.m_a[j] >= 0.0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Climate climate;
    ClimateCsvResult result;
    if (!parse_climate_csv(reinterpret_cast<const char*>(data), size, climate, result)) {
        require(result.error != ClimateCsvError::None);
        require(!climate_error_message(result, "f.csv").empty());
        return 0;
    }
    static const Partition plain;
    static const Partition curved = curved_eleven();
    check(plain, climate);
    check(curved, climate);
    return 0;
}
