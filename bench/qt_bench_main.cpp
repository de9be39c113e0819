// The main of the Qt benchmarks: an offscreen application around the runner.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

#include "lang/catalogue.h"

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    set_language(LANG_ENGLISH);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
