#include "platform/JPEGImage.h"

#include <algorithm>
#include <cctype>
#include <csetjmp>
#include <cstdint>
#include <cstdio> // jpeglib.h needs FILE
#include <cstdlib>
#include <new>
#include <vector>

#include "image/WorkControl.h"
#include "platform/SafeFile.h"

#include <stdexcept>

// jpeglib.h first: it defines what jerror.h's list of codes depends on (the library's version and its
// arithmetic coding), so that the codes here are the library's.
#include <jpeglib.h>

#include <jerror.h>

// libjpeg is C: an error must not unwind through its frames as a C++ exception. Each call into it is
// made from a small function that first sets a jump point; the error handler jumps back there, the
// function returns false, and the C++ caller throws. Those functions hold no objects with destructors.
// A stop asked for between rows ends them the same way (the caller throws EWorkStopped), and the
// caller's Decoder or Encoder releases libjpeg's objects on the way out.

namespace {

constexpr int MaxProgressiveScans = 1000; // real files have a dozen; more only slows a hostile one down
// Decoding work grows with the number of scans times the picture's size: a large picture allows fewer
// scans (the largest accepted picture, 64 Mi pixels, 64 scans; about a second of decoding).
constexpr std::int64_t MaxScanPixels = 64LL * 64 * 1024 * 1024;

struct ErrorManager {
    jpeg_error_mgr pub; // first, so libjpeg's pointer to it is a pointer to the whole
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool sawEnd;       // the data ended before the end-of-image marker
    bool damaged;      // before that, libjpeg met damaged data and filled in the blocks it could not read
    bool tooLarge;     // libjpeg refused the declared size
    // Where the data ran out: the first row whose pixels were not all in the file (-1: none seen).
    // A cut in a later scan of a progressive file leaves every row with something: the height.
    long cutRow;
    bool stopped; // a stop was asked for between rows
};

// libjpeg's error in plain words for the user.
const char* plainText(int code) {
    switch (code) {
    case JERR_INPUT_EMPTY:
        return "the file is empty";
    case JERR_NO_SOI:
        return "it is not a JPEG picture";
    case JERR_BAD_PRECISION:
    case JERR_NOT_COMPILED:
    case JERR_ARITH_NOTIMPL:
        return "it uses a kind of JPEG compression this program cannot read";
    case JERR_OUT_OF_MEMORY:
        return "there is not enough memory to decode it";
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW:
        return "the picture is too large";
    default:
        return "the picture data is damaged";
    }
}

[[noreturn]] void errorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    const int code = cinfo->err->msg_code;
    err->tooLarge = code == JERR_IMAGE_TOO_BIG || code == JERR_WIDTH_OVERFLOW;
    // An error after the data ran out is the cut, whatever libjpeg then stumbled over.
    std::snprintf(err->message, sizeof err->message, "%s",
                  err->sawEnd ? "the file is cut short (truncated)" : plainText(cinfo->err->msg_code));
    std::longjmp(err->jump, 1);
}

// The warnings that say the compressed pixels were wrong or missing: libjpeg skips to the next restart
// marker or the end of the scan and fills the blocks between with what it has (most often flat grey).
// The others are harmless to the picture: a newer JFIF revision, an unknown Adobe transform code, a bad
// ICC profile (not used here), bytes of padding between segments, scan parameters it ignores.
bool damageWarning(int code) {
    switch (code) {
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_BOGUS_PROGRESSION:
#if JPEG_LIB_VERSION >= 70 || defined(C_ARITH_CODING_SUPPORTED) || defined(D_ARITH_CODING_SUPPORTED)
    case JWRN_ARITH_BAD_CODE:
#endif
        return true;
    default:
        return false;
    }
}

