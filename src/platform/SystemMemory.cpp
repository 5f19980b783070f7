#include "platform/SystemMemory.h"

#include <QByteArray>
#include <QFile>
#include <QList>

namespace {
std::function<std::int64_t()>& freeMemoryHook() {
    static std::function<std::int64_t()> hook;
    return hook;
}
} // namespace

std::int64_t FreeMemoryBytes() {
    if (freeMemoryHook()) return freeMemoryHook()();
    QFile f(QStringLiteral("/proc/meminfo"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    // "MemAvailable:   12345678 kB": what can be allocated without swapping.
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("MemAvailable:")) {
            bool ok = false;
            const qint64 kb = line.mid(13).trimmed().split(' ').value(0).toLongLong(&ok);
            return ok ? kb * 1024 : -1;
        }
    return -1;
}

void SetFreeMemoryHook(std::function<std::int64_t()> hook) {
    freeMemoryHook() = std::move(hook);
}
