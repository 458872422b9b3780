// Loading the resource file and decoding its pictures by catalogue index.
#include <allegro.h>
#include <cerrno>
#include <cstdlib>
#include <gtest/gtest.h>
#include <turbojpeg.h>
#include <vector>

#include "shell/catalogue.h"

TEST(Catalogue, MissingFileIsReportedAndLeavesNothingLoaded)
{
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    const char *problem = load_resources("no_such_velmora.dat");
    ASSERT_NE(problem, nullptr);
    EXPECT_NE(std::string(problem).find("missing"), std::string::npos);
    EXPECT_EQ(resources, nullptr);
    EXPECT_EQ(decode_catalogue_picture(PAPER_PAGE), nullptr);
}

TEST(Catalogue, PicturesDecodeWithinTheirObjectsSize)
{
    std::vector<unsigned char> pixels(64 * 48 * 3, 200);
    tjhandle handle = tjInitCompress();
    unsigned char *jpeg = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, pixels.data(), 64, 0, 48, TJPF_RGB, &jpeg, &size, TJSAMP_420, 90, 0);
    tjDestroy(handle);

    std::vector<DATAFILE> objects(CATALOGUE_SIZE + 1);
    for (int i = 0; i < CATALOGUE_SIZE; i++)
        objects[i] = {jpeg, DAT_DATA, static_cast<long>(size), nullptr};
    objects[3].size = 20;  // a header cut short by its object's size
    objects[CATALOGUE_SIZE] = {nullptr, DAT_END, 0, nullptr};
    resources = objects.data();

    BITMAP *picture = decode_catalogue_picture(PHOTO_01);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->w, 64);
    EXPECT_EQ(picture->h, 48);
    destroy_bitmap(picture);
    EXPECT_EQ(decode_catalogue_picture(PHOTO_02), nullptr);
    EXPECT_EQ(decode_catalogue_picture(-1), nullptr);
    EXPECT_EQ(decode_catalogue_picture(CATALOGUE_SIZE), nullptr);
    resources = nullptr;
    tjFree(jpeg);
}
