// Where a user's settings and log live on an account without a documents folder: per user, persistent,
// never in the temporary folder and never beside the program.

#include "AppTestSupport.h"
#include "FreshAccount.h"

#include "app/dialogs/InputBox.h"
#include "app/main/SettingsFile.h"
#include "platform/Folders.h"
#include "platform/Registry.h"

#include <QDir>
#include <QFile>

namespace {

const QString Key = "Software\\ZorvWare\\ZorvTile";

} // namespace

TEST_F(FreshAccount, WithoutDocumentsTheSettingsGoToThePersonalConfigurationFolder) {
    ASSERT_EQ(DocumentsFolder(), QString());
    {
        TApplicationForms forms;
        forms.CreateForms(QString());
        EXPECT_EQ(fZorvTile->INIDir, Config());
        EXPECT_EQ(Registry::ReadString(Key, "INILocation"), Config()) << "the key store never names /tmp";
        forms.DestroyForms();
    }
    EXPECT_TRUE(QFile::exists(Config() + "/ZorvTile.ini")) << "the folder is made when the file is written";
    EXPECT_TRUE(QDir(Home.path() + "/tmp").isEmpty());

    // The next start reads them back from there.
    WriteAll(Config() + "/ZorvTile.ini", "[EffectVals]\nEffectVals6=7\n");
    TApplicationForms forms;
    forms.CreateForms(QString());
    EXPECT_EQ(fZorvTile->EffectVals[6], 7);
    forms.DestroyForms();
}

TEST_F(FreshAccount, SettingsPinnedToTheTemporaryFolderMoveToThePersistentOne) {
    const QString temp = TempFolder();
    ASSERT_EQ(temp, QDir::cleanPath(Home.path() + "/tmp"));
    Registry::WriteString(Key, "INILocation", temp);
    WriteAll(temp + "/ZorvTile.ini", "[EffectVals]\nEffectVals6=33\n");
    TApplicationForms forms;
    forms.CreateForms(QString());
    EXPECT_EQ(fZorvTile->INIDir, Config());
    EXPECT_EQ(Registry::ReadString(Key, "INILocation"), Config());
    EXPECT_EQ(fZorvTile->EffectVals[6], 33) << "the settings came along";
    EXPECT_FALSE(QFile::exists(temp + "/ZorvTile.ini"));
    forms.DestroyForms();
    EXPECT_TRUE(QFile::exists(Config() + "/ZorvTile.ini"));

    // An empty stored folder falls back to the same place, not to the temporary folder.
    Registry::WriteString(Key, "INILocation", QString());
    TApplicationForms again;
    again.CreateForms(QString());
    EXPECT_EQ(fZorvTile->INIDir, Config());
    again.DestroyForms();
}

TEST_F(FreshAccount, TheLogLivesInThePersonalDataFolder) {
    TApplicationForms forms;
    forms.CreateForms(QString());
    const QString data = Home.path() + "/.local/share/ZorvWare/ZorvTile";
    EXPECT_EQ(fZorvTile->LogPath(), data + "/ZorvLog.txt");
    EXPECT_NE(QFileInfo(fZorvTile->LogPath()).absolutePath(), ProgramFolder());
    std::vector<QString> asked;
    ScopedMessageHook hook([&](const QString& text, TMsgDlgType, int) {
        asked.push_back(text);
        return int(mrYes);
    });
    fZorvTile->ViewLog1Click();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], "Log File Not Found in " + data) << "the message names where the log is kept";
    fZorvTile->LogthisSession1Click();
    EXPECT_TRUE(fZorvTile->Logging);
    forms.DestroyForms();
    EXPECT_TRUE(QFile::exists(data + "/ZorvLog.txt"));
}

TEST_F(FreshAccount, ChangeINIlocationOpensInTheNearestFolderThatExists) {
    TApplicationForms forms;
    forms.CreateForms(QString());
    // Before the first exit the settings folder is only a name; the key store made its parent.
    ASSERT_FALSE(QFileInfo::exists(Config()));
    ASSERT_TRUE(QFileInfo(Home.path() + "/.config/ZorvWare").isDir());
    QString caption, start;
    SetFolderBrowserHook([&](const QString& c, const QString& s) {
        caption = c;
        start = s;
        return QString();
    });
    fZorvTile->ChangeINIlocation1Click();
    SetFolderBrowserHook({});
    EXPECT_EQ(caption, "Current Folder: " + Config());
    EXPECT_EQ(start, Home.path() + "/.config/ZorvWare");
    EXPECT_EQ(fZorvTile->INIDir, Config()) << "Cancel keeps the folder";
    forms.DestroyForms();
}
