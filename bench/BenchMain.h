#pragma once
// The main of every benchmark program: the Qt application object first (the
// SQL drivers are plugins found through it; the windows need one with a
// display, offscreen here), then Google Benchmark with its own arguments.
#include <QApplication>
#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <type_traits>

template <class Application>
int runBenchmarks(int argc, char **argv)
{
    if constexpr (std::is_same_v<Application, QApplication>)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
