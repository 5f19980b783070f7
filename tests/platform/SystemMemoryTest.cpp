// The memory limit and the free memory under a memory cgroup (versions 2 and 1) and an address-space
// limit, read from fake system files.
#include "platform/SystemMemory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace {

constexpr std::int64_t MiB = std::int64_t{1} << 20;

struct TMemoryCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> files; // beside a meminfo of 16 GiB, 8 GiB available
    std::int64_t addressSpace;                              // -1: none
    std::int64_t limit, free;
};

} // namespace

TEST(SystemMemory, TheLowestOfPhysicalMemoryCgroupAndAddressSpaceLimitCounts) {
    const std::vector<TMemoryCase> cases{
        {"none", {}, -1, 16384 * MiB, 8192 * MiB},
        // Version 2: the scope has none, its slice 2.5 GiB with 1 GiB in use of which 256 MiB is file
        // cache the kernel gives back: 2560 - (1024 - 256) = 1792 MiB free.
        {"cgroup v2",
         {{"proc/self/cgroup", "0::/app.slice/run-1.scope\n"},
          {"sys/fs/cgroup/app.slice/run-1.scope/memory.max", "max\n"},
          {"sys/fs/cgroup/app.slice/run-1.scope/memory.current", "52428800\n"},
          {"sys/fs/cgroup/app.slice/memory.max", "2684354560\n"},
          {"sys/fs/cgroup/app.slice/memory.current", "1073741824\n"},
          {"sys/fs/cgroup/app.slice/memory.stat", "active_file 7\ninactive_file 268435456\n"}},
         -1,
         2560 * MiB,
         1792 * MiB},
        // Version 1 in a container: the group's own path is not mounted there, the controller's top is;
        // the huge value stands for no limit. 1024 - (300 - 100) = 824 MiB free.
        {"cgroup v1",
         {{"proc/self/cgroup", "12:cpu,cpuacct:/docker/abc\n5:memory:/docker/abc\n"},
          {"sys/fs/cgroup/memory/memory.limit_in_bytes", "1073741824\n"},
          {"sys/fs/cgroup/memory/memory.usage_in_bytes", "314572800\n"},
          {"sys/fs/cgroup/memory/memory.stat", "inactive_file 1\ntotal_inactive_file 104857600\n"},
          {"sys/fs/cgroup/memory/docker/memory.limit_in_bytes", "9223372036854771712\n"}},
         -1,
         1024 * MiB,
         824 * MiB},
        // ulimit -v of 3 GiB with 1 GiB of address space taken: 2 GiB free.
        {"address space",
         {{"proc/self/status", "Name:\tmozaro\nVmPeak:\t 2000000 kB\nVmSize:\t 1048576 kB\n"}},
         3072 * MiB,
         3072 * MiB,
         2048 * MiB},
        // Unknowns are ignored: an unreadable usage (free is then at most the limit), a limit that does
        // not parse.
        {"unknowns",
         {{"proc/self/cgroup", "0::/a\n"},
          {"sys/fs/cgroup/a/memory.max", "4294967296\n"},
          {"sys/fs/cgroup/memory.max", "lots\n"}},
         -1,
         4096 * MiB,
         4096 * MiB},
    };
    for (const TMemoryCase& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root;
        ASSERT_TRUE(root.isValid());
        auto write = [&](const QString& name, const QByteArray& bytes) {
            const QString path = root.filePath(name);
            ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        write("proc/meminfo", "MemTotal:       16777216 kB\nMemFree:  1 kB\nMemAvailable:    8388608 kB\n");
        for (const auto& [name, text] : c.files) write(name, text);
        SetSystemFilesRoot(root.path());
        SetAddressSpaceLimitHook([&c] { return c.addressSpace; });
        EXPECT_EQ(MemoryLimitBytes(), c.limit);
        EXPECT_EQ(FreeMemoryBytes(), c.free);
        SetFreeMemoryHook([] { return std::int64_t{5}; }); // the tests' own figure still wins
        EXPECT_EQ(FreeMemoryBytes(), 5);
        SetFreeMemoryHook({});
    }
    SetSystemFilesRoot(QString());
    SetAddressSpaceLimitHook({});
}
