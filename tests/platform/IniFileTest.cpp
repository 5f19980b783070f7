// IniFile: reading tolerant of what users and other programs leave in settings files, writing the
// exact text the settings format asks for, and never losing the file on a failed write.
#include "platform/IniFile.h"
#include "common/QtTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name = "ZorvTile.ini") const { return dir.filePath(name); }
};

TEST_F(IniFileTest, MissingFileIsEmptyAndGivesDefaults) {
    IniFile ini(path("none.ini"));
    EXPECT_EQ(ini.FileName(), path("none.ini"));
    EXPECT_FALSE(ini.SectionExists("MainForm"));
    EXPECT_EQ(ini.ReadString("MainForm", "JPGComp", "90"), "90");
    EXPECT_EQ(ini.ReadInteger("MainForm", "Left", 195), 195);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("EffectVals", "FishVal", 0.75), 0.75);
    EXPECT_TRUE(ini.ReadSection("MainForm").isEmpty());
    EXPECT_FALSE(QFile::exists(path("none.ini"))); // reading never creates the file
}

TEST_F(IniFileTest, ReadsSectionsAndKeysWithoutRegardToCase) {
    WriteAll(path(), "\xEF\xBB\xBF; written by hand\r\n"
                     "[MainForm]\r\n"
                     "  Top = 12  \r\n"
                     "Default Directory=/home/u/My Pictures\r\n"
                     "top=99\r\n"
                     "\r\n"
                     "[mgradient]\r\n"
                     "colors=255,0,0,0,255,0\r\n"
                     "[MainForm]\r\n"
                     "Left=7\r\n");
    IniFile ini(path());
    EXPECT_TRUE(ini.SectionExists("MAINFORM"));
    EXPECT_EQ(ini.ReadInteger("mainform", "TOP", 0), 12); // first key wins
    EXPECT_EQ(ini.ReadString("MainForm", "default directory", QString()), "/home/u/My Pictures");
    EXPECT_EQ(ini.ReadString("MGradient", "Colors", QString()), "255,0,0,0,255,0");
    // The first of two equally named sections is the one read.
    EXPECT_FALSE(ini.ValueExists("MainForm", "Left"));
    EXPECT_EQ(ini.ReadSection("mainFORM"), (QStringList{"Top", "Default Directory"}));
    EXPECT_EQ(ini.ReadSections(), (QStringList{"MainForm", "mgradient"}));
}

TEST_F(IniFileTest, ToleratesBrokenLinesAndBinaryJunk) {
    QByteArray junk("[EffectVals]\nEffectVals6=250\n");
    static const char binary[] = "\x00\x01\xff\xfe garbage=\x07\n";
    junk += QByteArray(binary, sizeof binary - 1);
    junk += "no equals sign here\n[broken section\n=value without key\nEffectVals7=3\n";
    junk += "[Unclosed\nKey=still EffectVals\n";
    WriteAll(path(), junk);
    IniFile ini(path());
    EXPECT_EQ(ini.ReadInteger("EffectVals", "EffectVals6", 0), 250);
    EXPECT_EQ(ini.ReadInteger("EffectVals", "EffectVals7", 0), 3);
    EXPECT_EQ(ini.ReadString("EffectVals", "Key", QString()), "still EffectVals");
    EXPECT_EQ(ini.ReadSection("EffectVals"), (QStringList{"EffectVals6", "EffectVals7", "Key"}));
    // The junk line is dropped when the file is written again; the text lines stay.
    ini.WriteInteger("EffectVals", "EffectVals6", 1);
    EXPECT_EQ(ReadAll(path()),
              QByteArray("[EffectVals]\nEffectVals6=1\nno equals sign here\n[broken section\n"
                         "=value without key\nEffectVals7=3\n[Unclosed\nKey=still EffectVals\n"));
}

