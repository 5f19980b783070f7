// SafeFile: the temporary files of killed saves are removed by the next save to their folder and by
// the clean-up at start, but never one that is young, locked, not ours by name, or not a plain file;
// long names, a refused random source, the record of a save in progress; a file written after the head
// of another.
#include "platform/SafeFile.h"
#include "common/QtTestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

class SafeFileTest : public ::testing::Test {
protected:
    void TearDown() override { SetGetRandomHook({}); }
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    // A file left by an earlier run, last changed `seconds` ago.
    void leave(const QString& name, int seconds) const {
        WriteAll(path(name), "half a picture");
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(
            f.setFileTime(QDateTime::currentDateTime().addSecs(-seconds), QFileDevice::FileModificationTime));
    }
    // Saves "BM" to `name` by the streamed road; the name its temporary had meanwhile, and its record.
    QString saveSeeingTemporary(const QString& name, QByteArray* record = nullptr) const {
        QString temp, why;
        const auto fill = [&](const TFileSink& sink) {
            temp = hidden().value(0);
            if (record) *record = ReadAll(SaveRecordFolder() + "/" + temp.right(16));
            return sink("BM", 2);
        };
        EXPECT_TRUE(WriteFileStreamed(path(name), fill, &why)) << why.toStdString();
        return temp;
    }
    QStringList hidden() const {
        QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        names.sort();
        return names;
    }
};

TEST_F(SafeFileTest, TheNextSaveToTheFolderRemovesOnlyStaleTemporariesOfOurs) {
    leave(".photo.bmp.mozaro~tmp~0123456789abcdef", 120);  // ours, killed two minutes ago: goes
    leave(".other.jpg.mozaro~tmp~fedcba9876543210", 3600); // ours, another name in the same folder: goes
    leave(".photo.bmp.mozaro~tmp~00000000000fresh", 5);    // not hex: not ours
    leave(".photo.bmp.mozaro~tmp~1111111111111111", 5);    // may be a save running now: stays
    leave("photo.bmp.mozaro~tmp~0123456789abcdef", 120);   // not hidden: not our name
    leave(".photo.bmp.mozaro~tmp~0123456789abcde", 120);   // fifteen digits: not our name
    leave(".photo.bmp.mozaro~tmp~0123456789ABCDEF", 120);  // capitals: not our name
    leave(".photo.bmp.mozaro~tmp~0123456789abcdef\n", 120); // a newline after the digits: not our name
    leave(".photo.bmp.mozaro~tmp~2222222222222222", 120);  // held by a running writer
    // Names people and other programs choose, and the form of earlier versions: never ours.
    for (const char* name : {".photo.bmp.backup", ".photo.bmp.old-01", ".photo.bmp.ABC123",
                             ".photo.bmp.mozaro-Ab12Cd", ".notes.txt.mozaro-backup"})
        leave(name, 3600);
    const int lock =
        ::open(QFile::encodeName(path(".photo.bmp.mozaro~tmp~2222222222222222")).constData(), O_RDONLY);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    ASSERT_EQ(
        ::symlink("/nonexistent", QFile::encodeName(path(".link.png.mozaro~tmp~aaaaaaaaaaaaaaaa")).constData()),
        0);

    QString why;
    ASSERT_TRUE(WriteFileAtomically(path("photo.bmp"), "BM", &why)) << why.toStdString();
    ::close(lock);
    EXPECT_EQ(ReadAll(path("photo.bmp")), "BM");
    EXPECT_EQ(
        hidden(),
        (QStringList{".link.png.mozaro~tmp~aaaaaaaaaaaaaaaa", ".notes.txt.mozaro-backup", ".photo.bmp.ABC123",
                     ".photo.bmp.backup", ".photo.bmp.mozaro-Ab12Cd",
                     ".photo.bmp.mozaro~tmp~00000000000fresh", ".photo.bmp.mozaro~tmp~0123456789ABCDEF",
                     ".photo.bmp.mozaro~tmp~0123456789abcde", ".photo.bmp.mozaro~tmp~0123456789abcdef\n",
                     ".photo.bmp.mozaro~tmp~1111111111111111", ".photo.bmp.mozaro~tmp~2222222222222222",
                     ".photo.bmp.old-01", "photo.bmp", "photo.bmp.mozaro~tmp~0123456789abcdef"}));
}

