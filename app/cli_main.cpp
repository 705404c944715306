// tessmark-cli: the model of Tessmark without windows, for batch work and scripting. Showing,
// saving, evaluating and exporting need only the core library; the commands that draw or talk
// to the instrument are handed on to tessmark-cli-draw, so the common commands start quickly.
#include "cli.h"
#include "hugepages.h"

#include <QCoreApplication>

#ifdef Q_OS_LINUX
#include <malloc.h>
#include <unistd.h>
#endif

namespace {

// A large test is many small blocks (rows, lines, texts) written once each. Letting the heap
// grow in large steps backed by huge pages turns thousands of page faults into a few, which is
// most of the time of showing or saving a large test.
void growHeapInLargePages()
{
#ifdef Q_OS_LINUX
    constexpr size_t kStep = size_t(64) << 20;
    mallopt(M_TOP_PAD, int(kStep));
    mallopt(M_TRIM_THRESHOLD, int(kStep));
    // Large blocks (the row array, the file's bytes) from the same heap, not mapped one by one.
    mallopt(M_MMAP_THRESHOLD, int(kStep / 2));
    // A block larger than any free one grows the heap by it and the pad now; freed, it stays.
    void *probe = malloc(kStep / 4);
    const auto begin = reinterpret_cast<quintptr>(probe);
    const auto end = reinterpret_cast<quintptr>(sbrk(0));
    // Only when the block came from the heap just grown (not from a mapping or another allocator).
    if (probe && end > begin && end - begin <= 2 * kStep)
        AdviseHugePages(probe, end - begin);
    free(probe);
#endif
}

} // namespace

int main(int argc, char **argv)
{
    growHeapInLargePages();
    QCoreApplication app(argc, argv);
    return RunCliProgram(RunCliDrawingProgram);
}