TEST_F(IniFileTest, IntegersAcceptDecimalAndBothHexPrefixes) {
    WriteAll(path(), "[S]\na=0x1F\nb=$ff\nc=0XFFFFFFFF\nd=-12\ne= +42 \nf=12abc\ng=\nh=99999999999\n"
                     "i=0x\nj=$123456789\nk=1.5\nl=- 3\nm=$00FFFFFF\nn=0x-1\no=$ 10\np=0xG\n");
    IniFile ini(path());
    const QString s = "S";
    EXPECT_EQ(ini.ReadInteger(s, "a", -1), 31);
    EXPECT_EQ(ini.ReadInteger(s, "b", -1), 255);
    EXPECT_EQ(ini.ReadInteger(s, "c", 5), -1); // 32-bit pattern
    EXPECT_EQ(ini.ReadInteger(s, "d", 0), -12);
    EXPECT_EQ(ini.ReadInteger(s, "e", 0), 42);
    EXPECT_EQ(ini.ReadInteger(s, "m", 0), 16777215); // white as a TColor
    for (const char* junk : {"f", "g", "h", "i", "j", "k", "l", "n", "o", "p", "missing"})
        EXPECT_EQ(ini.ReadInteger(s, QString::fromLatin1(junk), 77), 77) << junk;
    EXPECT_TRUE(ini.ReadBool(s, "e", false));
    EXPECT_FALSE(ini.ReadBool(s, "missing", false));
    EXPECT_TRUE(ini.ReadBool(s, "f", true)); // junk keeps the default
}

TEST_F(IniFileTest, FloatsReadWithPointOrCommaAndJunkGivesDefault) {
    WriteAll(path(), "[EffectVals]\nFishVal=0.75\nWhPchVal=0,5\nWhRadVal=1e1\nUDPeakVal=abc\n"
                     "UDWavVal=nan\nLRPeakVal=inf\nLRWavVal=1.2.3\nScaleVal=-2,25\n");
    IniFile ini(path());
    const QString s = "EffectVals";
    EXPECT_DOUBLE_EQ(ini.ReadFloat(s, "FishVal", 0), 0.75);
    EXPECT_DOUBLE_EQ(ini.ReadFloat(s, "WhPchVal", 0), 0.5);
    EXPECT_DOUBLE_EQ(ini.ReadFloat(s, "WhRadVal", 0), 10.0);
    EXPECT_DOUBLE_EQ(ini.ReadFloat(s, "ScaleVal", 0), -2.25);
    for (const char* junk : {"UDPeakVal", "UDWavVal", "LRPeakVal", "LRWavVal"})
        EXPECT_DOUBLE_EQ(ini.ReadFloat(s, QString::fromLatin1(junk), 3.0), 3.0) << junk;
}

TEST_F(IniFileTest, WritesTheSettingsFormatExactly) {
    IniFile ini(path());
    ini.WriteFloat("EffectVals", "FishVal", 0.75);
    ini.WriteFloat("EffectVals", "WhRadVal", 17.0);
    ini.WriteFloat("EffectVals", "UDPeakVal", 0.3f); // a Single holding 0.3
    ini.WriteInteger("EffectVals", "EffectVals6", 250);
    ini.WriteBool("MainForm", "SaveDlg", true);
    ini.WriteString("MainForm", "Default Directory", "/tmp/a b");
    ini.WriteBool("MainForm", "ShowAdj", false);
    // An existing key keeps its place (whatever case the caller uses), a new one goes last.
    ini.WriteInteger("effectvals", "fishval", -3);
    ini.WriteString("MGradient", "colors", "100,200,128");
    const QByteArray expected = "[EffectVals]\nFishVal=-3\nWhRadVal=17\nUDPeakVal=0.300000011920929\n"
                                "EffectVals6=250\n\n[MainForm]\nSaveDlg=1\nDefault Directory=/tmp/a b\n"
                                "ShowAdj=0\n\n[MGradient]\ncolors=100,200,128\n";
    EXPECT_EQ(ReadAll(path()), expected); // every write reached the file at once
    IniFile again(path());
    EXPECT_DOUBLE_EQ(again.ReadFloat("EffectVals", "UDPeakVal", 0), 0.300000011920929);
    EXPECT_EQ(again.ReadString("MainForm", "Default Directory", QString()), "/tmp/a b");
}

TEST_F(IniFileTest, NewKeyGoesAfterTheLastKeyOfAnExistingSection) {
    WriteAll(path(), "; settings\n[A]\nx=1\n; about y\n\n\n[B]\nz=2\n");
    IniFile ini(path());
    ini.WriteString("a", "y", "two\r\nlines");
    EXPECT_EQ(ReadAll(path()), QByteArray("; settings\n[A]\nx=1\n; about y\ny=two  lines\n\n\n[B]\nz=2\n"));
}