// Warnings are counted, not printed. libjpeg decodes a cut file to its end, filling the missing part
// with grey; the first corrupt-data warning after the data ran out marks where the real pixels stop
// (the row of blocks being read then). A missing end marker alone (every row present) is accepted, as
// other programs do. Damage before the end leaves the rows as libjpeg filled them in, and is reported.
void emitMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) return;
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    ++cinfo->err->num_warnings;
    if (cinfo->err->msg_code == JWRN_JPEG_EOF) {
        err->sawEnd = true;
        return;
    }
    if (!err->sawEnd) {
        err->damaged = err->damaged || damageWarning(cinfo->err->msg_code);
        return;
    }
    if (err->cutRow >= 0 || !cinfo->is_decompressor) return;
    const auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    // The first scan reached every row: a later scan was cut, or only markers after the last row were
    // missing (data skipped past the end by a damaged marker's length).
    if (d->input_scan_number > 1 || d->input_iMCU_row >= d->total_iMCU_rows) {
        err->cutRow = static_cast<long>(d->image_height);
        return;
    }
    err->cutRow = static_cast<long>(d->input_iMCU_row) * d->max_v_samp_factor * DCTSIZE;
    // Smooth vertical upsampling takes the last row before from the first chroma row of the cut one.
    for (int ci = 0; ci < d->num_components && err->cutRow > 0; ++ci)
        if (d->comp_info[ci].v_samp_factor < d->max_v_samp_factor) {
            --err->cutRow;
            break;
        }
}

void outputMessage(j_common_ptr) {} // nothing goes to stderr

// Called by libjpeg between rows of its own passes (the scans of a file read whole first, the first pass
// of the two-pass colour quantiser): a stop leaves through the jump point, as an error does.
void progress(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor) return;
    if (WorkPointNoThrow()) {
        auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
        err->stopped = true;
        std::longjmp(err->jump, 1);
    }
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > MaxProgressiveScans ||
        std::int64_t{d->input_scan_number} * d->image_width * d->image_height > MaxScanPixels) {
        auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
        std::snprintf(err->message, sizeof err->message, "it has too many scans to decode");
        std::longjmp(err->jump, 1);
    }
}

void initErrors(ErrorManager& err) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.emit_message = emitMessage;
    err.pub.output_message = outputMessage;
    err.message[0] = '\0';
    err.sawEnd = false;
    err.damaged = false;
    err.tooLarge = false;
    err.cutRow = -1;
    err.stopped = false;
}

[[noreturn]] void raise(const ErrorManager& err) {
    std::string text = err.message;
    if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    throw EInvalidGraphic(text);
}

// The number of scans (start-of-scan markers) in a JPEG stream, counted without decoding: marker
// segments are skipped by their length, entropy-coded data is walked up to the next marker (a 0xFF
// there is followed by 0x00 or a restart marker). Linear in the data; stops counting past `limit`.
std::int64_t countScans(const std::uint8_t* p, std::size_t n, std::int64_t limit) {
    std::int64_t scans = 0;
    std::size_t i = 2; // after the start-of-image marker
    while (i + 1 < n && scans <= limit) {
        if (p[i] != 0xFF) {
            ++i;
            continue;
        }
        const std::uint8_t m = p[i + 1];
        if (m == 0xFF) {
            ++i; // fill byte
            continue;
        }
        if (m == 0x00 || (m >= 0xD0 && m <= 0xD7) || m == 0x01) {
            i += 2; // stuffed byte, restart marker or TEM: no length
            continue;
        }
        if (m == 0xD9) break; // end of image
        if (i + 3 >= n) break;
        const std::size_t length = (std::size_t(p[i + 2]) << 8) | p[i + 3];
        if (m == 0xDA) ++scans;
        i += 2 + length; // a scan's entropy-coded data is then walked byte by byte
    }
    return scans;
}

// ---- decoding

