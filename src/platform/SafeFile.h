#pragma once
// Whole-file writes that never leave a half-written target: the bytes go to a temporary file in the
// target's folder, which replaces the target only once it was written and flushed completely.
//
// The temporary file is named "." + target name + ".mozaro~tmp~" + sixteen random lowercase hex digits
// and is locked while it is written; where that name would pass the folder's limit on name length, the
// target's part is cut short (before a whole character). One left behind by a write that was killed is
// removed by the next write to that folder, or at the next start, once it is older than a minute and no
// process holds its lock. No file of another name is ever removed.
//
// So that the start finds such a file in any folder, every write keeps a record while it runs: a file
// in SaveRecordFolder() named by the temporary's sixteen digits and holding the temporary's full path
// (in the file-name encoding). It is made before the temporary and removed after the rename or the
// clean-up; RemoveTemporariesOfKilledSaves reads the records that killed writes left.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <functional>

// Writes `data` to `fileName` as described above. Returns false (target untouched, temporary file
// removed) when anything fails; `error` then receives the system's reason when given. With `sync` the
// data reaches the disk before the rename (a settings file written key by key skips it: a flush per
// key costs milliseconds, and the rename alone already never exposes a partial file).
bool WriteFileAtomically(const QString& fileName, const QByteArray& data, QString* error = nullptr,
                         bool sync = true);
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
// Where the records of writes in progress are kept: ProgramDataFolder() + "/saving" (not created here).
QString SaveRecordFolder();
// Removes the stale temporary files that the records of killed writes point at, wherever they are
// (see above), with their records; returns how many temporaries it removed. A record whose temporary
// is gone, or no temporary of ours, goes too, once it is a minute old (younger, its write may be
// about to make it).
int RemoveTemporariesOfKilledSaves();
// Stands for the kernel's random source (getrandom) in tests, answering like it; empty: the real
// call. A sandbox may refuse that call (ENOSYS): the names then take their digits from another source.
void SetGetRandomHook(std::function<long(void* buffer, std::size_t size)> hook);
// Throws std::runtime_error "Cannot write <name>: <reason>", as every writer reports a file the system
// refused.
[[noreturn]] void ThrowWriteError(const QString& fileName, const QString& reason);
// A system reason as it follows a colon in a sentence: "No space left on device" becomes "no space
// left on device" (an abbreviation such as "BMP" keeps its capitals).
QString InSentence(QString reason);