TEST_F(SafeFileTest, TheCleanUpAtStartCountsWhatItRemoved) {
    leave(".ZorvTile.ini.mozaro~tmp~a1b2c3d4e5f60718", 121);
    leave(".ZorvLog.txt.mozaro~tmp~99998888777766ee", 300);
    leave(".ZorvTile.bmp.mozaro~tmp~0000000000000001", 30);
    leave(".ZorvTile.ini.backup", 300);
    leave(".notes.txt.mozaro-backup", 300);
    EXPECT_EQ(RemoveStaleTemporaries(dir.path()), 2);
    EXPECT_EQ(hidden(), (QStringList{".ZorvTile.bmp.mozaro~tmp~0000000000000001", ".ZorvTile.ini.backup",
                                     ".notes.txt.mozaro-backup"}));
    EXPECT_EQ(RemoveStaleTemporaries(path("missing")), 0);
    EXPECT_EQ(RemoveStaleTemporaries(QString()), 0);
}

TEST_F(SafeFileTest, LongNamesSaveThroughATemporaryCutBeforeAWholeCharacter) {
    ASSERT_EQ(::pathconf(QFile::encodeName(dir.path()).constData(), _PC_NAME_MAX), 255);
    // The target's part of the temporary keeps at most 255 - 29 = 226 bytes. 231 + 4 = 235 bytes keep
    // 226; 2 + 78 * 3 + 4 = 240 bytes would be cut within the 75th euro sign, so 2 + 74 * 3 = 224 stay.
    const struct {
        QString name, kept;
        int tempBytes; // 1 + kept + 12 + 16
    } cases[] = {{QString(231, 't') + ".bmp", QString(226, 't'), 255},
                 {"ab" + QString(78, QChar(0x20ac)) + ".bmp", "ab" + QString(74, QChar(0x20ac)), 253}};
    for (const auto& c : cases) {
        const QString temp = saveSeeingTemporary(c.name);
        EXPECT_EQ(ReadAll(path(c.name)), "BM");
        EXPECT_TRUE(temp.startsWith("." + c.kept + ".mozaro~tmp~")) << temp.toStdString();
        EXPECT_EQ(QFile::encodeName(temp).size(), c.tempBytes);
        leave(temp, 120); // as a killed save leaves it: the clean-up knows it for ours
        EXPECT_EQ(RemoveStaleTemporaries(dir.path()), 1);
        EXPECT_EQ(hidden(), QStringList{c.name});
        QFile::remove(path(c.name));
    }
    // A name the folder cannot take is refused before anything is written.
    QString why;
    EXPECT_FALSE(WriteFileAtomically(path(QString(256, 'n')), "BM", &why));
    EXPECT_EQ(InSentence(why), "file name too long");
}

TEST_F(SafeFileTest, WithTheKernelsRandomSourceRefusedSavesSucceedAndKeepTheirRecords) {
    int asked = 0;
    SetGetRandomHook([&](void*, std::size_t) -> long {
        ++asked;
        errno = ENOSYS;
        return -1;
    });
    QByteArray record;
    const QString temp = saveSeeingTemporary("tile.bmp", &record);
    EXPECT_EQ(record, QFile::encodeName(path(temp))); // named by the temporary's digits, while it ran
    QString why;
    ASSERT_TRUE(WriteFileAtomically(path("ZorvTile.ini"), "[MainForm]\n", &why, false)) << why.toStdString();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(hidden(), (QStringList{"ZorvTile.ini", "tile.bmp"}));
    EXPECT_FALSE(QFile::exists(SaveRecordFolder() + "/" + temp.right(16)));
}

TEST_F(SafeFileTest, AStreamedWriteThatThrowsLeavesTheTargetAndNoTemporary) {
    WriteAll(path("tile.bmp"), "old picture");
    const auto parts = [](const TFileSink& sink) { return sink("new ", 4) && sink("picture", 7); };
    // A stop or a lack of memory while the parts are made: the exception passes on.
    EXPECT_THROW(WriteFileStreamed(path("tile.bmp"),
                                   [&](const TFileSink& sink) -> bool {
                                       parts(sink);
                                       throw std::bad_alloc();
                                   }),
                 std::bad_alloc);
    EXPECT_EQ(ReadAll(path("tile.bmp")), "old picture");
    EXPECT_EQ(hidden(), QStringList{"tile.bmp"});
    ASSERT_TRUE(WriteFileStreamed(path("tile.bmp"), parts));
    EXPECT_EQ(ReadAll(path("tile.bmp")), "new picture");
    EXPECT_EQ(hidden(), QStringList{"tile.bmp"});
}

} // namespace
