#pragma once
// The main function of a benchmark program that draws: fonts, text layout and
// painting need a QGuiApplication, on the offscreen platform unless the caller
// chose another; no window is ever shown.

#include <QGuiApplication>

#include <benchmark/benchmark.h>

// Application: QGuiApplication, or QApplication for benchmarks that build widgets.
template <class Application = QGuiApplication>
int runGuiBenchmarks(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    Application app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
