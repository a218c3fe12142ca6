// The command pictures shared by the main window and the viewer.

#include "platform/icons.h"

#include <QPixmap>
#include <gtest/gtest.h>

using namespace mv;
using icons::Command;

namespace {

Command commandAt(int i) { return Command(i); }

int opaquePixels(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += qAlpha(img.pixel(x, y)) > 128;
    return n;
}

} // namespace

TEST(Icons, EveryCommandHasItsOwnVisiblePictureAndAGreyDisabledOne)
{
    std::vector<QImage> normal;
    for (int i = 0; i < icons::kCommandCount; ++i) {
        SCOPED_TRACE(i);
        const QImage img = icons::picture(commandAt(i)).convertToFormat(QImage::Format_ARGB32);
        const QImage off = icons::disabledPicture(commandAt(i)).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(img.size(), QSize(24, 24));
        ASSERT_EQ(off.size(), QSize(24, 24));
        // Something a user can see, not a blank square.
        EXPECT_GE(opaquePixels(img), 40);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x) {
                const QRgb p = off.pixel(x, y);
                ASSERT_TRUE(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p)) << x << "," << y;
                EXPECT_LE(qAlpha(p), qAlpha(img.pixel(x, y)));
            }
        EXPECT_NE(img, off);
        for (std::size_t j = 0; j < normal.size(); ++j)
            EXPECT_NE(img, normal[j]) << "same picture as command " << j;
        normal.push_back(img);
    }
}

TEST(Icons, TheIconShowsTheGreyPictureWhenDisabled)
{
    // Pixmaps hold premultiplied pixels: compare in that form.
    const auto premultiplied = [](const QImage &i) { return i.convertToFormat(QImage::Format_ARGB32_Premultiplied); };
    for (Command c : {Command::Import, Command::SlideShow, Command::Crop, Command::Noise}) {
        const QIcon icon = icons::command(c);
        EXPECT_EQ(premultiplied(icon.pixmap(QSize(24, 24), QIcon::Normal).toImage()),
                  premultiplied(icons::picture(c)));
        EXPECT_EQ(premultiplied(icon.pixmap(QSize(24, 24), QIcon::Disabled).toImage()),
                  premultiplied(icons::disabledPicture(c)));
    }
}
