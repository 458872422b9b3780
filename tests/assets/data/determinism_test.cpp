// The generator gives the same bytes on every run, so every build ships the same file.
#include "tests/assets/data/built_data.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

static byte_string generate_into(const std::string &dir)
{
    std::string command = "mkdir -p '" + dir + "' && '" MAKE_VELMORA_DAT "' '" + dir +
                          "/velmora.dat' '" DEJAVU_DIR "'";
    EXPECT_EQ(system(command.c_str()), 0) << command;
    return read_whole_file(dir + "/velmora.dat");
}

TEST(velmora_dat_generator, two_runs_give_identical_bytes)
{
    byte_string first = generate_into("run_one");
    byte_string second = generate_into("run_two");
    ASSERT_GT(first.size(), 100000u);
    EXPECT_TRUE(first == second);
    EXPECT_TRUE(first == read_whole_file(built_datafile_path()));
}

TEST(velmora_dat_generator, reports_missing_fonts_and_unwritable_output)
{
    std::string bad_fonts = "'" MAKE_VELMORA_DAT "' out.dat /nonexistent 2>/dev/null";
    EXPECT_NE(system(bad_fonts.c_str()), 0);
    std::string bad_output =
        "'" MAKE_VELMORA_DAT "' /nonexistent/dir/velmora.dat '" DEJAVU_DIR "' 2>/dev/null";
    EXPECT_NE(system(bad_output.c_str()), 0);
    std::string no_arguments = "'" MAKE_VELMORA_DAT "' 2>/dev/null";
    EXPECT_NE(system(no_arguments.c_str()), 0);
}
