// The picture box unit: its picture drawn by its layout choice, a block that
// is no bitmap drawn as nothing, and pictures taken from files in designs.

#include "BasicUnitFixture.h"

#include <units/PicBoxUnit.h>

#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <cstdio>
#include <fstream>

using namespace test_support;
using units::PicBoxUnit;

namespace {

constexpr std::uint32_t PictureId = 0x16010188;

class PicBoxUnitTest : public BasicUnitTest {
  protected:
    void create_picture(PicBoxUnit::Settings settings) {
        create({unit_record(PictureId, PicBoxUnit::TypeCode, settings, 100, 100, 40, 40)});
        m_backend.pump();
    }
    // The colour at a point of the picture box.
    std::uint32_t pixel(int x, int y) { return window_pixel(100 + x, 100 + y); }
};

PicBoxUnit::Settings with_layout(std::int32_t layout) {
    PicBoxUnit::Settings settings;
    settings.set_block(PicBoxUnit::Picture, solid_bitmap(4, 4, 0xFF, 0, 0));
    settings.set_word(PicBoxUnit::Layout, layout);
    return settings;
}

TEST_F(PicBoxUnitTest, StretchFillsTheBoxAndCentreKeepsTheSize) {
    create_picture(with_layout(PicBoxUnit::Stretch));
    ASSERT_TRUE(unit<PicBoxUnit>(PictureId)->bitmap());
    EXPECT_EQ(pixel(2, 2), Red);
    EXPECT_EQ(pixel(37, 37), Red);

    write(PictureId, 11, PicBoxUnit::Centre);
    m_backend.pump();
    EXPECT_EQ(pixel(2, 2), Face);
    EXPECT_EQ(pixel(19, 19), Red);

    write(PictureId, 11, PicBoxUnit::TopLeft);
    m_backend.pump();
    EXPECT_EQ(pixel(1, 1), Red);
    EXPECT_EQ(pixel(19, 19), Face);
}

TEST_F(PicBoxUnitTest, ABlockThatIsNoBitmapShowsNothing) {
    create_picture(with_layout(PicBoxUnit::Stretch));
    auto cut = solid_bitmap(4, 4, 0xFF, 0, 0);
    cut.resize(cut.size() - 5);
    const std::vector<std::vector<std::uint8_t>> bad = {
        {1, 2, 3}, cut, std::vector<std::uint8_t>(40, 0xFF)};
    for (const auto& block : bad) {
        write_block(PictureId, 10, block);
        m_backend.pump();
        EXPECT_EQ(unit<PicBoxUnit>(PictureId)->bitmap(), nullptr);
        EXPECT_EQ(pixel(20, 20), Face);
    }
}

TEST(PicBoxDesign, PictureFileTakesABitmapFileAndRefusesAnythingElse) {
    std::string dir = ::testing::TempDir();
    std::string good = dir + "/picbox_good.bmp";
    std::string bad = dir + "/picbox_bad.bmp";
    auto dib = solid_bitmap(3, 2, 0, 0xFF, 0);
    std::ofstream(good, std::ios::binary)
        .write(reinterpret_cast<const char*>(dib.data()), static_cast<std::streamsize>(dib.size()));
    std::ofstream(bad, std::ios::binary) << "not a picture";
    PicBoxUnit::Settings settings;
    EXPECT_TRUE(settings.set_by_name("PictureFile", good));
    EXPECT_EQ(settings.block(PicBoxUnit::Picture), dib);
    EXPECT_FALSE(settings.set_by_name("PictureFile", bad));
    EXPECT_FALSE(settings.set_by_name("PictureFile", dir + "/missing.bmp"));
    EXPECT_TRUE(settings.set_by_name("Layout", "2"));
    EXPECT_EQ(settings.word(PicBoxUnit::Layout), 2);
    std::remove(good.c_str());
    std::remove(bad.c_str());
}

} // namespace
