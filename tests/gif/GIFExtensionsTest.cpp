// Extension blocks read and written back byte for byte, the registries, and the faults around them.
#include <gtest/gtest.h>

#include "GifTestUtil.h"

namespace {

// Reads the extensions in front of a frame from bytes, then writes them back.
struct ExtensionFixture {
    WarnedImage W;
    TGIFSubImage Frame{&W.Image};
    std::int64_t StoppedAt = 0;

    void Load(const Bytes& bytes) {
        TMemoryStream s(bytes);
        Frame.Extensions().LoadFromStream(s, &Frame);
        StoppedAt = s.Position();
    }
    Bytes Save() {
        TMemoryStream s;
        Frame.Extensions().SaveToStream(s);
        return s.Bytes();
    }
    template <class T> T* Ext(int i) { return dynamic_cast<T*>(Frame.Extensions()[i]); }
};

} // namespace

TEST(gifExtensions, GraphicControlExtensionBytes) {
    // Transparent flag and disposal 1 ($05), delay 10, transparent index 3.
    const Bytes gce = B({'!', 0xF9, 4, 0x05, 10, 0, 3, 0});
    ExtensionFixture x;
    x.Load(Cat({gce, B({','})}));
    ASSERT_EQ(x.Frame.Extensions().Count(), 1);
    auto* g = x.Ext<TGIFGraphicControlExtension>(0);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->Delay(), 10);
    EXPECT_TRUE(g->Transparent());
    EXPECT_EQ(g->TransparentColorIndex(), 3);
    EXPECT_EQ(g->Disposal(), dmNoDisposal);
    EXPECT_FALSE(g->UserInput());
    EXPECT_TRUE(x.Frame.Transparent());
    EXPECT_EQ(x.Frame.GraphicControlExtension(), g);
    EXPECT_EQ(x.StoppedAt, 8); // left in front of the image separator
    EXPECT_EQ(x.Save(), gce);
    EXPECT_EQ(g->Version(), gv89a);

    g->SetDisposal(dmPrevious); // bits 2-4 = 3, other bits kept: $0D
    EXPECT_EQ(g->Record().PackedFields, 0x0D);
    // Deleting the steering extension gives back the frame's transparency.
    x.Frame.Extensions().Delete(0);
    EXPECT_FALSE(x.Frame.Transparent());
    EXPECT_EQ(x.Frame.GraphicControlExtension(), nullptr);
}

TEST(gifExtensions, ShortGraphicControlExtensionWarns) {
    ExtensionFixture x;
    x.Load(B({'!', 0xF9, 4, 0x01, 10}));
    ASSERT_EQ(x.Frame.Extensions().Count(), 1);
    EXPECT_EQ(x.Ext<TGIFGraphicControlExtension>(0)->Delay(), 10);
    EXPECT_FALSE(x.Frame.Transparent());
    EXPECT_EQ(x.W.Warnings, std::vector<std::string>{"Premature end of data"});
}

TEST(gifExtensions, FirstGraphicControlExtensionSteersTransparency) {
    // Not transparent first, transparent second: the frame is not transparent, both are kept.
    const Bytes first = B({'!', 0xF9, 4, 0x00, 0, 0, 7, 0});
    const Bytes second = B({'!', 0xF9, 4, 0x01, 0, 0, 2, 0});
    ExtensionFixture x;
    x.Load(Cat({first, second}));
    ASSERT_EQ(x.Frame.Extensions().Count(), 2);
    EXPECT_FALSE(x.Frame.Transparent());
    EXPECT_EQ(x.Frame.GraphicControlExtension(), x.Frame.Extensions()[0]);
    EXPECT_EQ(x.Save(), Cat({first, second}));
    // Deleting the second, transparent one leaves the frame as the first one says.
    x.Frame.Extensions().Delete(1);
    EXPECT_FALSE(x.Frame.Transparent());
    EXPECT_EQ(x.Frame.GraphicControlExtension(), x.Frame.Extensions()[0]);

    // Both transparent: the frame is filled with the first one's index.
    const Bytes file = Cat({Header87(4, 1, 2), TransparentGCE(6), TransparentGCE(2), Descriptor(0, 0, 4, 1),
                            PackCodes(3, {{8, 4}, {9, 4}}), B({';'})});
    WarnedImage w;
    w.Load(file);
    ASSERT_EQ(w.Image.Images().Count(), 1);
    EXPECT_EQ(FrameBytes(*w.Image.Images()[0]), B({6, 6, 6, 6}));
}