TEST_F(IniFileTest, EraseSectionAndDeleteKey) {
    WriteAll(path(), "[Filter]\ne1=2\ne2=1\n[ToolBox]\nTop=1\n[filter]\ne1=5\n");
    IniFile ini(path());
    ini.DeleteKey("ToolBox", "TOP");
    EXPECT_FALSE(ini.ValueExists("ToolBox", "Top"));
    EXPECT_TRUE(ini.SectionExists("ToolBox"));
    ini.EraseSection("FILTER"); // both copies go
    EXPECT_EQ(ReadAll(path()), QByteArray("[ToolBox]\n"));
    EXPECT_FALSE(IniFile(path()).SectionExists("Filter"));
}

TEST_F(IniFileTest, LongValuesAreCutTo2047Characters) {
    const QString longValue(5000, u'x');
    IniFile ini(path());
    ini.WriteString("S", "k", longValue);
    EXPECT_EQ(IniFile(path()).ReadString("S", "k", QString()).size(), 2047);
}

TEST_F(IniFileTest, NonUtf8FileIsReadByteForByte) {
    WriteAll(path(), "[MainForm]\nDefault Directory=C:\\Bilder\\Gr\xfc\xdf\x65\n");
    IniFile ini(path());
    EXPECT_EQ(ini.ReadString("MainForm", "Default Directory", QString()), "C:\\Bilder\\Gr\u00fc\u00dfe");
}

TEST_F(IniFileTest, FailedWriteRaisesAndLeavesTheFileIntact) {
    const QString missing = dir.filePath("no/such/folder/ZorvTile.ini");
    IniFile lost(missing);
    try {
        lost.WriteInteger("EffectVals", "EffectVals6", 250);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Unable to write to " + missing.toStdString() + ": no such file or directory");
    }

    const QByteArray old = "[MainForm]\nTop=1\n";
    WriteAll(path(), old);
    IniFile ini(path());
    {
        FileSizeLimit limit(1000);
        try {
            ini.WriteString("MainForm", "Big", QString(1000, u'y') + QString(1000, u'z'));
            ADD_FAILURE() << "no exception";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Unable to write to " + path().toStdString() + ": file too large");
        }
    }
    EXPECT_EQ(ReadAll(path()), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"ZorvTile.ini"}); // no temp left
}

TEST_F(IniFileTest, EveryLeadingByteOrderMarkIsSkipped) {
    // Editors that add a mark on every save leave several; none may hide the first section.
    for (int marks : {1, 2, 5}) {
        QByteArray bytes;
        for (int i = 0; i < marks; ++i) bytes += "\xEF\xBB\xBF";
        WriteAll(path(), bytes + "[EffectVals]\r\nEffectVals6=7\r\n");
        IniFile ini(path());
        EXPECT_EQ(ini.ReadInteger("EffectVals", "EffectVals6", 0), 7) << marks;
        EXPECT_EQ(ini.ReadSections(), QStringList{"EffectVals"}) << marks;
        ini.WriteInteger("EffectVals", "EffectVals6", 8); // written back without any mark
        EXPECT_EQ(ReadAll(path()), QByteArray("[EffectVals]\nEffectVals6=8\n")) << marks;
    }
}

TEST_F(IniFileTest, FilesOverOneMebibyteReadAsEmpty) {
    const QByteArray head = "[EffectVals]\nEffectVals6=250\n";
    const QByteArray filler = "; " + QByteArray(78, 'x') + "\n"; // 81 bytes a line
    QByteArray at = head;
    while (at.size() + filler.size() <= IniFile::MaxFileSize) at += filler;
    at += QByteArray(IniFile::MaxFileSize - at.size(), ';'); // exactly 1 MiB: still read
    WriteAll(path("at.ini"), at);
    EXPECT_EQ(IniFile(path("at.ini")).ReadInteger("EffectVals", "EffectVals6", 0), 250);
    WriteAll(path("over.ini"), at + "\n");
    EXPECT_FALSE(IniFile(path("over.ini")).SectionExists("EffectVals"));
}

TEST_F(IniFileTest, DeferredWritesReachTheFileOnceWithTheSameContent) {
    WriteAll(path(), "[A]\nx=1\n");
    IniFile ini(path());
    ini.SetDeferredWrites(true);
    ini.WriteInteger("A", "y", 2);
    ini.WriteString("B", "z", "3");
    ini.DeleteKey("A", "x");
    EXPECT_EQ(ReadAll(path()), QByteArray("[A]\nx=1\n")) << "nothing written before UpdateFile";
    EXPECT_TRUE(ini.ValueExists("B", "z")) << "the copy in memory has every change";
    ini.UpdateFile();
    EXPECT_EQ(ReadAll(path()), QByteArray("[A]\ny=2\n\n[B]\nz=3\n"));
}

