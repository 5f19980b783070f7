#pragma once
// GIF extension blocks ("!" and a label): graphic control, plain text, comment, application
// extensions (the looping block and raw data under other identifiers) and extensions of labels this
// codec does not know, which are kept as raw sub-blocks. Two registries choose the class that reads a
// block: one by label, one by the 11-byte application identifier. Included by GIFImage.h.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TGIFExtension;
class TGIFSubImage;

// A class of extension as the registries know it: its name, its parent (for "this class or a
// descendant"), how to make one for a frame, and how it refines the choice by looking further into
// the stream (none: the class answers itself).
struct TGIFExtensionClassInfo {
    const char* Name;
    const TGIFExtensionClassInfo* Parent;
    std::unique_ptr<TGIFExtension> (*Create)(TGIFSubImage* SubImage);
    const TGIFExtensionClassInfo* (*FindSubExtension)(TStream& Stream);
    bool InheritsFrom(const TGIFExtensionClassInfo* Other) const;
};
using TGIFExtensionClass = const TGIFExtensionClassInfo*;
using TGIFAppExtensionClass = const TGIFExtensionClassInfo*;

using TGIFIdentifierCode = std::array<char, 8>;
using TGIFAuthenticationCode = std::array<char, 3>;

#pragma pack(push, 1)
struct TGIFGCERec {
    std::uint8_t BlockSize = 4;
    std::uint8_t PackedFields = 0;
    std::uint16_t DelayTime = 0;
    std::uint8_t TransparentColorIndex = 0;
    std::uint8_t Terminator = 0;
};
struct TGIFPlainTextExtensionRec {
    std::uint8_t BlockSize = 12;
    std::uint16_t Left = 0, Top = 0, Width = 0, Height = 0;
    std::uint8_t CellWidth = 0, CellHeight = 0;
    std::uint8_t TextFGColorIndex = 0, TextBGColorIndex = 0;
};
struct TGIFApplicationRec {
    TGIFIdentifierCode Identifier{};
    TGIFAuthenticationCode Authentication{};
};
#pragma pack(pop)

// Label registry: (class, label byte); a later registration of a label wins.
class TExtensionList {
public:
    TExtensionList();
    void Add(std::uint8_t eLabel, TGIFExtensionClass eClass);
    TGIFExtensionClass FindExt(std::uint8_t eLabel) const;
    void Remove(TGIFExtensionClass eClass);

private:
    struct Rec {
        TGIFExtensionClass Class;
        std::uint8_t Label;
    };
    std::vector<Rec> FList;
};

// Application registry: (class, 11-byte identifier compared exactly); a later registration wins.
class TAppExtensionList {
public:
    TAppExtensionList();
    void Add(const std::string& eIdent, TGIFAppExtensionClass eClass);
    TGIFAppExtensionClass FindExt(const std::uint8_t* eIdent) const; // 11 bytes
    void Remove(TGIFAppExtensionClass eClass);

private:
    struct Rec {
        TGIFAppExtensionClass Class;
        std::array<std::uint8_t, 11> Ident;
    };
    std::vector<Rec> FList;
};

// The program-wide registries, made on first use.
TExtensionList& ExtensionList();
TAppExtensionList& AppExtensionList();

class TGIFExtension : public TGIFItem {
public:
    explicit TGIFExtension(TGIFSubImage* ASubImage);
    TGIFVersion GetVersion() const override { return gv89a; }
    void SaveToStream(TStream& Stream) override;
    void LoadFromStream(TStream& Stream) override;
    virtual std::uint8_t GetExtensionType() const = 0;
    virtual TGIFExtensionClass ClassType() const = 0;
    // Reads the label after "!" and refines the class through the registries; the stream is set
    // back to where it stood. No class for an unknown label (or none at all).
    static TGIFExtensionClass FindExtension(TStream& Stream);

    std::uint8_t ExtensionType() const { return GetExtensionType(); }
    TGIFSubImage* SubImage() const { return FSubImage; }

    static const TGIFExtensionClassInfo ClassInfo;

protected:
    TGIFSubImage* FSubImage; // the owning frame, not owned
};