TEST(gifExtensions, PlainTextExtensionBytes) {
    const Bytes text = B({'!', 0x01, 12, 1, 0, 2, 0, 48, 0, 16, 0, 8, 8, 1, 0, 3, 'H', 'i', '!', 0});
    ExtensionFixture x;
    x.Load(text);
    auto* t = x.Ext<TGIFTextExtension>(0);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Left(), 1);
    EXPECT_EQ(t->Top(), 2);
    EXPECT_EQ(t->GridWidth(), 48);
    EXPECT_EQ(t->GridHeight(), 16);
    EXPECT_EQ(t->CharWidth(), 8);
    EXPECT_EQ(t->CharHeight(), 8);
    EXPECT_EQ(t->ForegroundColorIndex(), 1);
    EXPECT_EQ(t->BackgroundColorIndex(), 0);
    EXPECT_EQ(t->Text(), std::vector<std::string>{"Hi!"});
    EXPECT_EQ(x.Save(), text);
    // Colours come from the frame's active table, here the global one.
    x.W.Image.GlobalColorMap().Add(0x000000);
    x.W.Image.GlobalColorMap().Add(0x112233);
    EXPECT_EQ(t->ForegroundColor(), 0x112233u);

    ExtensionFixture cut;
    EXPECT_THROW(cut.Load(B({'!', 0x01, 12, 1, 0, 2})), GIFException);
}

TEST(gifExtensions, CommentOfThreeSubBlocks) {
    const Bytes comment = B({'!', 0xFE, 3, 'a', 'b', 'c', 1, 'd', 2, 'e', 'f', 0});
    ExtensionFixture x;
    x.Load(comment);
    auto* c = x.Ext<TGIFCommentExtension>(0);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Text(), (std::vector<std::string>{"abc", "d", "ef"}));
    EXPECT_EQ(x.Save(), comment);
}

TEST(gifExtensions, LoopingBlock) {
    const Bytes loop = Cat({B({'!', 0xFF, 11}), Str("NETSCAPE2.0"), B({3, 1, 0, 0, 0})});
    ExtensionFixture x;
    x.Load(loop);
    auto* n = x.Ext<TGIFAppExtNSLoop>(0);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->Loops(), 0);
    EXPECT_EQ(x.Save(), loop);

    // Loop count 5 and a buffer size of $1000; the other identifier of the same block.
    const Bytes both = Cat({B({'!', 0xFF, 11}), Str("ANIMEXTS1.0"), B({3, 1, 5, 0, 5, 2, 0, 0x10, 0, 0, 0})});
    ExtensionFixture y;
    y.Load(both);
    auto* m = y.Ext<TGIFAppExtNSLoop>(0);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Loops(), 5);
    EXPECT_EQ(m->BufferSize(), 0x1000u);
    EXPECT_EQ(m->Identifier(), "ANIMEXTS");
    EXPECT_EQ(m->Authentication(), "1.0");
    EXPECT_EQ(y.Save(), both);

    // A new looping block: "NETSCAPE2.0", loop count only.
    TGIFImage image;
    TGIFSubImage frame(&image);
    TGIFAppExtNSLoop fresh(&frame);
    fresh.SetLoops(0x0203);
    TMemoryStream s;
    fresh.SaveToStream(s);
    EXPECT_EQ(s.Bytes(), Cat({B({'!', 0xFF, 11}), Str("NETSCAPE2.0"), B({3, 1, 3, 2, 0})}));

    // A loop sub-block too short for its field; an id whose low three bits are 1 (9) is a loop count.
    ExtensionFixture bad;
    try {
        bad.Load(Cat({B({'!', 0xFF, 11}), Str("NETSCAPE2.0"), B({2, 1, 5, 0})}));
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Invalid GIF data");
    }
    ExtensionFixture nine;
    nine.Load(Cat({B({'!', 0xFF, 11}), Str("NETSCAPE2.0"), B({4, 9, 7, 0, 99, 2, 4, 4, 0})}));
    EXPECT_EQ(nine.Ext<TGIFAppExtNSLoop>(0)->Loops(), 7);
}

