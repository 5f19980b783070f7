// IniFile: reading tolerant of what users and other programs leave in settings files, writing the
// exact text the settings format asks for, and never losing the file on a failed write.
#include "platform/IniFile.h"
#include "common/QtTestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name = QStringLiteral("ZorvTile.ini")) const { return dir.filePath(name); }
};

TEST_F(IniFileTest, MissingFileIsEmptyAndGivesDefaults) {
    IniFile ini(path(QStringLiteral("none.ini")));
    EXPECT_EQ(ini.FileName(), path(QStringLiteral("none.ini")));
    EXPECT_FALSE(ini.SectionExists(QStringLiteral("MainForm")));
    EXPECT_EQ(ini.ReadString(QStringLiteral("MainForm"), QStringLiteral("JPGComp"), QStringLiteral("90")),
              QStringLiteral("90"));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("MainForm"), QStringLiteral("Left"), 195), 195);
    EXPECT_DOUBLE_EQ(ini.ReadFloat(QStringLiteral("EffectVals"), QStringLiteral("FishVal"), 0.75), 0.75);
    EXPECT_TRUE(ini.ReadSection(QStringLiteral("MainForm")).isEmpty());
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("none.ini")))); // reading never creates the file
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
    EXPECT_TRUE(ini.SectionExists(QStringLiteral("MAINFORM")));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("mainform"), QStringLiteral("TOP"), 0), 12); // first key wins
    EXPECT_EQ(ini.ReadString(QStringLiteral("MainForm"), QStringLiteral("default directory"), QString()),
              QStringLiteral("/home/u/My Pictures"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("MGradient"), QStringLiteral("Colors"), QString()),
              QStringLiteral("255,0,0,0,255,0"));
    // The first of two equally named sections is the one read.
    EXPECT_FALSE(ini.ValueExists(QStringLiteral("MainForm"), QStringLiteral("Left")));
    EXPECT_EQ(ini.ReadSection(QStringLiteral("mainFORM")),
              (QStringList{QStringLiteral("Top"), QStringLiteral("Default Directory")}));
    EXPECT_EQ(ini.ReadSections(), (QStringList{QStringLiteral("MainForm"), QStringLiteral("mgradient")}));
}

TEST_F(IniFileTest, ToleratesBrokenLinesAndBinaryJunk) {
    QByteArray junk("[EffectVals]\nEffectVals6=250\n");
    static const char binary[] = "\x00\x01\xff\xfe garbage=\x07\n";
    junk += QByteArray(binary, sizeof binary - 1);
    junk += "no equals sign here\n[broken section\n=value without key\nEffectVals7=3\n";
    junk += "[Unclosed\nKey=still EffectVals\n";
    WriteAll(path(), junk);
    IniFile ini(path());
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("EffectVals"), QStringLiteral("EffectVals6"), 0), 250);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("EffectVals"), QStringLiteral("EffectVals7"), 0), 3);
    EXPECT_EQ(ini.ReadString(QStringLiteral("EffectVals"), QStringLiteral("Key"), QString()),
              QStringLiteral("still EffectVals"));
    EXPECT_EQ(
        ini.ReadSection(QStringLiteral("EffectVals")),
        (QStringList{QStringLiteral("EffectVals6"), QStringLiteral("EffectVals7"), QStringLiteral("Key")}));
    // The junk line is dropped when the file is written again; the text lines stay.
    ini.WriteInteger(QStringLiteral("EffectVals"), QStringLiteral("EffectVals6"), 1);
    EXPECT_EQ(ReadAll(path()),
              QByteArray("[EffectVals]\nEffectVals6=1\nno equals sign here\n[broken section\n"
                         "=value without key\nEffectVals7=3\n[Unclosed\nKey=still EffectVals\n"));
}

