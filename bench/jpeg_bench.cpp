// The import's picture work on a camera-like 12-megapixel JPEG: one full
// decode (the anchor) beside the thumbnail path that lets libjpeg skip the
// rows the pick does not use, and beside full decode + pick + encode.
#include "import/exif.h"
#include "import/thumbnail.h"
#include "platform/jpeg.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include <jpeglib.h>

namespace {

using Clock = std::chrono::steady_clock;

// Smooth shading with fine texture and sensor-like noise: close to what a
// camera's JPEG holds, so entropy decoding takes its usual share.
mv::Bitmap cameraLike(int width, int height)
{
    mv::Bitmap b(width, height);
    std::mt19937 random(1);
    std::vector<float> wave(std::size_t(width + height) * 2);
    for (std::size_t i = 0; i < wave.size(); ++i)
        wave[i] = std::sin(float(i) / 41.0f) * 50.0f + std::sin(float(i) / 5.3f) * 12.0f;
    for (int y = 0; y < height; ++y) {
        uint8_t *p = b.row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            const float base = 120.0f + wave[std::size_t(x)] + wave[std::size_t(y) * 2];
            for (int c = 0; c < 3; ++c) {
                const float v = base * (0.8f + 0.15f * float(c)) + float(int(random() % 13) - 6);
                p[c] = uint8_t(std::clamp(v, 0.0f, 255.0f));
            }
        }
    }
    return b;
}

// As a camera writes it: 4:2:2 or 4:2:0 chroma, high quality.
QByteArray encodeCamera(const mv::Bitmap &b, int hSamp, int vSamp, int quality)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(b.width());
    cinfo.image_height = JDIMENSION(b.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.comp_info[0].h_samp_factor = hSamp;
    cinfo.comp_info[0].v_samp_factor = vSamp;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(b.row(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray out(reinterpret_cast<const char *>(buffer), qsizetype(size));
    std::free(buffer);
    return out;
}

template <typename F>
double milliseconds(F f)
{
    const auto start = Clock::now();
    f();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const mv::Bitmap photo = cameraLike(4000, 3000);
    struct Layout {
        const char *name;
        int h, v, quality;
    } layouts[] = {{"4:2:2 q95", 2, 1, 95}, {"4:2:0 q90", 2, 2, 90}};

    for (const Layout &l : layouts) {
        const QByteArray bytes = encodeCamera(photo, l.h, l.v, l.quality);
        const bool identical =
            mv::MakeThumbnailBitmapFromJpeg(bytes) == mv::MakeThumbnailBitmap(mv::jpeg::decode(bytes));
        std::vector<double> full, fast, plain;
        std::size_t sink = 0;
        // Interleaved rounds, so that a noisy neighbour hits all three alike.
        for (int r = 0; r < rounds; ++r) {
            full.push_back(milliseconds([&] { sink += mv::jpeg::decode(bytes).height(); }));
            fast.push_back(milliseconds([&] {
                QString date, summary;
                mv::ReadExif(bytes, date, summary);
                sink += std::size_t(mv::MakeThumbnailFromJpeg(bytes).size());
            }));
            plain.push_back(milliseconds([&] { sink += std::size_t(mv::MakeThumbnail(mv::jpeg::decode(bytes)).size()); }));
        }
        const double f = median(full), t = median(fast), p = median(plain);
        std::printf("12 MP %s, %.1f MB: full decode %.1f ms | ReadExif + row-skipping thumbnail %.1f ms"
                    " (ratio %.2f, goal <= 0.6) | full decode + thumbnail %.1f ms (ratio %.2f); thumbnails %s%s\n",
                    l.name, double(bytes.size()) / 1e6, f, t, t / f, p, p / f, identical ? "identical" : "DIFFER", sink == 1 ? " " : "");
    }
    return 0;
}
