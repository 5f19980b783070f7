// File > New, Open and Save As, the dropped file and the start-up file: round trips, the format chosen
// by the name, and files that cannot be read or written.
#include "FileTestSupport.h"

#include "app/dialogs/GifTransparency.h"
#include "app/dialogs/JpegQuality.h"
#include "platform/GIFGraphic.h"
#include "platform/MessageBoxes.h"
#include "platform/Picture.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollArea>
#include <QTimer>
#include <QUrl>

namespace {

class FileCommands : public FileCommandsBase {
protected:
    QByteArray Head(const QString& path, int n = 2) const { return ReadAll(path).left(n); }
    // Saves the image through Save As under `name` in the files folder.
    void SaveAs(const QString& name) {
        Chosen.push_back(File(name));
        Trigger("SaveAs1");
    }
    void Open(const QString& path) {
        Chosen.push_back(path);
        Trigger("Open1");
    }
    // Sends a drop of `paths` on the image area.
    bool Drop(const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
        data.setUrls(urls);
        QWidget* area = W->ScrollBox1->viewport();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(area, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(area, &drop);
        return true;
    }
    // Everything a failed open, drop or paste must leave alone.
    struct TState {
        TFastDIB z, orig, bufr;
        int stack = 0;
        QString defDir;
    };
    void Remember(TState& s) const {
        CopyDIB(W->z, s.z);
        CopyDIB(W->orig, s.orig);
        CopyDIB(W->bufr, s.bufr);
        s.stack = W->Ring.StackSize;
        s.defDir = W->DefDir;
    }
    void ExpectUnchanged(const TState& s) const {
        EXPECT_TRUE(SameDIB(W->z, s.z));
        EXPECT_TRUE(SameDIB(W->orig, s.orig));
        EXPECT_TRUE(SameDIB(W->bufr, s.bufr));
        EXPECT_EQ(W->Ring.StackSize, s.stack);
        EXPECT_EQ(W->DefDir, s.defDir);
    }
};

} // namespace

TEST_F(FileCommands, NewFillsTheImageWithTheBrushColourKeepingItsSize) {
    SetImage(7, 5);
    StartLog();
    Trigger("New1");
    EXPECT_EQ(W->z.Width, 7);
    EXPECT_EQ(W->z.Height, 5);
    // The tool box's brush colour, white at start.
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(W->z.Pixels24[y][x], MakeFColor(255, 255, 255));
    EXPECT_EQ(W->Ring.StackSize, 1);
    EXPECT_EQ(LogLines(), QStringList{"New Image, Color R: 255 G: 255 B: 255"});
    // Undo brings the pattern back.
    W->bUndoClick();
    EXPECT_EQ(W->z.Pixels24[4][6], Pattern(6, 4));
}

TEST_F(FileCommands, BmpSavedAndOpenedAgainIsExact) {
    SetImage(5, 3);
    TFastDIB saved;
    PaintPattern(saved, 5, 3);
    SaveAs("pic.bmp");
    ASSERT_TRUE(Errors().isEmpty()) << Errors().join("; ").toStdString();
    EXPECT_EQ(Dialogs.back().Caption, "Save File As...");
    EXPECT_EQ(Head(File("pic.bmp")), "BM");
    EXPECT_EQ(W->DefDir, QDir(Files.path()).absolutePath());

    Trigger("New1");
    StartLog();
    const int stack = W->Ring.StackSize;
    Open(File("pic.bmp"));
    EXPECT_EQ(Dialogs.back().Folder, QDir(Files.path()).absolutePath()) << "the dialog starts in DefDir";
    EXPECT_TRUE(SameDIB(W->z, saved));
    EXPECT_TRUE(SameDIB(W->orig, saved));
    EXPECT_EQ(W->buf.Width, 5);
    EXPECT_EQ(W->buf.Height, 3);
    EXPECT_EQ(W->imSine->size(), QSize(5, 3));
    EXPECT_EQ(W->stBar->PanelText(0), "Width: 5");
    EXPECT_EQ(W->stBar->PanelText(1), "Height: 3");
    EXPECT_EQ(W->Ring.StackSize, stack + 1);
    EXPECT_EQ(LogLines(), QStringList{"Open File " + QFileInfo(File("pic.bmp")).absoluteFilePath()});

    // Reset returns to the opened file after a change.
    Trigger("New1");
    W->Reset1Click();
    EXPECT_TRUE(SameDIB(W->z, saved));
}

TEST_F(FileCommands, JpegRoundTripIsCloseAndALowerQualityGivesASmallerFile) {
    // A smooth picture: red rises along x, green along y.
    W->z.SetSize(64, 64, 24, 0);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            W->z.Pixels24[y][x] =
                MakeFColor(static_cast<std::uint8_t>(4 * x), static_cast<std::uint8_t>(4 * y), 128);
    W->SetToIm(W->z);

    SaveAs("q90.jpg"); // jcv starts at 90
    // Quality 20 through the JPEG quality dialog.
    TfJPGComp::SetExecuteHook([](TfJPGComp& d) {
        d.eCVal->setText("20");
        d.BitBtn1Click();
        return static_cast<int>(mrOk);
    });
    Trigger("SetJPGCompression2");
    EXPECT_EQ(W->jcv, 20);
    SaveAs("q20.jpg");
    ASSERT_TRUE(Errors().isEmpty()) << Errors().join("; ").toStdString();
    EXPECT_EQ(Head(File("q90.jpg")), QByteArray("\xFF\xD8"));
    const qint64 big = QFileInfo(File("q90.jpg")).size();
    const qint64 small = QFileInfo(File("q20.jpg")).size();
    EXPECT_GT(small, 0);
    EXPECT_LT(small, big);

    // Opened again: close to the original (the error bound itself is checked with the picture container).
    Open(File("q90.jpg"));
    ASSERT_EQ(W->z.Width, 64);
    ASSERT_EQ(W->z.Height, 64);
    const TFColor c = W->z.Pixels24[32][32]; // r = g = b = 128
    for (int v : {c.r, c.g, c.b}) EXPECT_NEAR(v, 128, 12);
}

TEST_F(FileCommands, TheFormatComesFromTheFileNameNotItsFolders) {
    // The rules themselves are checked with the picture container; here the name reaches them whole.
    SetImage(4, 4);
    SaveAs("a.bmp.jpg"); // ".BMP" anywhere in the name
    EXPECT_EQ(Head(File("a.bmp.jpg")), "BM");
    ASSERT_TRUE(QDir(Files.path()).mkpath("x.gif"));
    SaveAs("x.gif/pic.jpg");
    EXPECT_EQ(Head(File("x.gif/pic.jpg")), QByteArray("\xFF\xD8"));
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join("; ").toStdString();
    // A name without an extension gets the dialog's default one.
    SaveAs("noext");
    EXPECT_EQ(Head(File("noext.jpg")), QByteArray("\xFF\xD8"));

    // ".GIF" anywhere in the name asks for GIF.
    SaveAs("picture.gif.jpg");
    SaveAs("plain.gif");
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join("; ").toStdString();
    EXPECT_EQ(Head(File("picture.gif.jpg"), 4), "GIF8");
    EXPECT_EQ(Head(File("plain.gif"), 4), "GIF8");
}

TEST_F(FileCommands, SaveAsGifWithTheTransparencyDialog) {
    // Four flat colour blocks: the JPEG road keeps them close, and the GIF opens again as its first
    // frame at the same size.
    SetImage(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            W->z.Pixels24[y][x] = x < 8 ? (y < 8 ? MakeFColor(255, 0, 0) : MakeFColor(0, 0, 255))
                                        : (y < 8 ? MakeFColor(0, 255, 0) : MakeFColor(255, 255, 255));
    W->SetToIm(W->z);
    // Hidden (the default): no dialog, no graphic control extension.
    int shown = 0;
    int answer = mrOk;
    TfGif::SetExecuteHook([&](TfGif& d) {
        ++shown;
        EXPECT_EQ(d.Clr[0]->palette().color(QPalette::Window).isValid(), true);
        return answer;
    });
    SaveAs("hidden.gif");
    EXPECT_EQ(shown, 0);
    TGIFGraphic hidden;
    hidden.LoadFromFile(File("hidden.gif"));
    EXPECT_FALSE(hidden.Image().IsTransparent());
    EXPECT_EQ(hidden.Image().Version(), gv87a);

    W->ShowDialogDuringSave1->setChecked(true);
    // OK without a swatch chosen: index 0 (the low byte of 256) becomes transparent.
    fGif->ndex = 256;
    SaveAs("ok.gif");
    EXPECT_EQ(shown, 1);
    TGIFGraphic ok;
    ok.LoadFromFile(File("ok.gif"));
    ASSERT_NE(ok.Image().Images()[0]->GraphicControlExtension(), nullptr);
    EXPECT_TRUE(ok.Image().IsTransparent());
    EXPECT_EQ(ok.Image().Images()[0]->GraphicControlExtension()->TransparentColorIndex(), 0);
    // A swatch chosen by a click: its index.
    fGif->SwatchMouseDown(6 + 17 * 2 + 3, 4 + 5);
    EXPECT_EQ(fGif->ndex, 2);
    SaveAs("two.gif");
    TGIFGraphic two;
    two.LoadFromFile(File("two.gif"));
    EXPECT_EQ(two.Image().Images()[0]->GraphicControlExtension()->TransparentColorIndex(), 2);
    // None: the extension is there, not transparent.
    answer = mrNo;
    SaveAs("none.gif");
    TGIFGraphic none;
    none.LoadFromFile(File("none.gif"));
    ASSERT_NE(none.Image().Images()[0]->GraphicControlExtension(), nullptr);
    EXPECT_FALSE(none.Image().IsTransparent());
    // Cancel: nothing is written.
    answer = mrCancel;
    SaveAs("cancel.gif");
    EXPECT_FALSE(QFile::exists(File("cancel.gif")));
    TfGif::SetExecuteHook(nullptr);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join("; ").toStdString();

    // A copy cut short opens with what could be read, and says the picture is incomplete.
    const QByteArray whole = ReadAll(File("none.gif"));
    QFile cut(File("cut.gif"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(whole.left(whole.size() - 4));
    cut.close();
    const int before = static_cast<int>(Messages().size());
    Open(File("cut.gif"));
    ASSERT_EQ(Messages().size(), before + 1);
    // What happened to this file first, in plain words; the codec's lines after it.
    const QStringList lines = Messages().last().split('\n');
    EXPECT_EQ(lines.value(0),
              "cut.gif is incomplete: it ends before the last picture does; what was readable is shown");
    EXPECT_TRUE(lines.mid(1).join('\n').contains("the picture is incomplete"))
        << Messages().last().toStdString();
    EXPECT_EQ(W->z.Width, 16);

    // Opened again: the first frame, 16 x 16, colours close to the blocks.
    Open(File("none.gif"));
    ASSERT_EQ(W->z.Width, 16);
    ASSERT_EQ(W->z.Height, 16);
    const TFColor red = W->z.Pixels24[2][2], white = W->z.Pixels24[13][13];
    EXPECT_NEAR(red.r, 255, 24);
    EXPECT_NEAR(red.g, 0, 24);
    EXPECT_NEAR(white.b, 255, 24);
}

TEST_F(FileCommands, CancelledDialogsChangeAndWriteNothing) {
    SetImage(2, 3);
    TState s;
    Remember(s);
    Chosen = {QString(), QString()};
    EXPECT_FALSE(W->SaveImageAs("test.jpg"));
    EXPECT_EQ(Dialogs.back().Proposed, "test.jpg");
    EXPECT_EQ(Dialogs.back().Filter, TfZorvTile::SavePictureFilter);
    EXPECT_TRUE(QDir(Files.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    Trigger("Open1");
    EXPECT_EQ(Dialogs.back().Filter, OpenPictureFilterWithAllTypes(TfZorvTile::OpenPictureFilter));
    ExpectUnchanged(s);
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(FileCommands, AFailedSaveLeavesTheExistingFileIntactAndSaysSo) {
    SetImage(64, 64); // a BMP of 64 * 64 * 3 + 54 bytes
    const QByteArray before = "the previous picture";
    WriteAll(File("keep.bmp"), before);
    // Files may not grow past 1000 bytes while saving: the write fails part way.
    {
        FileSizeLimit limit(1000);
        SaveAs("keep.bmp");
    }

    ASSERT_EQ(Errors().size(), 1);
    EXPECT_TRUE(Errors()[0].contains("keep.bmp")) << Errors()[0].toStdString();
    EXPECT_EQ(ReadAll(File("keep.bmp")), before);
    // No temporary file is left behind.
    EXPECT_EQ(QDir(Files.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.bmp"});

    // A folder that does not exist: reported, nothing written.
    SaveAs("missing/pic.jpg");
    EXPECT_EQ(Errors().size(), 2);
}

TEST_F(FileCommands, CorruptTruncatedAndOversizedFilesAreRefusedChangingNothing) {
    SetImage(6, 4);
    StartLog();
    TState s;
    Remember(s);

    QByteArray good = ReadAll(QString(MOZARO_TEST_DATA) + "/picture/baseline.jpg");
    ASSERT_GT(good.size(), 200);
    WriteAll(File("truncated.jpg"), good.left(good.size() / 2));
    QByteArray bmp = ReadAll(QString(MOZARO_TEST_DATA) + "/picture/rgb24.bmp");
    ASSERT_GT(bmp.size(), 60);
    WriteAll(File("truncated.bmp"), bmp.left(60));
    WriteAll(File("corrupt.bmp"), "BM" + QByteArray(100, '\x7F'));
    WriteAll(File("corrupt.jpg"), "\xFF\xD8\xFF" + QByteArray(100, 'x'));
    WriteAll(File("text.jpg"), "just some text\n");
    WriteAll(File("huge.bmp"), BmpHeader(20000, 10));
    WriteAll(File("huge2.bmp"), BmpHeader(16384, 16385)); // one row over the largest picture
    const QStringList bad = {"truncated.jpg", "truncated.bmp", "corrupt.bmp", "corrupt.jpg",
                             "text.jpg",      "huge.bmp",      "huge2.bmp",   "missing.bmp"};
    for (const QString& name : bad) Open(File(name));
    ASSERT_EQ(Errors().size(), bad.size()) << Messages().join("; ").toStdString();
    EXPECT_TRUE(Errors()[5].contains("too large")) << Errors()[5].toStdString();
    EXPECT_TRUE(Errors()[6].contains("too large")) << Errors()[6].toStdString();
    ExpectUnchanged(s);
    EXPECT_TRUE(LogLines().isEmpty());

    // The buffer: the same files leave it and its items alone.
    for (const QString& name : bad) {
        Chosen.push_back(File(name));
        Trigger("LoadBufferfromFile1");
    }
    EXPECT_EQ(Errors().size(), 2 * bad.size());
    ExpectUnchanged(s);
    EXPECT_FALSE(W->PasteBuffertoImage1->isEnabled());
}

TEST_F(FileCommands, DroppedFiles) {
    SetImage(3, 2);
    SaveAs("dropped.bmp");
    SetImage(3, 3);
    W->DefDir = QString();
    WriteAll(File("notes.txt"), "not a picture");
    StartLog();
    TState s;
    Remember(s);

    // A drag that carries no file is not accepted.
    {
        QMimeData text;
        text.setText("hello");
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(W->ScrollBox1->viewport(), &enter);
        EXPECT_FALSE(enter.isAccepted());
    }

    ASSERT_TRUE(Drop({File("dropped.bmp"), File("notes.txt")}));
    EXPECT_EQ(Messages(), QStringList{"You can only drop one file at a time"});
    ExpectUnchanged(s);

    ASSERT_TRUE(Drop({File("notes.txt")}));
    EXPECT_EQ(Messages().last(), "Unsupported image file, or not an image");
    ExpectUnchanged(s);
    EXPECT_TRUE(LogLines().isEmpty()) << "nothing was done, so nothing is undone or logged";

    ASSERT_TRUE(Drop({File("dropped.bmp")}));
    TFastDIB expected;
    PaintPattern(expected, 3, 2);
    EXPECT_TRUE(SameDIB(W->z, expected));
    EXPECT_TRUE(SameDIB(W->orig, expected));
    EXPECT_EQ(W->Ring.StackSize, s.stack + 1);
    EXPECT_EQ(W->DefDir, QDir(Files.path()).absolutePath());
    EXPECT_EQ(LogLines(), QStringList{"Open File " + QFileInfo(File("dropped.bmp")).absoluteFilePath()});
    EXPECT_EQ(Messages().size(), 2);
}

TEST(FileNameFilters, InQtForm) {
    EXPECT_EQ(TfZorvTile::QtNameFilters(TfZorvTile::OpenPictureFilter),
              "BMP, JPG, GIF (*.bmp *.jpg *.gif);;JPEG Image File (*.jpg);;Bitmaps (*.bmp);;GIF (*.gif)");
    EXPECT_EQ(TfZorvTile::QtNameFilters(TfZorvTile::SavePictureFilter),
              "JPG,BMP,GIF (*.jpg *.bmp *.gif);;JPEG Image File (*.jpg);;Bitmaps (*.bmp);;GIF (*.gif)");
    // Each pattern is shown once, whatever notation the text already used; other texts keep theirs.
    EXPECT_EQ(TfZorvTile::QtNameFilters("Pictures (*.a; *.b)|*.b;*.a|Text (notes)|*.txt"),
              "Pictures (*.b *.a);;Text (notes) (*.txt)");
}

TEST_F(FileCommands, ExitAsksTheCloseQuestionAndCancelStays) {
    W->PromptforSaveAtTermination1->setChecked(true);
    Program->Answers.push_back(mrCancel);
    Trigger("Exit1");
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Messages()[0].startsWith("Save the Current Image?"));
    EXPECT_TRUE(W->isVisible());
}

TEST_F(FileCommands, TheRealDialogsStartInDefDirWithTheFiltersAndAddTheDefaultExtension) {
    TfZorvTile::SetFileDialogHook({});
    SetImage(3, 2);
    W->DefDir = Files.path();
    QStringList filters;
    QString folder;
    // Answers the dialog once it is up: the name without an extension.
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        filters = d->nameFilters();
        folder = d->directory().absolutePath();
        EXPECT_EQ(d->windowTitle(), "Save File As...");
        d->selectFile(File("real"));
        QMetaObject::invokeMethod(d, "accept");
    });
    Trigger("SaveAs1");
    EXPECT_EQ(folder, QDir(Files.path()).absolutePath());
    EXPECT_EQ(filters.size(), 4);
    EXPECT_EQ(Head(File("real.jpg")), QByteArray("\xFF\xD8"));

    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        filters = d->nameFilters();
        d->selectFile(File("real.jpg"));
        QMetaObject::invokeMethod(d, "accept");
    });
    Trigger("New1");
    Trigger("Open1");
    ASSERT_TRUE(filters.value(0).startsWith("All pictures (*.bmp *.jpg *.jpeg *.gif *."))
        << filters.value(0).toStdString();
    EXPECT_TRUE(filters.value(0).contains("*.png")) << filters.value(0).toStdString();
    EXPECT_EQ(filters.value(1), "BMP, JPG, GIF (*.bmp *.jpg *.gif)");
    EXPECT_EQ(W->z.Width, 3);
    EXPECT_EQ(W->z.Height, 2);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join("; ").toStdString();
}
