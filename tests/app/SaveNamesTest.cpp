// Save As writes only names the program can read back, and file errors name the file and the reason
// in plain words.
#include "FileTestSupport.h"

#include <QDir>
#include <QFile>

#include "platform/Picture.h"

namespace {
class SaveNames : public FileCommandsBase {};
} // namespace

TEST_F(SaveNames, NamesWhoseExtensionThePictureContainerDoesNotKnowAreRefused) {
    SetImage(4, 3);
    const QStringList refused = {"picture.png", "picture.jpg.tiff", "notes.txt", "archive.bmp.gz"};
    for (const QString& name : refused) {
        Chosen.push_back(File(name));
        EXPECT_FALSE(W->SaveImageAs()) << name.toStdString();
    }
    ASSERT_EQ(Messages().size(), refused.size());
    for (int i = 0; i < refused.size(); ++i) {
        EXPECT_EQ(Messages()[i], "Cannot save as \"" + refused[i] +
                                     "\": pictures are saved as .bmp, .jpg, .jpeg or .gif files.");
        EXPECT_NE(Program->Asked[size_t(i)].Type, TMsgDlgType::mtError) << "a message, not a failure";
    }
    EXPECT_TRUE(QDir(Files.path()).entryList(QDir::Files | QDir::Hidden).isEmpty()) << "nothing written";

    // The known extensions, in any case, are written and read back.
    for (const QString name : {"a.BMP", "b.jpeg", "c.JPG"}) {
        Chosen.push_back(File(name));
        EXPECT_TRUE(W->SaveImageAs()) << name.toStdString();
        TFastDIB back;
        LoadPictureToDIB(File(name), back);
        EXPECT_EQ(back.Width, 4);
    }
    EXPECT_EQ(Messages().size(), refused.size());

    // The close question's Yes with a refused name keeps the window open: the image is not lost.
    W->PromptforSaveAtTermination1->setChecked(true);
    Program->Answers.push_back(mrYes);
    Chosen.push_back(File("last.png"));
    TCloseAction action = TCloseAction::caFree;
    W->FormClose(action);
    EXPECT_EQ(action, TCloseAction::caNone);
}

TEST_F(SaveNames, ErrorsNameTheFileAndTheReasonInPlainWords) {
    WriteAll(File("photo.jpg"), "just some text\n");
    WriteAll(File("photo.bmp"), "BLOB, not a bitmap\n"); // (JPEG data under a bitmap's name open as JPEG)
    QByteArray cut = ReadAll(QString(MOZARO_TEST_DATA) + "/picture/baseline.jpg");
    WriteAll(File("cut.jpg"), cut.left(cut.size() / 4)); // inside the headers: nothing to show
    WriteAll(File("empty.jpg"), QByteArray());
    for (const char* name : {"photo.jpg", "photo.bmp", "cut.jpg", "empty.jpg", "missing.jpg"}) {
        Chosen.push_back(File(name));
        Trigger("Open1");
    }
    Chosen.push_back(File("no/such/folder/x.bmp"));
    Trigger("SaveAs1");
    const QStringList want = {"photo.jpg is not a JPEG picture",
                              "photo.bmp is not a bitmap picture",
                              "cut.jpg cannot be read: the file is cut short (truncated)",
                              "empty.jpg is not a JPEG picture",
                              "Cannot open " + File("missing.jpg") + ": no such file or directory",
                              "Cannot write " + File("no/such/folder/x.bmp") + ": no such file or directory"};
    EXPECT_EQ(Errors().join("\n").toStdString(), want.join("\n").toStdString());
    for (const QString& e : Errors()) EXPECT_FALSE(e.contains("JPEG error")) << e.toStdString();
}