class TGIFGraphicControlExtension : public TGIFExtension {
public:
    explicit TGIFGraphicControlExtension(TGIFSubImage* ASubImage);
    ~TGIFGraphicControlExtension() override;
    std::uint8_t GetExtensionType() const override { return 0xF9; }
    TGIFExtensionClass ClassType() const override { return &ClassInfo; }
    void SaveToStream(TStream& Stream) override;
    void LoadFromStream(TStream& Stream) override;

    int Delay() const { return FGCExtension.DelayTime; }
    void SetDelay(int Value) { FGCExtension.DelayTime = static_cast<std::uint16_t>(Value); }
    bool Transparent() const { return (FGCExtension.PackedFields & 0x01) != 0; }
    void SetTransparent(bool Value);
    int TransparentColorIndex() const { return FGCExtension.TransparentColorIndex; }
    void SetTransparentColorIndex(int Value);
    TColor TransparentColor();
    void SetTransparentColor(TColor Color);
    bool UserInput() const { return (FGCExtension.PackedFields & 0x02) != 0; }
    TDisposalMethod Disposal() const;
    void SetDisposal(TDisposalMethod Value);
    const TGIFGCERec& Record() const { return FGCExtension; }

    static const TGIFExtensionClassInfo ClassInfo;

private:
    bool Steers() const; // this is the extension that counts for its frame
    TGIFGCERec FGCExtension;
};

class TGIFTextExtension : public TGIFExtension {
public:
    explicit TGIFTextExtension(TGIFSubImage* ASubImage);
    std::uint8_t GetExtensionType() const override { return 0x01; }
    TGIFExtensionClass ClassType() const override { return &ClassInfo; }
    void SaveToStream(TStream& Stream) override;
    void LoadFromStream(TStream& Stream) override;

    int Left() const { return FPlainTextExtension.Left; }
    void SetLeft(int v) { FPlainTextExtension.Left = static_cast<std::uint16_t>(v); }
    int Top() const { return FPlainTextExtension.Top; }
    void SetTop(int v) { FPlainTextExtension.Top = static_cast<std::uint16_t>(v); }
    int GridWidth() const { return FPlainTextExtension.Width; }
    void SetGridWidth(int v) { FPlainTextExtension.Width = static_cast<std::uint16_t>(v); }
    int GridHeight() const { return FPlainTextExtension.Height; }
    void SetGridHeight(int v) { FPlainTextExtension.Height = static_cast<std::uint16_t>(v); }
    int CharWidth() const { return FPlainTextExtension.CellWidth; }
    void SetCharWidth(int v) { FPlainTextExtension.CellWidth = static_cast<std::uint8_t>(v); }
    int CharHeight() const { return FPlainTextExtension.CellHeight; }
    void SetCharHeight(int v) { FPlainTextExtension.CellHeight = static_cast<std::uint8_t>(v); }
    int ForegroundColorIndex() const { return FPlainTextExtension.TextFGColorIndex; }
    void SetForegroundColorIndex(int v) {
        FPlainTextExtension.TextFGColorIndex = static_cast<std::uint8_t>(v);
    }
    int BackgroundColorIndex() const { return FPlainTextExtension.TextBGColorIndex; }
    void SetBackgroundColorIndex(int v) {
        FPlainTextExtension.TextBGColorIndex = static_cast<std::uint8_t>(v);
    }
    TColor ForegroundColor();
    TColor BackgroundColor();
    std::vector<std::string>& Text() { return FText; }
    const TGIFPlainTextExtensionRec& Record() const { return FPlainTextExtension; }

    static const TGIFExtensionClassInfo ClassInfo;

private:
    std::vector<std::string> FText;
    TGIFPlainTextExtensionRec FPlainTextExtension;
};

class TGIFCommentExtension : public TGIFExtension {
public:
    using TGIFExtension::TGIFExtension;
    std::uint8_t GetExtensionType() const override { return 0xFE; }
    TGIFExtensionClass ClassType() const override { return &ClassInfo; }
    void SaveToStream(TStream& Stream) override;
    void LoadFromStream(TStream& Stream) override;
    std::vector<std::string>& Text() { return FText; }

