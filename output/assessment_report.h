// The year-round assessment written out: a readable UTF-8 text report in the current
// language, and JSON for scripts. No Qt here.
#pragma once

#include <string>

#include "core/assessment.h"
#include "core/climate.h"

// Where the inputs came from, as the user named them; null where not used.
struct AssessmentSources {
    const char* data_file = nullptr;
    const char* climate_file = nullptr;
    const char* project_file = nullptr;
};

// Inputs, the monthly table and the verdicts; lines end in "\n". Numbers use the decimal
// separator of the language ("." English, "," Polish).
std::string assessment_report_text(const Partition& p, const Climate& climate,
                                   const AssessmentSettings& settings, const Assessment& a,
                                   const AssessmentSources& sources);

// The JSON object of the command line's --json, numbers in their shortest form that reads
// back to the same double. Ends in "\n".
std::string assessment_json(const Assessment& a, const AssessmentSettings& settings);
