#pragma once
// Whole-file writes that never leave a half-written target: the bytes go to a temporary file in the
// target's folder, which replaces the target only once it was written and flushed completely.

#include <QByteArray>
#include <QString>

// Writes `data` to `fileName` as described above. Returns false (target untouched, temporary file
// removed) when anything fails; `error` then receives the system's reason when given. With `sync` the
// data reaches the disk before the rename (a settings file written key by key skips it: a flush per
// key costs milliseconds, and the rename alone already never exposes a partial file).
bool WriteFileAtomically(const QString& fileName, const QByteArray& data, QString* error = nullptr,
                         bool sync = true);