struct Decoder {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    jpeg_progress_mgr progressMgr{};
    bool created = false;
    bool multiScan = false;
    Decoder() { initErrors(err); }
    ~Decoder() {
        if (created) jpeg_destroy_decompress(&cinfo);
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
};

bool readHeader(Decoder& d, const std::uint8_t* data, std::size_t size) {
    d.cinfo.err = &d.err.pub;
    if (setjmp(d.err.jump)) return false;
    jpeg_create_decompress(&d.cinfo);
    d.created = true;
    d.progressMgr.progress_monitor = progress;
    d.cinfo.progress = &d.progressMgr;
    jpeg_mem_src(&d.cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&d.cinfo, TRUE);
    d.multiScan = jpeg_has_multiple_scans(&d.cinfo);
    return true;
}

std::int64_t roundUp(std::int64_t n, std::int64_t step) {
    return (n + step - 1) / step * step;
}

// The bytes a decode takes at its peak, besides the stream it reads: the picture (rows padded to 4
// bytes, and their table); for a file of several scans (progressive, or components in scans of their
// own) libjpeg's whole-image coefficient arrays, a block of 64 coefficients of 2 bytes for every block
// of every component, rounded up to whole MCUs (so the sampling factors count: 4:2:0 takes half what
// 4:4:4 does); the quantiser's copy of the whole picture in colour samples, which its first pass keeps
// (8 bits); libjpeg's row buffers, two rows of MCUs of each component (the rows being decoded with their
// context rows, and the upsampler's); the CMYK scratch row.
std::int64_t decodePeakBytes(const Decoder& d, bool eight, bool cmyk) {
    const jpeg_decompress_struct& c = d.cinfo;
    const std::int64_t w = c.image_width, h = c.image_height;
    const std::int64_t stride = ((std::int64_t{eight ? 8 : 24} * w + 31) & ~std::int64_t{31}) >> 3;
    std::int64_t bytes = stride * h + h * std::int64_t{sizeof(std::uint8_t*)};
    for (int ci = 0; ci < c.num_components; ++ci) {
        const jpeg_component_info& comp = c.comp_info[ci];
        if (d.multiScan)
            bytes += roundUp(comp.width_in_blocks, comp.h_samp_factor) *
                     roundUp(comp.height_in_blocks, comp.v_samp_factor) * std::int64_t{sizeof(JBLOCK)};
        bytes += std::int64_t{comp.width_in_blocks} * DCTSIZE * comp.v_samp_factor * DCTSIZE * 2;
    }
    if (eight) {
        const int samples = c.out_color_space == JCS_GRAYSCALE ? 1 : 3;
        constexpr std::int64_t Histogram = 32 * 64 * 32 * 2; // the quantiser's colour counts
        bytes += roundUp(h, std::int64_t{c.max_v_samp_factor} * DCTSIZE) * w * samples + Histogram;
    }
    if (cmyk) bytes += w * 4;
    return bytes;
}

// Adobe writes CMYK inverted; either way the colour is the ink's complement times the black's.
void cmykToBGR(const std::uint8_t* src, std::uint8_t* dst, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x, src += 4, dst += 3) {
        int c = src[0], m = src[1], y = src[2], k = src[3];
        if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        dst[0] = static_cast<std::uint8_t>((y * k + 127) / 255);
        dst[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
        dst[2] = static_cast<std::uint8_t>((c * k + 127) / 255);
    }
}

// Reads every row into `rows`; with `cmyk` each row passes through that scratch row first. For a
// quantised picture the colour map is copied into `colors` before libjpeg releases it.
bool readRows(Decoder& d, std::uint8_t** rows, std::uint8_t* cmyk, TFColorTable* colors, int* colorCount) {
    if (setjmp(d.err.jump)) return false;
    jpeg_start_decompress(&d.cinfo);
    if (d.cinfo.output_width != d.cinfo.image_width || d.cinfo.output_height != d.cinfo.image_height) {
        std::snprintf(d.err.message, sizeof d.err.message, "the picture data is damaged");
        return false;
    }
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        if (WorkPointNoThrow()) {
            d.err.stopped = true;
            return false;
        }
        const JDIMENSION line = d.cinfo.output_scanline;
        JSAMPROW row = cmyk ? cmyk : rows[line];
        if (jpeg_read_scanlines(&d.cinfo, &row, 1) != 1) {
            std::snprintf(d.err.message, sizeof d.err.message, "the file is cut short");
            return false;
        }
        if (cmyk) cmykToBGR(cmyk, rows[line], d.cinfo.output_width, d.cinfo.saw_Adobe_marker);
    }
    if (colors && d.cinfo.colormap) {
        const int n = std::min(d.cinfo.actual_number_of_colors, 256);
        const bool grey = d.cinfo.out_color_components == 1;
        for (int i = 0; i < n; ++i) {
            TFColorA& c = (*colors)[static_cast<std::size_t>(i)];
            c.r = d.cinfo.colormap[0][i];
            c.g = d.cinfo.colormap[grey ? 0 : 1][i];
            c.b = d.cinfo.colormap[grey ? 0 : 2][i];
            c.a = 0;
        }
        *colorCount = n;
    }
    jpeg_finish_decompress(&d.cinfo);
    return true;
}

