#include "platform/jpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>
#include <jerror.h>

namespace mv::jpeg {

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return.
// We longjmp back to the setjmp in the one function that drives libjpeg
// (run*() below). Those functions hold no object with a destructor between
// setjmp and any libjpeg call, and everything that needs cleaning up lives in
// the caller's frame (Decompressor / Compressor), which the jump never
// crosses; so the jump skips only libjpeg's own C frames. Throwing out of the
// callback instead would unwind through C code built without exceptions.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

extern "C" void errorExit(j_common_ptr cinfo)
{
    auto *err = reinterpret_cast<ErrorManager *>(cinfo->err);
    err->message[0] = '\0';
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (corrupt data, premature end of file) are counted but not printed:
// the program has no console, and a damaged photo still decodes as far as
// libjpeg can take it.
extern "C" void emitMessage(j_common_ptr cinfo, int level)
{
    if (level < 0)
        cinfo->err->num_warnings++;
}

void initErrors(ErrorManager &err)
{
    std::memset(&err, 0, sizeof err);
    jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.emit_message = emitMessage;
}

struct Decompressor {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    std::vector<uint8_t> scratch; // CMYK row, or the row handed to a RowReader
    std::vector<uint8_t> rowOut;

    Decompressor()
    {
        std::memset(&cinfo, 0, sizeof cinfo);
        initErrors(err);
        cinfo.err = &err.pub;
    }
    // Safe also when jpeg_create_decompress never ran or failed half-way:
    // libjpeg frees only what its memory manager holds.
    ~Decompressor() { jpeg_destroy_decompress(&cinfo); }
    Decompressor(const Decompressor &) = delete;
    Decompressor &operator=(const Decompressor &) = delete;
};

// What one decode delivers: either a whole Bitmap or rows to a RowReader.
struct Target {
    Bitmap *bitmap = nullptr;
    const RowReader *reader = nullptr;
};

// Adobe writes CMYK inverted (and says so in its APP14 marker); other
// writers store plain ink values. Either way this is the naive conversion
// without a colour profile, which is what a photo catalogue needs to show
// such a file at all.
void cmykToBgr(const uint8_t *cmyk, uint8_t *bgr, int width, bool inverted)
{
    for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        // Now c = 255 - cyan ink etc.; red = (1 - cyan) * (1 - black).
        bgr[0] = uint8_t((y * k + 127) / 255);
        bgr[1] = uint8_t((m * k + 127) / 255);
        bgr[2] = uint8_t((c * k + 127) / 255);
    }
}

// Where libjpeg-turbo's jpeg_skip_scanlines leaves the rows after a skip
// exactly as a full decode would make them: the sampling layouts the tests
// compare row by row. One-component files with two-row sampling come out
// different after a skip (libjpeg-turbo 2.1), and CMYK is rare enough not
// to matter; those are decoded in full.
bool skipIsExact(const jpeg_decompress_struct &cinfo)
{
    if (cinfo.num_components == 1)
        return cinfo.comp_info[0].v_samp_factor == 1;
    if (cinfo.num_components != 3 || cinfo.out_color_space != JCS_EXT_BGR)
        return false;
    const jpeg_component_info *c = cinfo.comp_info;
    return c[0].h_samp_factor <= 2 && c[0].v_samp_factor <= 2 && c[1].h_samp_factor == 1 &&
           c[1].v_samp_factor == 1 && c[2].h_samp_factor == 1 && c[2].v_samp_factor == 1;
}

bool runDecode(Decompressor &d, const uint8_t *data, std::size_t size, const Target &target)
{
    jpeg_decompress_struct &cinfo = d.cinfo;
    if (setjmp(d.err.jump))
        return false;

    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);

    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.do_fancy_upsampling = TRUE;
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1;
    jpeg_start_decompress(&cinfo);

    const int width = int(cinfo.output_width);
    const int height = int(cinfo.output_height);
    const bool inverted = cinfo.saw_Adobe_marker;
    if (cmyk)
        d.scratch.resize(std::size_t(width) * 4);
    if (target.bitmap) {
        target.bitmap->resize(width, height);
    } else {
        d.rowOut.resize(std::size_t(width) * 3);
        if (target.reader->started)
            target.reader->started(width, height);
    }

    const bool maySkip = target.reader && target.reader->wanted && skipIsExact(cinfo);
    int y = 0;
    while (y < height) {
        const bool wanted = !target.reader || !target.reader->wanted || target.reader->wanted(y);
        if (!wanted && maySkip) {
            int run = 1;
            while (y + run < height && !target.reader->wanted(y + run))
                ++run;
            const JDIMENSION skipped = jpeg_skip_scanlines(&cinfo, JDIMENSION(run));
            if (skipped == 0)
                break; // cannot happen before the last row; guards the loop
            y += int(skipped);
            continue;
        }
        uint8_t *out = target.bitmap ? target.bitmap->row(y) : d.rowOut.data();
        JSAMPROW row = cmyk ? d.scratch.data() : out;
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1)
            break; // suspending source; the memory source never suspends
        if (cmyk)
            cmykToBgr(d.scratch.data(), out, width, inverted);
        if (target.reader && wanted)
            target.reader->sink(y, out);
        ++y;
    }
    // Rows are missing only if libjpeg stopped delivering them, and then
    // jpeg_finish_decompress would complain of too few scanlines: abort.
    if (y < height || cinfo.output_scanline < cinfo.output_height)
        jpeg_abort_decompress(&cinfo);
    else
        jpeg_finish_decompress(&cinfo);
    return true;
}

