// The main of a benchmark that draws or makes windows: the offscreen platform unless another is
// chosen, the application object the drawing needs, then the benchmarks.
#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <benchmark/benchmark.h>

template<typename Application> int RunOffscreenBenchmarks(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