// ---- encoding

// The compressed stream in a buffer of our own, grown by realloc (which moves large blocks without
// copying). Ours rather than jpeg_mem_dest's: after an error that one leaves the caller a pointer to a
// buffer it has already freed, and the grown one unreleased.
struct MemoryDestination {
    jpeg_destination_mgr pub{}; // first, so libjpeg's pointer to it is a pointer to the whole
    unsigned char* data = nullptr;
    std::size_t capacity = 0;
    std::size_t size = 0; // the stream's length once it is complete
};

void initDestination(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    if (!d->data) {
        d->data = static_cast<unsigned char*>(std::malloc(1 << 16));
        if (!d->data) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 10);
        d->capacity = 1 << 16;
    }
    d->pub.next_output_byte = d->data;
    d->pub.free_in_buffer = d->capacity;
}

boolean growDestination(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    // libjpeg calls this with the whole buffer full; a failed realloc keeps the old buffer.
    auto* grown = static_cast<unsigned char*>(std::realloc(d->data, d->capacity * 2));
    if (!grown) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 10);
    d->data = grown;
    d->pub.next_output_byte = grown + d->capacity;
    d->pub.free_in_buffer = d->capacity;
    d->capacity *= 2;
    return TRUE;
}

void termDestination(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    d->size = d->capacity - d->pub.free_in_buffer;
}

struct Encoder {
    jpeg_compress_struct cinfo{};
    ErrorManager err{};
    MemoryDestination dest;
    bool created = false;
    Encoder() {
        initErrors(err);
        dest.pub.init_destination = initDestination;
        dest.pub.empty_output_buffer = growDestination;
        dest.pub.term_destination = termDestination;
    }
    ~Encoder() {
        if (created) jpeg_destroy_compress(&cinfo);
        std::free(dest.data);
    }
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;
};

bool compress(Encoder& e, std::uint8_t* const* rows, int width, int height, int quality) {
    e.cinfo.err = &e.err.pub;
    if (setjmp(e.err.jump)) return false;
    jpeg_create_compress(&e.cinfo);
    e.created = true;
    e.cinfo.dest = &e.dest.pub;
    e.cinfo.image_width = static_cast<JDIMENSION>(width);
    e.cinfo.image_height = static_cast<JDIMENSION>(height);
    e.cinfo.input_components = 3;
    e.cinfo.in_color_space = JCS_EXT_BGR; // our pixels' byte order: no conversion pass
    jpeg_set_defaults(&e.cinfo);
    jpeg_set_quality(&e.cinfo, quality, TRUE);
    jpeg_start_compress(&e.cinfo, TRUE);
    while (e.cinfo.next_scanline < e.cinfo.image_height) {
        if (WorkPointNoThrow()) {
            e.err.stopped = true;
            return false;
        }
        JSAMPROW row = rows[e.cinfo.next_scanline];
        jpeg_write_scanlines(&e.cinfo, &row, 1);
    }
    jpeg_finish_compress(&e.cinfo);
    return true;
}

// Compresses the picture into `e`'s buffer; throws on failure.
void encode(Encoder& e, const TFastDIB& dib, int quality) {
    TFastDIB converted;
    const TFastDIB* src = &SavableDIB24(dib, converted);
    if (!compress(e, src->Scanlines, src->Width, src->Height, std::clamp(quality, 0, 100))) {
        if (e.err.stopped) throw EWorkStopped();
        // The compressed stream did not fit in memory: said as for any failed allocation.
        if (e.err.pub.msg_code == JERR_OUT_OF_MEMORY) throw std::bad_alloc();
        raise(e.err);
    }
}

} // namespace