TEST(gifExtensions, UnregisteredApplicationKeptByteForByte) {
    const Bytes app = Cat({B({'!', 0xFF, 11}), Str("MOZARO001.0"), B({2, 0xAA, 0xBB, 1, 0xCC, 0})});
    ExtensionFixture x;
    x.Load(app);
    auto* u = x.Ext<TGIFUnknownAppExtension>(0);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->Identifier(), "MOZARO00");
    ASSERT_EQ(u->Blocks().size(), 2u);
    EXPECT_EQ(u->Blocks()[1]->Size(), 1);
    EXPECT_EQ(x.Save(), app);
    EXPECT_TRUE(x.W.Warnings.empty());
}

TEST(gifExtensions, ApplicationBlockSizesOtherThanEleven) {
    // Size 10: the record takes the ten bytes and the first data length byte, which is read again;
    // written back with size 11.
    ExtensionFixture ten;
    ten.Load(Cat({B({'!', 0xFF, 10}), Str("ABCDEFGHIJ"), B({2, 0xAA, 0xBB, 0})}));
    ASSERT_NE(ten.Ext<TGIFUnknownAppExtension>(0), nullptr);
    EXPECT_EQ(ten.Save(), Cat({B({'!', 0xFF, 11}), Str("ABCDEFGHIJ"), B({2, 2, 0xAA, 0xBB, 0})}));

    // Size 5: kept as application data with the identifier padded by zeros.
    ExtensionFixture five;
    five.Load(Cat({B({'!', 0xFF, 5}), Str("ABCDE"), B({1, 0xAA, 0})}));
    ASSERT_NE(five.Ext<TGIFUnknownAppExtension>(0), nullptr);
    EXPECT_EQ(five.Save(), Cat({B({'!', 0xFF, 11}), Str("ABCDE"), B({0, 0, 0, 0, 0, 0, 1, 0xAA, 0})}));

    // Size 13 even for a registered identifier: the two extra bytes are skipped, the data kept raw.
    ExtensionFixture thirteen;
    thirteen.Load(Cat({B({'!', 0xFF, 13}), Str("NETSCAPE2.0xy"), B({3, 1, 4, 0, 0, ','})}));
    ASSERT_NE(thirteen.Ext<TGIFUnknownAppExtension>(0), nullptr);
    EXPECT_EQ(thirteen.Save(), Cat({B({'!', 0xFF, 11}), Str("NETSCAPE2.0"), B({3, 1, 4, 0, 0})}));
    EXPECT_EQ(thirteen.StoppedAt, 3 + 13 + 5);
}

TEST(gifExtensions, UnknownLabelKeptAndWrittenBackWithWarning) {
    const Bytes unknown = B({'!', 0x7A, 2, 0x11, 0x22, 0});
    const Bytes gce = B({'!', 0xF9, 4, 0, 5, 0, 0, 0});
    ExtensionFixture x;
    x.Load(Cat({unknown, gce, B({';'})}));
    ASSERT_EQ(x.Frame.Extensions().Count(), 2);
    auto* u = x.Ext<TGIFUnknownExtension>(0);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->ExtensionType(), 0x7A);
    EXPECT_NE(x.Ext<TGIFGraphicControlExtension>(1), nullptr);
    EXPECT_EQ(x.W.Warnings, std::vector<std::string>{"Unknown extension type"});
    EXPECT_EQ(x.Save(), Cat({unknown, gce}));
}

