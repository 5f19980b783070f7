#include "platform/SystemMemory.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace {

std::function<std::int64_t()>& freeMemoryHook() {
    static std::function<std::int64_t()> hook;
    return hook;
}

std::function<std::int64_t()>& addressSpaceHook() {
    static std::function<std::int64_t()> hook;
    return hook;
}

QString& filesRoot() {
    static QString root;
    return root;
}

QByteArray ReadSystemFile(const QString& path) {
    QFile f(filesRoot() + path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// A byte count as the cgroup files write it; -1 for "max", for what does not parse and for the huge
// values that stand for no limit.
std::int64_t ByteCount(const QByteArray& text) {
    bool ok = false;
    const qulonglong n = text.trimmed().toULongLong(&ok);
    if (!ok || n >= (qulonglong{1} << 62)) return -1;
    return static_cast<std::int64_t>(n);
}

// The number after "key" in a file of "key value" lines (meminfo, status, memory.stat), times `unit`;
// -1 when it is not there.
std::int64_t KeyedValue(const QByteArray& text, const QByteArray& key, std::int64_t unit) {
    for (const QByteArray& line : text.split('\n')) {
        if (!line.startsWith(key) || line.size() <= key.size()) continue;
        const char after = line.at(key.size());
        if (after != ':' && after != ' ' && after != '\t') continue;
        const QByteArray rest = line.mid(key.size() + (after == ':' ? 1 : 0)).trimmed();
        const std::int64_t n = ByteCount(rest.split(' ').value(0));
        return n < 0 || n > INT64_MAX / unit ? -1 : n * unit;
    }
    return -1;
}

// The lower of two figures, either of which may be unknown (-1).
std::int64_t Lowest(std::int64_t a, std::int64_t b) {
    if (a < 0) return b;
    if (b < 0) return a;
    return std::min(a, b);
}

struct TLimit {
    std::int64_t Limit = -1; // bytes the process may use (-1: none known)
    std::int64_t Free = -1;  // of them, what is not in use
};

// The memory cgroup: its own limit and every parent's count (a container or a slice may set the ceiling
// above the process's own group). Usage less the file cache the kernel gives back under pressure, as
// the system's own available figure counts it.
TLimit CgroupLimit() {
    TLimit r;
    const QByteArray groups = ReadSystemFile(QStringLiteral("/proc/self/cgroup"));
    for (const QByteArray& line : groups.split('\n')) {
        // "0::/path" (version 2) or "4:memory:/path" (version 1, the memory controller).
        const QList<QByteArray> parts = line.split(':');
        if (parts.size() < 3) continue;
        const bool v2 = parts[0] == "0" && parts[1].isEmpty();
        const bool v1 = parts[1].split(',').contains("memory");
        if (!v2 && !v1) continue;
        const QString base = QStringLiteral("/sys/fs/cgroup") + (v1 ? QStringLiteral("/memory") : QString());
        QString path = QString::fromUtf8(line.mid(parts[0].size() + parts[1].size() + 2)).trimmed();
        while (path.endsWith(QLatin1Char('/'))) path.chop(1);
        for (;;) {
            const QString dir = base + path + QLatin1Char('/');
            const std::int64_t limit = ByteCount(ReadSystemFile(
                dir + (v1 ? QStringLiteral("memory.limit_in_bytes") : QStringLiteral("memory.max"))));
            if (limit >= 0) {
                r.Limit = Lowest(r.Limit, limit);
                std::int64_t used = ByteCount(ReadSystemFile(
                    dir + (v1 ? QStringLiteral("memory.usage_in_bytes") : QStringLiteral("memory.current"))));
                if (used >= 0) {
                    const QByteArray stat = ReadSystemFile(dir + QStringLiteral("memory.stat"));
                    const std::int64_t cache = KeyedValue(
                        stat, v1 ? QByteArray("total_inactive_file") : QByteArray("inactive_file"), 1);
                    if (cache > 0) used -= std::min(cache, used);
                }
                r.Free = Lowest(r.Free, std::max<std::int64_t>(limit - std::max<std::int64_t>(used, 0), 0));
            }
            if (path.isEmpty()) break;
            path.truncate(path.lastIndexOf(QLatin1Char('/')));
        }
    }
    return r;
}

// The address-space limit (ulimit -v) and what the process's present size leaves of it.
TLimit AddressSpaceLimit() {
    TLimit r;
    if (addressSpaceHook()) {
        r.Limit = addressSpaceHook()();
    } else {
        rlimit lim{};
        if (getrlimit(RLIMIT_AS, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY)
            r.Limit = lim.rlim_cur >= (rlim_t{1} << 62) ? -1 : static_cast<std::int64_t>(lim.rlim_cur);
    }
    if (r.Limit < 0) return TLimit{};
    const std::int64_t size =
        KeyedValue(ReadSystemFile(QStringLiteral("/proc/self/status")), QByteArray("VmSize"), 1024);
    r.Free = std::max<std::int64_t>(r.Limit - std::max<std::int64_t>(size, 0), 0);
    return r;
}

} // namespace

std::int64_t MemoryLimitBytes() {
    std::int64_t physical =
        KeyedValue(ReadSystemFile(QStringLiteral("/proc/meminfo")), QByteArray("MemTotal"), 1024);
    if (physical < 0 && filesRoot().isEmpty()) {
        const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
        if (pages > 0 && pageSize > 0) physical = static_cast<std::int64_t>(pages) * pageSize;
    }
    return Lowest(Lowest(physical, CgroupLimit().Limit), AddressSpaceLimit().Limit);
}

std::int64_t FreeMemoryBytes() {
    if (freeMemoryHook()) return freeMemoryHook()();
    // MemAvailable: what can be allocated without swapping.
    const std::int64_t available =
        KeyedValue(ReadSystemFile(QStringLiteral("/proc/meminfo")), QByteArray("MemAvailable"), 1024);
    return Lowest(Lowest(available, CgroupLimit().Free), AddressSpaceLimit().Free);
}

QString MegabytesText(std::int64_t bytes) {
    return QString::number((bytes + 500000) / 1000000);
}

void SetFreeMemoryHook(std::function<std::int64_t()> hook) {
    freeMemoryHook() = std::move(hook);
}

void SetSystemFilesRoot(const QString& root) {
    filesRoot() = root;
}

void SetAddressSpaceLimitHook(std::function<std::int64_t()> hook) {
    addressSpaceHook() = std::move(hook);
}