QByteArray EncodeJPEG(const TFastDIB& dib, int quality) {
    Encoder e;
    encode(e, dib, quality);
    return QByteArray(reinterpret_cast<const char*>(e.dest.data), static_cast<qsizetype>(e.dest.size));
}

void WriteJPEGFile(const TFastDIB& dib, const QString& fileName, int quality) {
    Encoder e;
    encode(e, dib, quality);
    // Written from libjpeg's own buffer: no second copy of the stream.
    QString reason;
    if (!WriteFileAtomically(
            fileName, QByteArray::fromRawData(reinterpret_cast<const char*>(e.dest.data), static_cast<qsizetype>(e.dest.size)),
            &reason))
        ThrowWriteError(fileName, reason);
}

bool DecodeJPEG(const std::uint8_t* data, std::size_t size, TFastDIB& dib, TJPEGPixelFormat format,
                TJPEGGap* gap) {
    if (!data || size == 0) throw EInvalidGraphic("The file is empty");
    Decoder d;
    if (!readHeader(d, data, size)) {
        if (d.err.stopped) throw EWorkStopped();
        // A size libjpeg cannot take is over our limit too: said as for every picture.
        if (d.err.tooLarge) CheckPictureSize(d.cinfo.image_width, d.cinfo.image_height);
        raise(d.err);
    }
    const bool cmyk = d.cinfo.jpeg_color_space == JCS_CMYK || d.cinfo.jpeg_color_space == JCS_YCCK;
    const bool eight = format == TJPEGPixelFormat::jf8Bit;
    if (cmyk && eight) throw EInvalidGraphic("CMYK JPEG pictures cannot be decoded at 8 bits per pixel");
    if (cmyk) {
        d.cinfo.out_color_space = JCS_CMYK;
    } else if (eight) {
        d.cinfo.out_color_space = d.cinfo.jpeg_color_space == JCS_GRAYSCALE ? JCS_GRAYSCALE : JCS_RGB;
        d.cinfo.quantize_colors = TRUE;
        d.cinfo.desired_number_of_colors = 256;
        d.cinfo.two_pass_quantize = TRUE;
        d.cinfo.dither_mode = JDITHER_FS;
    } else {
        d.cinfo.out_color_space = JCS_EXT_BGR;
    }
    // A picture whose decoding does not fit in the free memory is refused before anything is allocated.
    CheckPictureMemory(d.cinfo.image_width, d.cinfo.image_height, decodePeakBytes(d, eight, cmyk));
    // Hostile progressive files are refused before any decoding work: the scans are counted first.
    const std::int64_t pixels = std::int64_t{d.cinfo.image_width} * d.cinfo.image_height;
    const std::int64_t allowed = std::min<std::int64_t>(MaxProgressiveScans, MaxScanPixels / pixels);
    if (countScans(data, size, allowed) > allowed)
        throw EInvalidGraphic("It has too many scans to decode at this size");

    TFastDIB out;
    out.SetSize(static_cast<int>(d.cinfo.image_width), static_cast<int>(d.cinfo.image_height), eight ? 8 : 24,
                0);
    std::vector<std::uint8_t> scratch(cmyk ? static_cast<std::size_t>(d.cinfo.image_width) * 4 : 0);
    int colorCount = 0;
    if (!readRows(d, out.Scanlines, cmyk ? scratch.data() : nullptr, eight ? out.Colors : nullptr,
                  &colorCount)) {
        if (d.err.stopped) throw EWorkStopped();
        raise(d.err);
    }
    // In a file of several scans a missing end means missing scans, even without a warning; in a file of
    // one, only when it came before the last row.
    const long height = static_cast<long>(d.cinfo.image_height);
    const bool whole = !d.err.sawEnd || (!d.multiScan && (d.err.cutRow < 0 || d.err.cutRow >= height));
    if (!whole) {
        const long cut = d.err.cutRow < 0 ? height : std::min(d.err.cutRow, height);
        // Nothing was read, or a picture of palette indices (made only from whole files): refused.
        if (cut <= 0 || eight) throw EInvalidGraphic("The file is cut short (truncated)");
        // The rows after the cut hold libjpeg's guesses: one plain colour instead.
        for (long y = cut; y < height; ++y) {
            TFColor* row = out.Pixels24[static_cast<int>(y)];
            std::fill(row, row + out.Width, MissingPixelsColor);
        }
    }
    if (eight) out.bmInfo.bmiHeader.biClrUsed = static_cast<std::uint32_t>(colorCount);
    dib.Swap(out);
    const TJPEGGap found = !whole ? TJPEGGap::CutShort : d.err.damaged ? TJPEGGap::Damaged : TJPEGGap::None;
    if (gap) *gap = found;
    return found == TJPEGGap::None;
}