    static const TGIFExtensionClassInfo ClassInfo;

private:
    std::vector<std::string> FText;
};

// One raw data sub-block.
class TGIFBlock {
public:
    explicit TGIFBlock(int ASize) : FData(static_cast<std::size_t>(ASize), 0) {}
    void SaveToStream(TStream& Stream) const;
    void LoadFromStream(TStream& Stream);
    int Size() const { return static_cast<int>(FData.size()); }
    std::uint8_t* Data() { return FData.data(); }
    const std::uint8_t* Data() const { return FData.data(); }

private:
    std::vector<std::uint8_t> FData;
};

// Reads data sub-blocks up to a zero length byte (or the end of the stream) into Blocks.
void LoadBlocks(TStream& Stream, std::vector<std::unique_ptr<TGIFBlock>>& Blocks);
void SaveBlocks(TStream& Stream, const std::vector<std::unique_ptr<TGIFBlock>>& Blocks);

class TGIFApplicationExtension : public TGIFExtension {
public:
    explicit TGIFApplicationExtension(TGIFSubImage* ASubImage);
    std::uint8_t GetExtensionType() const override { return 0xFF; }
    void SaveToStream(TStream& Stream) override;
    void LoadFromStream(TStream& Stream) override;
    virtual void SaveData(TStream& Stream) = 0;
    virtual void LoadData(TStream& Stream) = 0;
    static void RegisterExtension(const std::string& eIdent, TGIFAppExtensionClass eClass);

    std::string Identifier() const;
    void SetIdentifier(const std::string& Value);
    std::string Authentication() const;
    void SetAuthentication(const std::string& Value);
    const TGIFApplicationRec& Record() const { return FIdent; }

    static const TGIFExtensionClassInfo ClassInfo;

protected:
    friend class TGIFUnknownAppExtension;
    TGIFApplicationRec FIdent;
};

// Application data under an identifier no class is registered for, held byte for byte.
class TGIFUnknownAppExtension : public TGIFApplicationExtension {
public:
    using TGIFApplicationExtension::TGIFApplicationExtension;
    TGIFExtensionClass ClassType() const override { return &ClassInfo; }
    void SaveToStream(TStream& Stream) override;
    void SaveData(TStream& Stream) override;
    void LoadData(TStream& Stream) override;
    std::vector<std::unique_ptr<TGIFBlock>>& Blocks() { return FBlocks; }

    static const TGIFExtensionClassInfo ClassInfo;

private:
    std::vector<std::unique_ptr<TGIFBlock>> FBlocks;
};

// The looping block ("NETSCAPE2.0" or "ANIMEXTS1.0").
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
public:
    explicit TGIFAppExtNSLoop(TGIFSubImage* ASubImage);
    TGIFExtensionClass ClassType() const override { return &ClassInfo; }
    void SaveData(TStream& Stream) override;
    void LoadData(TStream& Stream) override;
    int Loops() const { return FLoops; }
    void SetLoops(int Value) { FLoops = static_cast<std::uint16_t>(Value); }
    std::uint32_t BufferSize() const { return FBufferSize; }
    void SetBufferSize(std::uint32_t Value) { FBufferSize = Value; }

    static const TGIFExtensionClassInfo ClassInfo;

private:
    std::uint16_t FLoops = 0;
    std::uint32_t FBufferSize = 0;
};

// An extension whose label no class is registered for: its label and sub-blocks are kept and written
// back unchanged, since a decoder is meant to skip what it does not know.
class TGIFUnknownExtension : public TGIFExtension {
public:
    using TGIFExtension::TGIFExtension;
    std::uint8_t GetExtensionType() const override { return FLabel; }
    TGIFExtensionClass ClassType() const override { return &ClassInfo; }
    void SaveToStream(TStream& Stream) override;
    void LoadFromStream(TStream& Stream) override;
    void SetLabel(std::uint8_t Label) { FLabel = Label; }
    std::vector<std::unique_ptr<TGIFBlock>>& Blocks() { return FBlocks; }

    static const TGIFExtensionClassInfo ClassInfo;

private:
    std::uint8_t FLabel = 0;
    std::vector<std::unique_ptr<TGIFBlock>> FBlocks;
};
