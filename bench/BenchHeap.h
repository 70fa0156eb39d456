#pragma once

#include "util/HeapTuning.h"

#include <QStringList>

#include <cstdio>

// Benchmarks tune the heap as the program does at start; "--default-heap" measures with the C library's own
// settings instead. Says which on the first line of the output.
inline void TuneHeapAsTheProgram(const QStringList &arguments)
{
    const bool defaultHeap = arguments.contains(QStringLiteral("--default-heap"));
    if (!defaultHeap)
        lumora::KeepFreedHeapForReuse();
    std::printf("heap: %s\n", defaultHeap ? "C library defaults" : "as the program tunes it");
}