TEST_F(IniFileTest, ManyKeysAndDuplicatesStayFirstWins) {
    // Thousands of keys, every one duplicated in a later copy of the section: the first copy's
    // values are read and written, each key listed once.
    QByteArray text = "[S]\n";
    for (int i = 0; i < 5000; ++i) text += "k" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\n";
    text += "[s]\n";
    for (int i = 0; i < 5000; ++i) text += "K" + QByteArray::number(i) + "=dup\n";
    WriteAll(path(), text);
    IniFile ini(path());
    EXPECT_EQ(ini.ReadSection("S").size(), 5000);
    EXPECT_EQ(ini.ReadSections(), QStringList{"S"});
    EXPECT_EQ(ini.ReadInteger("s", "K4999", -1), 4999);
    ini.SetDeferredWrites(true);
    ini.WriteInteger("S", "k17", -17);
    ini.WriteInteger("S", "new", 1);
    ini.UpdateFile();
    IniFile again(path());
    EXPECT_EQ(again.ReadInteger("S", "k17", 0), -17);
    EXPECT_EQ(again.ReadInteger("S", "new", 0), 1);
    EXPECT_EQ(again.ReadSection("S").size(), 5001);
}

TEST_F(IniFileTest, TheWriterNeverWritesWhatTheReaderWouldRefuse) {
    // 10 bytes below the read limit: read, and a write that would pass the limit is refused with the
    // file left as it was.
    QByteArray near = "[MainForm]\nJPGComp=55\n; my note\n";
    near += QByteArray(IniFile::MaxFileSize - 10 - near.size() - 1, ';') + "\n";
    ASSERT_EQ(near.size(), IniFile::MaxFileSize - 10);
    WriteAll(path(), near);
    IniFile ini(path());
    EXPECT_EQ(ini.ReadString("MainForm", "JPGComp", "90"), "55");
    EXPECT_TRUE(ini.UnreadableReason().isEmpty());
    try {
        ini.WriteString("MainForm", "Default Directory", "/home/someone");
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Unable to write to " + path().toStdString() +
                      ": it would be larger than 1 MiB, the most a settings file may hold");
    }
    EXPECT_EQ(ReadAll(path()), near);
    // Exactly at the limit is still written, and read back.
    IniFile again(path());
    again.WriteString("MainForm", "JPGComp", "55" + QString(9, u'0')); // 9 bytes more: 1 MiB - 1
    again.WriteString("MainForm", "JPGComp", "55" + QString(10, u'0'));
    EXPECT_EQ(QFileInfo(path()).size(), IniFile::MaxFileSize);
    EXPECT_EQ(IniFile(path()).ReadString("MainForm", "JPGComp", "90"), "55" + QString(10, u'0'));

    // Values the reader would cut or drop are written as they will be read.
    IniFile other(path("other.ini"));
    other.WriteString("Filter", "e1",
                      QString("a\x01"
                              "b\tc\x1f"));
    other.WriteString("Filter", "e2", QString(3000, u'7'));
    const IniFile back(path("other.ini"));
    EXPECT_EQ(back.ReadString("Filter", "e1", "?"), "a b\tc");
    EXPECT_EQ(back.ReadString("Filter", "e2", "?"), QString(2047, u'7'));
    EXPECT_TRUE(back.UnreadableReason().isEmpty());
}

TEST_F(IniFileTest, Utf16FilesAreReadAndWrittenBackAsUtf8) {
    const QString text = "; Grüße\r\n[MainForm]\r\nJPGComp=42\r\nDefault Directory=/home/jürgen\r\n";
    QByteArray le("\xFF\xFE", 2), be;
    for (QChar c : text) {
        le += char(c.unicode() & 0xFF);
        le += char(c.unicode() >> 8);
        be += char(c.unicode() >> 8);
        be += char(c.unicode() & 0xFF);
    }
    for (const QByteArray& bytes : {le, be}) { // with and without a byte-order mark
        WriteAll(path(), bytes);
        IniFile ini(path());
        EXPECT_TRUE(ini.UnreadableReason().isEmpty()) << ini.UnreadableReason().toStdString();
        EXPECT_EQ(ini.ReadInteger("mainform", "JPGComp", 90), 42);
        EXPECT_EQ(ini.ReadString("MainForm", "Default Directory", ""), "/home/jürgen");
        ini.WriteInteger("MainForm", "Top", 5);
        EXPECT_EQ(ReadAll(path()), QString("; Grüße\n[MainForm]\nJPGComp=42\nDefault Directory=/home/jürgen\n"
                                           "Top=5\n")
                                       .toUtf8());
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"ZorvTile.ini"});
    }
}

