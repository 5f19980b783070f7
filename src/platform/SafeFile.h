#pragma once
// Whole-file writes that never leave a half-written target: the bytes go to a temporary file in the
// target's folder, which replaces the target only once it was written and flushed completely.
//
// The temporary file is named "." + target name + ".mozaro~tmp~" + sixteen random lowercase hex digits
// and is locked while it is written. One left behind by a write that was killed is removed by the next
// write to that folder, or by RemoveStaleTemporaries at the next start, once it is older than a minute
// and no process holds its lock. No file of another name is ever removed.

#include <QByteArray>
#include <QString>

#include <functional>

// Writes `data` to `fileName` as described above. Returns false (target untouched, temporary file
// removed) when anything fails; `error` then receives the system's reason when given. With `sync` the
// data reaches the disk before the rename (a settings file written key by key skips it: a flush per
// key costs milliseconds, and the rename alone already never exposes a partial file).
bool WriteFileAtomically(const QString& fileName, const QByteArray& data, QString* error = nullptr,
                         bool sync = true);
// Like WriteFileAtomically, but the new content is the first `headBytes` bytes of the file `headFrom`
// (which may be `fileName` itself), followed by `tail`; the head is copied in blocks, so a large file
// is never held in memory whole.
bool WriteFileWithHead(const QString& fileName, const QString& headFrom, qint64 headBytes,
                       const QByteArray& tail, QString* error = nullptr);

// Takes the next part of a streamed file's content; false (errno set) when the system refuses it.
using TFileSink = std::function<bool(const char* data, qint64 size)>;
// Like WriteFileAtomically, but `fill` makes the content and hands it to the sink part by part, so a
// large file is never held in memory whole. `fill` returns false (errno set) when the sink refused a
// part. An exception from `fill` (a stop, a lack of memory) removes the temporary file, leaves the
// target untouched and passes on.
bool WriteFileStreamed(const QString& fileName, const std::function<bool(const TFileSink&)>& fill,
                       QString* error = nullptr);

// Removes the stale temporary files this program left in `folder` (see above); returns how many.
int RemoveStaleTemporaries(const QString& folder);
// Throws std::runtime_error "Cannot write <name>: <reason>", as every writer reports a file the system
// refused.
[[noreturn]] void ThrowWriteError(const QString& fileName, const QString& reason);
// A system reason as it follows a colon in a sentence: "No space left on device" becomes "no space
// left on device" (an abbreviation such as "BMP" keeps its capitals).
QString InSentence(QString reason);
