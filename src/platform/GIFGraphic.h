#pragma once
// TGIFGraphic: the GIF picture class of the picture container, a thin adaptor over the codec's
// TGIFImage. The picture registry knows it from the start under the extension "gif" and the
// clipboard format "GIF Image"; RegisterGIFGraphic registers it again (after an unregistration) and
// notes whether the display shows a palette, as the program does at start-up. Also the Qt side of the
// codec: a frame as an indexed QImage (transparent index with alpha 0), a QImage with alpha as a frame
// with a mask, and the road of Save As with a GIF name.

#include "gif/GIFImage.h"
#include "platform/Picture.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// The MIME type of the clipboard format "GIF Image" (registering the class when it is not yet).
QString CF_GIF();

class TGIFGraphic : public TGraphic {
public:
    TGIFGraphic();
    ~TGIFGraphic() override;

    int Width() const override { return image_->Width(); }
    int Height() const override { return image_->Height(); }

    // Reads a GIF; warnings (a cut file, non-standard blocks) are kept in Warnings(). A picture
    // without a frame, or larger than the limits, is refused; the old content stays on failure.
    void LoadFromMemory(const std::uint8_t* data, std::size_t size) override;
    // The whole GIF file, encoded in memory.
    QByteArray SaveToMemory() override;
    // The logical screen showing the first frame, at 24 bits per pixel.
    void AssignTo(TFastDIB& dib) override;
    // The same drawn straight into `dib`, the codec's pixels freed: the graphic is left empty.
    void MoveTo(TFastDIB& dib) override;
    // One frame made from the picture (1, 4 and 8 bits keep their colours, others are reduced).
    void Assign(const TFastDIB& dib) override;
    // One frame made from a picture with alpha: pixels of alpha 0 become transparent. This takes the
    // place of icons and metafiles, which Qt pictures with alpha stand for here.
    void AssignImage(const QImage& image);

    // The rendered bitmap in the standard format, plus the whole GIF stream under "GIF Image".
    void SaveToClipboardFormat(QMimeData& data) override;
    void LoadFromClipboardFormat(const QMimeData& data, const QString& format) override;

    // Frame i as an 8-bit QImage with a 256-entry colour table, the transparent index (when the frame
    // has a mask) with alpha 0. Cached per frame until its rendering changes.
    QImage FrameImage(int index);

    TGIFImage& Image() { return *image_; }
    // The warnings of the last load, each once, in the order given.
    QStringList Warnings() const override { return warnings_; }
    // Set when the file ends before its last picture (or its trailer) does.
    QString IncompleteText() const override;

private:
    std::unique_ptr<TGIFImage> image_;
    QStringList warnings_;
    bool incomplete_ = false;
    struct CachedFrame {
        const TGIFSubImage* frame = nullptr;
        std::uint64_t stamp = 0;
        bool masked = false;
        QImage image;
    };
    std::vector<CachedFrame> frames_;
};

// Registers TGIFGraphic with the picture container and notes whether the display shows a palette.
void RegisterGIFGraphic();

// The picture Save As writes for a GIF name: the image compressed as JPEG at quality 100, decoded
// again at 8 bits with libjpeg's colour quantiser (256 colours), imported as one frame, and the colour
// map optimised.
std::unique_ptr<TGIFGraphic> MakeGIFForSave(const TFastDIB& dib);