// ---- TJPEGImage

int TJPEGImage::Width() const {
    return width_;
}
int TJPEGImage::Height() const {
    return height_;
}

void TJPEGImage::LoadFromMemory(const std::uint8_t* data, std::size_t size) {
    load(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(data ? size : 0)));
}

void TJPEGImage::LoadFromSource(TPictureSource& source) {
    load(source.ReadAll());
}

void TJPEGImage::load(QByteArray bytes) {
    TFastDIB decoded;
    TJPEGGap gap = TJPEGGap::None;
    DecodeJPEG(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
               static_cast<std::size_t>(bytes.size()), decoded, format_, &gap);
    data_ = std::move(bytes);
    dib_.Swap(decoded);
    hasDib_ = true;
    gap_ = gap;
    width_ = dib_.Width;
    height_ = dib_.Height;
}

QByteArray TJPEGImage::SaveToMemory() {
    JPEGNeeded();
    return data_;
}

void TJPEGImage::AssignTo(TFastDIB& dib) {
    AssignDIB24(dib, Bitmap());
}

void TJPEGImage::MoveTo(TFastDIB& dib) {
    // The stream stays, so the bitmap can be decoded again when it is asked for.
    if (!hasDib_ || dib_.Bpp != 24 || data_.isEmpty()) {
        AssignTo(dib);
        return;
    }
    TFastDIB empty;
    dib.Swap(dib_);
    dib_.Swap(empty);
    hasDib_ = false;
}

QString TJPEGImage::IncompleteText() const {
    switch (gap_) {
    case TJPEGGap::CutShort:
        return QStringLiteral("the file ends before the picture does");
    case TJPEGGap::Damaged:
        return QStringLiteral("parts of its picture data are damaged; those parts are filled in and may look "
                              "grey or smeared");
    case TJPEGGap::None:
        break;
    }
    return {};
}

void TJPEGImage::Assign(const TFastDIB& dib) {
    AssignDIB24(dib_, dib);
    gap_ = TJPEGGap::None;
    hasDib_ = true;
    data_.clear();
    width_ = dib_.Width;
    height_ = dib_.Height;
}

void TJPEGImage::SetCompressionQuality(int quality) {
    quality = std::clamp(quality, 0, 100);
    if (quality == quality_) return;
    quality_ = quality;
    if (hasDib_) data_.clear(); // made again at the new quality when next needed
}

void TJPEGImage::SetPixelFormat(TJPEGPixelFormat format) {
    if (format == format_) return;
    format_ = format;
    if (!data_.isEmpty()) hasDib_ = false;
}

void TJPEGImage::JPEGNeeded() {
    if (!data_.isEmpty()) return;
    if (!hasDib_) throw EInvalidGraphic("Cannot save an empty picture");
    data_ = EncodeJPEG(dib_, quality_);
}

void TJPEGImage::DIBNeeded() {
    if (hasDib_) return;
    if (data_.isEmpty()) throw EInvalidGraphic("The JPEG picture is empty");
    TFastDIB decoded;
    DecodeJPEG(reinterpret_cast<const std::uint8_t*>(data_.constData()),
               static_cast<std::size_t>(data_.size()), decoded, format_);
    dib_.Swap(decoded); // the decoded picture itself: no second copy at the peak
    hasDib_ = true;
}

const TFastDIB& TJPEGImage::Bitmap() {
    DIBNeeded();
    return dib_;
}

const QByteArray& TJPEGImage::Data() {
    JPEGNeeded();
    return data_;
}