TEST_F(IniFileTest, IntegersAcceptDecimalAndBothHexPrefixes) {
    WriteAll(path(), "[S]\na=0x1F\nb=$ff\nc=0XFFFFFFFF\nd=-12\ne= +42 \nf=12abc\ng=\nh=99999999999\n"
                     "i=0x\nj=$123456789\nk=1.5\nl=- 3\nm=$00FFFFFF\nn=0x-1\no=$ 10\np=0xG\n");
    IniFile ini(path());
    const QString s = QStringLiteral("S");
    EXPECT_EQ(ini.ReadInteger(s, QStringLiteral("a"), -1), 31);
    EXPECT_EQ(ini.ReadInteger(s, QStringLiteral("b"), -1), 255);
    EXPECT_EQ(ini.ReadInteger(s, QStringLiteral("c"), 5), -1); // 32-bit pattern
    EXPECT_EQ(ini.ReadInteger(s, QStringLiteral("d"), 0), -12);
    EXPECT_EQ(ini.ReadInteger(s, QStringLiteral("e"), 0), 42);
    EXPECT_EQ(ini.ReadInteger(s, QStringLiteral("m"), 0), 16777215); // white as a TColor
    for (const char* junk : {"f", "g", "h", "i", "j", "k", "l", "n", "o", "p", "missing"})
        EXPECT_EQ(ini.ReadInteger(s, QString::fromLatin1(junk), 77), 77) << junk;
    EXPECT_TRUE(ini.ReadBool(s, QStringLiteral("e"), false));
    EXPECT_FALSE(ini.ReadBool(s, QStringLiteral("missing"), false));
    EXPECT_TRUE(ini.ReadBool(s, QStringLiteral("f"), true)); // junk keeps the default
}

TEST_F(IniFileTest, FloatsReadWithPointOrCommaAndJunkGivesDefault) {
    WriteAll(path(), "[EffectVals]\nFishVal=0.75\nWhPchVal=0,5\nWhRadVal=1e1\nUDPeakVal=abc\n"
                     "UDWavVal=nan\nLRPeakVal=inf\nLRWavVal=1.2.3\nScaleVal=-2,25\n");
    IniFile ini(path());
    const QString s = QStringLiteral("EffectVals");
    EXPECT_DOUBLE_EQ(ini.ReadFloat(s, QStringLiteral("FishVal"), 0), 0.75);
    EXPECT_DOUBLE_EQ(ini.ReadFloat(s, QStringLiteral("WhPchVal"), 0), 0.5);
    EXPECT_DOUBLE_EQ(ini.ReadFloat(s, QStringLiteral("WhRadVal"), 0), 10.0);
    EXPECT_DOUBLE_EQ(ini.ReadFloat(s, QStringLiteral("ScaleVal"), 0), -2.25);
    for (const char* junk : {"UDPeakVal", "UDWavVal", "LRPeakVal", "LRWavVal"})
        EXPECT_DOUBLE_EQ(ini.ReadFloat(s, QString::fromLatin1(junk), 3.0), 3.0) << junk;
}

TEST_F(IniFileTest, WritesTheSettingsFormatExactly) {
    IniFile ini(path());
    ini.WriteFloat(QStringLiteral("EffectVals"), QStringLiteral("FishVal"), 0.75);
    ini.WriteFloat(QStringLiteral("EffectVals"), QStringLiteral("WhRadVal"), 17.0);
    ini.WriteFloat(QStringLiteral("EffectVals"), QStringLiteral("UDPeakVal"), 0.3f); // a Single holding 0.3
    ini.WriteInteger(QStringLiteral("EffectVals"), QStringLiteral("EffectVals6"), 250);
    ini.WriteBool(QStringLiteral("MainForm"), QStringLiteral("SaveDlg"), true);
    ini.WriteString(QStringLiteral("MainForm"), QStringLiteral("Default Directory"),
                    QStringLiteral("/tmp/a b"));
    ini.WriteBool(QStringLiteral("MainForm"), QStringLiteral("ShowAdj"), false);
    // An existing key keeps its place (whatever case the caller uses), a new one goes last.
    ini.WriteInteger(QStringLiteral("effectvals"), QStringLiteral("fishval"), -3);
    ini.WriteString(QStringLiteral("MGradient"), QStringLiteral("colors"), QStringLiteral("100,200,128"));
    const QByteArray expected = "[EffectVals]\nFishVal=-3\nWhRadVal=17\nUDPeakVal=0.300000011920929\n"
                                "EffectVals6=250\n\n[MainForm]\nSaveDlg=1\nDefault Directory=/tmp/a b\n"
                                "ShowAdj=0\n\n[MGradient]\ncolors=100,200,128\n";
    EXPECT_EQ(ReadAll(path()), expected); // every write reached the file at once
    IniFile again(path());
    EXPECT_DOUBLE_EQ(again.ReadFloat(QStringLiteral("EffectVals"), QStringLiteral("UDPeakVal"), 0),
                     0.300000011920929);
    EXPECT_EQ(again.ReadString(QStringLiteral("MainForm"), QStringLiteral("Default Directory"), QString()),
              QStringLiteral("/tmp/a b"));
}

