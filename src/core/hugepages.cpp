#include "hugepages.h"

#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

void AdviseHugePages([[maybe_unused]] const void *data, [[maybe_unused]] std::size_t bytes)
{
#ifdef Q_OS_LINUX
    constexpr quintptr kHugePage = quintptr(2) << 20;
    const quintptr begin = (reinterpret_cast<quintptr>(data) + kHugePage - 1) & ~(kHugePage - 1);
    const quintptr end = (reinterpret_cast<quintptr>(data) + bytes) & ~(kHugePage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#endif
}