TEST_F(IniFileTest, LinesAreUtf8OrLatin1EachOnItsOwn) {
    // A Latin-1 comment left by another program beside values we wrote in UTF-8.
    WriteAll(path(), "; Gr\xfc\xdf\x65\n[MainForm]\nDefault Directory=/home/j\xc3\xbcrgen\n");
    IniFile ini(path());
    EXPECT_EQ(ini.ReadString("MainForm", "Default Directory", ""), "/home/jürgen");
    ini.WriteInteger("MainForm", "Top", 1);
    EXPECT_EQ(ReadAll(path()),
              "; Gr\xc3\xbc\xc3\x9f\x65\n[MainForm]\nDefault Directory=/home/j\xc3\xbcrgen\nTop=1\n");
}

TEST_F(IniFileTest, AKeyOfAByteOrderMarkAfterBlanksSurvivesWrites) {
    WriteAll(path(), "  \xEF\xBB\xBF=first\n[S]\n\t\xEF\xBB\xBF=second\n");
    const QString mark(QChar(0xFEFF));
    {
        IniFile ini(path());
        EXPECT_EQ(ini.ReadString("S", mark, "?"), "second");
        ini.WriteString("S", "other", "1");
        ini.WriteString("S", mark, "third");
    }
    for (int round = 0; round < 2; ++round) {
        IniFile ini(path());
        EXPECT_EQ(ini.ReadString("S", mark, "?"), "third");
        EXPECT_EQ(ini.ReadSection("S"), (QStringList{mark, "other"}));
        ini.WriteString("S", "other", "2");
    }
    // The key before any section is still a key line, not a stray mark.
    EXPECT_TRUE(ReadAll(path()).startsWith(" \xEF\xBB\xBF=first\n"));
}

TEST_F(IniFileTest, AnUnreadableFileIsKeptAsideBeforeItIsReplaced) {
    // Over the limit, UTF-16 of an odd length, lines that are not text, a folder in its place.
    QByteArray over = "[EffectVals]\nEffectVals6=250\n";
    over += QByteArray(IniFile::MaxFileSize, ';');
    const QByteArray badUtf16("\xFF\xFE[\0S\0]", 7);
    const QByteArray binary("[S]\nk=v\n\x01\x02\x03\n", 12);
    int n = 0;
    for (const QByteArray& bytes : {over, badUtf16, binary}) {
        ++n;
        WriteAll(path(), bytes);
        IniFile ini(path());
        EXPECT_FALSE(ini.UnreadableReason().isEmpty()) << n;
        ini.WriteString("S", "new", "1");
        const QString kept =
            n == 1 ? path("ZorvTile.ini.unreadable") : path("ZorvTile.ini.unreadable-%1").arg(n);
        EXPECT_EQ(ini.KeptCopy(), kept) << n;
        EXPECT_EQ(ReadAll(kept), bytes) << n;
        EXPECT_TRUE(ini.UnreadableReason().isEmpty()) << n;
        ini.WriteString("S", "more", "2"); // kept once only
        EXPECT_FALSE(QFile::exists(path("ZorvTile.ini.unreadable-%1").arg(n + 1))) << n;
    }
    EXPECT_EQ(ReadAll(path()), "[S]\nk=v\nnew=1\nmore=2\n") << "what could be read goes into the new file";

    ASSERT_TRUE(QFile::remove(path()));
    ASSERT_TRUE(QDir(dir.path()).mkdir("ZorvTile.ini"));
    IniFile folder(path());
    EXPECT_FALSE(folder.UnreadableReason().isEmpty());
    folder.WriteString("S", "k", "1");
    EXPECT_TRUE(QFileInfo(path("ZorvTile.ini.unreadable-4")).isDir());
    EXPECT_EQ(ReadAll(path()), "[S]\nk=1\n");

    // A missing file is no unreadable one.
    EXPECT_TRUE(IniFile(path("missing.ini")).UnreadableReason().isEmpty());
}

TEST(IniFileValues, FormatFloatUsesFifteenSignificantDigits) {
    EXPECT_EQ(IniFile::FormatFloat(0.75), "0.75");
    EXPECT_EQ(IniFile::FormatFloat(17.0), "17");
    EXPECT_EQ(IniFile::FormatFloat(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(IniFile::FormatFloat(-2.5), "-2.5");
}

} // namespace
