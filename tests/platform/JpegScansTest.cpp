// Progressive JPEG files whose decoding work (scans times picture size) is out of all proportion are
// refused before decoding starts, with a plain message.
#include "common/QtTestSupport.h"
#include "platform/JPEGImage.h"

#include <gtest/gtest.h>

namespace {

const QString Data = QStringLiteral(MOZARO_TEST_DATA "/picture/");

// progressive.jpg (10 scans) with its last scan repeated `extra` more times, and its frame header
// claiming w x h when given.
QByteArray ManyScans(int extra, int w = 0, int h = 0) {
    QByteArray j = ReadAll(Data + "progressive.jpg");
    const qsizetype last = j.lastIndexOf(QByteArray("\xFF\xDA", 2));
    const qsizetype end = j.lastIndexOf(QByteArray("\xFF\xD9", 2));
    if (last < 0 || end < last) return {};
    const QByteArray scan = j.mid(last, end - last);
    j.insert(end, scan.repeated(extra));
    if (w > 0) {
        const qsizetype sof = j.indexOf(QByteArray("\xFF\xC2", 2));
        j[sof + 5] = char(h >> 8), j[sof + 6] = char(h & 255);
        j[sof + 7] = char(w >> 8), j[sof + 8] = char(w & 255);
    }
    return j;
}

std::string Refusal(const QByteArray& jpeg) {
    TFastDIB d;
    try {
        DecodeJPEG(reinterpret_cast<const std::uint8_t*>(jpeg.constData()), size_t(jpeg.size()), d);
    } catch (const EInvalidGraphic& e) {
        return e.what();
    }
    return {};
}

} // namespace

TEST(JpegScans, WorkIsBoundedByScansTimesPictureSize) {
    ASSERT_EQ(ManyScans(0), ReadAll(Data + "progressive.jpg"));
    TFastDIB d;
    DecodeJPEG(reinterpret_cast<const std::uint8_t*>(ManyScans(0).constData()), size_t(ManyScans(0).size()),
               d);
    EXPECT_EQ(d.Width, 16);

    struct Case {
        const char* why;
        int extra, w, h;
    };
    const Case refused[] = {
        // A small picture: at most 1000 scans whatever its size.
        {"5000 scans", 4990, 0, 0},
        // 16384 x 4096 = 64 Mi pixels: at most 64 Mi * 64 / (64 Mi) = 64 scans; 10 + 55 = 65.
        {"65 scans on 64 Mi pixels", 55, 16384, 4096},
        // 4096 x 4096 = 16 Mi pixels: at most 256 scans; 999 far beyond.
        {"999 scans on 16 Mi pixels", 989, 4096, 4096},
    };
    for (const Case& c : refused) {
        const QByteArray j = ManyScans(c.extra, c.w, c.h);
        const std::string why = Refusal(j);
        EXPECT_NE(why.find("too many scans"), std::string::npos) << c.why << ": " << why;
    }
    // Within the bound, the scans are decoded (a repeated refinement scan changes nothing).
    EXPECT_EQ(Refusal(ManyScans(490)), "");
}