TEST(gifExtensions, InvalidIntroducerStopsTheExtensions) {
    ExtensionFixture x;
    x.Load(B({'!', 0xFE, 1, 'a', 0, 'Q', ','}));
    EXPECT_EQ(x.Frame.Extensions().Count(), 1);
    EXPECT_EQ(x.StoppedAt, 5); // in front of the bad byte
    EXPECT_EQ(x.W.Warnings, std::vector<std::string>{"Invalid extension introducer"});

    // An extension object asked to read another label or no introducer.
    TGIFImage image;
    TGIFSubImage frame(&image);
    TGIFCommentExtension c(&frame);
    TMemoryStream wrongLabel(B({'!', 0xF9, 0}));
    try {
        c.LoadFromStream(wrongLabel);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Internal error: Extension Instance does not match Extension Label");
    }
    TMemoryStream noIntroducer(B({'?', 0xFE, 0}));
    try {
        c.LoadFromStream(noIntroducer);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Invalid extension introducer");
    }
}

TEST(gifExtensions, RegistriesLaterRegistrationWinsAndRemoveRestores) {
    const Bytes loop = Cat({B({'!', 0xFF, 11}), Str("NETSCAPE2.0"), B({3, 1, 2, 0, 0})});
    TGIFApplicationExtension::RegisterExtension("NETSCAPE2.0", &TGIFUnknownAppExtension::ClassInfo);
    ExtensionFixture raw;
    raw.Load(loop);
    EXPECT_NE(raw.Ext<TGIFUnknownAppExtension>(0), nullptr);
    AppExtensionList().Remove(&TGIFUnknownAppExtension::ClassInfo);
    ExtensionFixture loopAgain;
    loopAgain.Load(loop);
    ASSERT_NE(loopAgain.Ext<TGIFAppExtNSLoop>(0), nullptr);
    EXPECT_EQ(loopAgain.Ext<TGIFAppExtNSLoop>(0)->Loops(), 2);

    // Removing the comment class makes its label unknown: the block is then kept raw.
    ExtensionList().Remove(&TGIFCommentExtension::ClassInfo);
    ExtensionFixture c;
    c.Load(B({'!', 0xFE, 1, 'z', 0}));
    ExtensionList().Add(0xFE, &TGIFCommentExtension::ClassInfo);
    EXPECT_NE(c.Ext<TGIFUnknownExtension>(0), nullptr);
    EXPECT_EQ(c.Save(), B({'!', 0xFE, 1, 'z', 0}));
    EXPECT_EQ(ExtensionList().FindExt(0xFE), &TGIFCommentExtension::ClassInfo);
}

TEST(gifExtensions, TransparentIndexOutsideTableWarns) {
    TGIFImage image;
    std::vector<std::string> warnings;
    image.OnWarning = [&](const void*, TGIFSeverity, const std::string& m) { warnings.push_back(m); };
    GreyTable(image.GlobalColorMap(), 4);
    TGIFSubImage* f = AddFrame(image, 0, 0, 1, 1);
    auto g = std::make_unique<TGIFGraphicControlExtension>(f);
    g->SetTransparentColorIndex(3);
    EXPECT_EQ(g->TransparentColorIndex(), 3);
    g->SetTransparentColorIndex(4);
    EXPECT_EQ(g->TransparentColorIndex(), 0);
    EXPECT_EQ(warnings, std::vector<std::string>{"Invalid color index"});
    g->SetTransparentColor(0x0000FF); // not in the table: appended as entry 4
    EXPECT_EQ(g->TransparentColorIndex(), 4);
    g->SetTransparent(true);
    TGIFGraphicControlExtension* raw = g.get();
    f->Extensions().Add(std::move(g));
    EXPECT_TRUE(f->Transparent());
    EXPECT_TRUE(image.IsTransparent());
    EXPECT_EQ(raw->TransparentColor(), 0x0000FFu);
}