TEST_F(IniFileTest, NewKeyGoesAfterTheLastKeyOfAnExistingSection) {
    WriteAll(path(), "; settings\n[A]\nx=1\n; about y\n\n\n[B]\nz=2\n");
    IniFile ini(path());
    ini.WriteString(QStringLiteral("a"), QStringLiteral("y"), QStringLiteral("two\r\nlines"));
    EXPECT_EQ(ReadAll(path()), QByteArray("; settings\n[A]\nx=1\n; about y\ny=two  lines\n\n\n[B]\nz=2\n"));
}

TEST_F(IniFileTest, EraseSectionAndDeleteKey) {
    WriteAll(path(), "[Filter]\ne1=2\ne2=1\n[ToolBox]\nTop=1\n[filter]\ne1=5\n");
    IniFile ini(path());
    ini.DeleteKey(QStringLiteral("ToolBox"), QStringLiteral("TOP"));
    EXPECT_FALSE(ini.ValueExists(QStringLiteral("ToolBox"), QStringLiteral("Top")));
    EXPECT_TRUE(ini.SectionExists(QStringLiteral("ToolBox")));
    ini.EraseSection(QStringLiteral("FILTER")); // both copies go
    EXPECT_EQ(ReadAll(path()), QByteArray("[ToolBox]\n"));
    EXPECT_FALSE(IniFile(path()).SectionExists(QStringLiteral("Filter")));
}

TEST_F(IniFileTest, LongValuesAreCutTo2047Characters) {
    const QString longValue(5000, u'x');
    IniFile ini(path());
    ini.WriteString(QStringLiteral("S"), QStringLiteral("k"), longValue);
    EXPECT_EQ(IniFile(path()).ReadString(QStringLiteral("S"), QStringLiteral("k"), QString()).size(), 2047);
}

TEST_F(IniFileTest, NonUtf8FileIsReadByteForByte) {
    WriteAll(path(), "[MainForm]\nDefault Directory=C:\\Bilder\\Gr\xfc\xdf\x65\n");
    IniFile ini(path());
    EXPECT_EQ(ini.ReadString(QStringLiteral("MainForm"), QStringLiteral("Default Directory"), QString()),
              QStringLiteral("C:\\Bilder\\Gr\u00fc\u00dfe"));
}

TEST_F(IniFileTest, FailedWriteRaisesAndLeavesTheFileIntact) {
    const QString missing = dir.filePath(QStringLiteral("no/such/folder/ZorvTile.ini"));
    IniFile lost(missing);
    try {
        lost.WriteInteger(QStringLiteral("EffectVals"), QStringLiteral("EffectVals6"), 250);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + missing.toStdString());
    }

    const QByteArray old = "[MainForm]\nTop=1\n";
    WriteAll(path(), old);
    IniFile ini(path());
    {
        FileSizeLimit limit(4096);
        EXPECT_THROW(ini.WriteString(QStringLiteral("MainForm"), QStringLiteral("Big"),
                                     QString(3000, u'y') + QString(3000, u'z')),
                     std::runtime_error);
    }
    EXPECT_EQ(ReadAll(path()), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("ZorvTile.ini")}); // no temp left
}

TEST(IniFileValues, FormatFloatUsesFifteenSignificantDigits) {
    EXPECT_EQ(IniFile::FormatFloat(0.75), QStringLiteral("0.75"));
    EXPECT_EQ(IniFile::FormatFloat(17.0), QStringLiteral("17"));
    EXPECT_EQ(IniFile::FormatFloat(1.0 / 3.0), QStringLiteral("0.333333333333333"));
    EXPECT_EQ(IniFile::FormatFloat(-2.5), QStringLiteral("-2.5"));
}

} // namespace