Bitmap decodeBitmap(const uint8_t *data, std::size_t size)
{
    Decompressor d;
    Bitmap out;
    Target target;
    target.bitmap = &out;
    if (!runDecode(d, data, size, target))
        throw Error(d.err.message);
    return out;
}

// The destination grows a malloc'd buffer held in Compressor, so that a
// longjmp out of the middle of compression leaks nothing.
struct Destination {
    jpeg_destination_mgr pub;
    JOCTET *buffer = nullptr;
    std::size_t capacity = 0;
    std::size_t used = 0;
};

extern "C" void initDestination(j_compress_ptr cinfo)
{
    auto *dest = reinterpret_cast<Destination *>(cinfo->dest);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = dest->capacity;
    dest->used = 0;
}

extern "C" boolean emptyOutputBuffer(j_compress_ptr cinfo)
{
    auto *dest = reinterpret_cast<Destination *>(cinfo->dest);
    // libjpeg calls this only when the buffer is completely full.
    const std::size_t used = dest->capacity;
    const std::size_t bigger = dest->capacity * 2;
    auto *grown = static_cast<JOCTET *>(std::realloc(dest->buffer, bigger));
    if (!grown)
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 10);
    dest->buffer = grown;
    dest->capacity = bigger;
    dest->pub.next_output_byte = grown + used;
    dest->pub.free_in_buffer = bigger - used;
    return TRUE;
}

extern "C" void termDestination(j_compress_ptr cinfo)
{
    auto *dest = reinterpret_cast<Destination *>(cinfo->dest);
    dest->used = dest->capacity - dest->pub.free_in_buffer;
}

struct Compressor {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    Destination dest;

    Compressor()
    {
        std::memset(&cinfo, 0, sizeof cinfo);
        initErrors(err);
        cinfo.err = &err.pub;
        std::memset(&dest.pub, 0, sizeof dest.pub);
        dest.pub.init_destination = initDestination;
        dest.pub.empty_output_buffer = emptyOutputBuffer;
        dest.pub.term_destination = termDestination;
    }
    ~Compressor()
    {
        jpeg_destroy_compress(&cinfo);
        std::free(dest.buffer);
    }
    Compressor(const Compressor &) = delete;
    Compressor &operator=(const Compressor &) = delete;
};

bool runEncode(Compressor &c, const Bitmap &bitmap, int quality)
{
    jpeg_compress_struct &cinfo = c.cinfo;
    if (setjmp(c.err.jump))
        return false;

    jpeg_create_compress(&cinfo);
    cinfo.dest = &c.dest.pub;
    cinfo.image_width = JDIMENSION(bitmap.width());
    cinfo.image_height = JDIMENSION(bitmap.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR; // before set_defaults: it picks YCbCr from this
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        // libjpeg takes non-const rows but only reads them.
        JSAMPROW row = const_cast<JSAMPROW>(bitmap.row(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    return true;
}

bool runReadSize(Decompressor &d, const uint8_t *data, std::size_t size, QSize &result)
{
    jpeg_decompress_struct &cinfo = d.cinfo;
    if (setjmp(d.err.jump))
        return false;
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    result = QSize(int(cinfo.image_width), int(cinfo.image_height));
    return true;
}

const uint8_t *bytesOf(const QByteArray &bytes)
{
    return reinterpret_cast<const uint8_t *>(bytes.constData());
}

} // namespace

Bitmap decode(const QByteArray &bytes) { return decodeBitmap(bytesOf(bytes), std::size_t(bytes.size())); }

Bitmap decode(const uint8_t *data, std::size_t size) { return decodeBitmap(data, size); }

void decodeRows(const QByteArray &bytes, const RowReader &reader)
{
    Decompressor d;
    Target target;
    target.reader = &reader;
    if (!runDecode(d, bytesOf(bytes), std::size_t(bytes.size()), target))
        throw Error(d.err.message);
}

QByteArray encode(const Bitmap &bitmap, int quality)
{
    Compressor c;
    c.dest.capacity = std::max<std::size_t>(4096, std::size_t(bitmap.width()) * std::size_t(bitmap.height()) / 4);
    c.dest.buffer = static_cast<JOCTET *>(std::malloc(c.dest.capacity));
    if (!c.dest.buffer)
        throw std::bad_alloc();
    if (!runEncode(c, bitmap, quality))
        throw Error(c.err.message);
    return QByteArray(reinterpret_cast<const char *>(c.dest.buffer), qsizetype(c.dest.used));
}

QSize readSize(const QByteArray &bytes)
{
    Decompressor d;
    QSize result;
    if (!runReadSize(d, bytesOf(bytes), std::size_t(bytes.size()), result))
        throw Error(d.err.message);
    return result;
}

} // namespace mv::jpeg
