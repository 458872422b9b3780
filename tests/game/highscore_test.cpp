// The highscore file without a screen: its bytes, reading it back, the record decision and
// the rewrite that never leaves a torn file behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "game/highscore.h"
#include "platform/i_save.h"
#include "tests/game/score_files.h"

static byte_list encoded(int32_t seconds, int32_t mistakes)
{
    byte_list bytes(HIGHSCORE_SIZE);
    encode_highscore({seconds, mistakes}, bytes.data());
    return bytes;
}

static highscore decoded(const byte_list &bytes)
{
    return decode_highscore(bytes.data());
}

TEST(highscore_format, known_records_give_known_bytes)
{
    EXPECT_EQ(encoded(1000, 7), (byte_list{0xD2, 0x03, 0x00, 0x00, 0xE3, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(encoded(300, 0), (byte_list{0x16, 0x01, 0x00, 0x00, 0xFC, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(encoded(500, 10), (byte_list{0xDE, 0x01, 0x00, 0x00, 0xE6, 0xFF, 0xFF, 0xFF}));
    // 20 mistakes encode to 0 XOR 0x10: the only small count with a positive word.
    EXPECT_EQ(encoded(0, 20), (byte_list{0x2A, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00}));
}

TEST(highscore_format, decoding_inverts_the_known_bytes)
{
    highscore r = decoded({0xD2, 0x03, 0x00, 0x00, 0xE3, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(r.seconds, 1000);
    EXPECT_EQ(r.mistakes, 7);
    r = decoded({0x16, 0x01, 0x00, 0x00, 0xFC, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(r.seconds, 300);
    EXPECT_EQ(r.mistakes, 0);
}

TEST(highscore_format, any_eight_bytes_are_a_record)
{
    highscore zeros = decoded(byte_list(8, 0x00));
    EXPECT_EQ(zeros.seconds, 22);   // (0 ^ 0x20) - 10
    EXPECT_EQ(zeros.mistakes, 36);  // (0 ^ 0x10) + 20
    highscore ones = decoded(byte_list(8, 0xFF));
    EXPECT_EQ(ones.seconds, -43);  // -33 - 10
    EXPECT_EQ(ones.mistakes, 3);   // -17 + 20
    // The high byte is the last one, whatever the host; 0x80000000 - 10 wraps to the top.
    highscore high = decoded({0x20, 0x00, 0x00, 0x80, 0x10, 0x00, 0x00, 0x7F});
    EXPECT_EQ(high.seconds, INT32_MAX - 9);
    EXPECT_EQ(high.mistakes, 0x7F000000 + 20);
}

TEST(highscore_format, every_value_survives_the_round_trip)
{
    const int32_t values[] = {0,           1,           -1,          7,
                              996,         INT32_MAX,   INT32_MIN,   INT32_MAX - 9,
                              INT32_MAX - 10, INT32_MIN + 19, INT32_MIN + 20, 0x12345678};
    for (int32_t seconds : values) {
        for (int32_t mistakes : values) {
            highscore back = decoded(encoded(seconds, mistakes));
            EXPECT_EQ(back.seconds, seconds);
            EXPECT_EQ(back.mistakes, mistakes);
        }
    }
    // Near the top the +10 wraps round to the most negative words.
    EXPECT_EQ(encoded(INT32_MAX, 20)[3], 0x80);
}

TEST(highscore_decision, time_decides_first_then_mistakes)
{
    const highscore stored = {500, 10};
    EXPECT_TRUE(beats_highscore({500, 9}, stored));
    EXPECT_FALSE(beats_highscore({500, 10}, stored)) << "a tie is not a new record";
    EXPECT_FALSE(beats_highscore({500, 11}, stored));
    EXPECT_FALSE(beats_highscore({501, 0}, stored)) << "time decides before mistakes";
    EXPECT_TRUE(beats_highscore({499, 40}, stored));
}

TEST(highscore_decision, comparisons_are_signed)
{
    // A stored time of -43 (a file of FF bytes) cannot be beaten by any real game, and a
    // negative stored mistake count is not beaten by zero mistakes at the same time.
    EXPECT_FALSE(beats_highscore({0, 0}, {-43, 3}));
    EXPECT_FALSE(beats_highscore({100, 0}, {100, -1}));
    EXPECT_TRUE(beats_highscore({100, INT32_MIN}, {100, -1}));
    EXPECT_TRUE(beats_highscore({INT32_MAX - 1, 0}, {INT32_MAX, 0}));
    EXPECT_TRUE(beats_highscore({5, 0}, {INT32_MAX, 0}));
}

class highscore_files : public ::testing::Test {
protected:
    std::string folder;
    std::string path;

    void SetUp() override
    {
        folder = make_scratch_folder();
        ASSERT_FALSE(folder.empty());
        path = folder + "/cool.dat";
    }
    void TearDown() override { remove_scratch_folder(folder); }
};

TEST_F(highscore_files, missing_file_is_no_record_and_is_not_created)
{
    highscore r = {1, 2};
    EXPECT_FALSE(read_highscore(path.c_str(), &r));
    EXPECT_EQ(r.seconds, 1) << "the record is left alone";
    EXPECT_TRUE(folder_names(folder).empty());
}

TEST_F(highscore_files, short_files_are_no_record)
{
    byte_list good = encoded(1000, 7);
    for (size_t length = 0; length < HIGHSCORE_SIZE; length++) {
        put_file(path, byte_list(good.begin(), good.begin() + length));
        highscore r = {1, 2};
        EXPECT_FALSE(read_highscore(path.c_str(), &r)) << length << " bytes";
        EXPECT_EQ(r.seconds, 1);
        EXPECT_EQ(r.mistakes, 2);
    }
}

TEST_F(highscore_files, eight_bytes_and_more_give_the_first_eight)
{
    put_file(path, encoded(1000, 7));
    highscore r = {};
    ASSERT_TRUE(read_highscore(path.c_str(), &r));
    EXPECT_EQ(r.seconds, 1000);
    EXPECT_EQ(r.mistakes, 7);

    byte_list longer = encoded(5, INT32_MAX);
    longer.insert(longer.end(), {0x01, 0x02, 0x03, 0x04, 0x05});
    put_file(path, longer);
    ASSERT_TRUE(read_highscore(path.c_str(), &r));
    EXPECT_EQ(r.seconds, 5);
    EXPECT_EQ(r.mistakes, INT32_MAX);
    EXPECT_EQ(file_bytes(path), longer) << "reading leaves the file alone";
}

// Random bytes decode to negative values half the time; no game makes them, and a negative
// time could never be beaten.
TEST_F(highscore_files, negative_time_or_mistakes_are_no_record)
{
    const highscore stored[] = {{-1, 0}, {0, -1}, {INT32_MIN, 5}, {-43, 3}};
    for (const highscore &bad : stored) {
        put_file(path, encoded(bad.seconds, bad.mistakes));
        highscore r = {1, 2};
        EXPECT_FALSE(read_highscore(path.c_str(), &r)) << bad.seconds << " / " << bad.mistakes;
        EXPECT_EQ(r.seconds, 1);
    }
    put_file(path, encoded(0, 0));
    highscore r = {1, 2};
    EXPECT_TRUE(read_highscore(path.c_str(), &r));
    EXPECT_EQ(r.seconds, 0);
}

// A folder, a FIFO (whose opening would wait for a writer) and a device that reads as
// endless zero bytes stand where the file should be.
TEST_F(highscore_files, what_is_not_a_regular_file_is_no_record)
{
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    std::string fifo = folder + "/fifo.dat";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    alarm(20);
    for (const std::string &other : {path, fifo, std::string("/dev/zero")}) {
        highscore r = {};
        EXPECT_FALSE(read_highscore(other.c_str(), &r)) << other;
    }
    alarm(0);
}

TEST_F(highscore_files, write_creates_exactly_eight_bytes_that_read_back)
{
    ASSERT_TRUE(write_highscore(path.c_str(), {996, 12}));
    EXPECT_EQ(file_bytes(path), encoded(996, 12));
    highscore r = {};
    ASSERT_TRUE(read_highscore(path.c_str(), &r));
    EXPECT_EQ(r.seconds, 996);
    EXPECT_EQ(r.mistakes, 12);
    EXPECT_EQ(folder_names(folder), std::vector<std::string>{"cool.dat"})
        << "no temporary file is left beside it";
}

TEST_F(highscore_files, rewrite_replaces_a_longer_file_with_eight_bytes)
{
    byte_list longer = encoded(1000, 7);
    longer.resize(64, 0xAA);
    put_file(path, longer);
    ASSERT_TRUE(write_highscore(path.c_str(), {500, 9}));
    EXPECT_EQ(file_bytes(path), encoded(500, 9));
}

static mode_t mode_of(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : mode_t(-1);
}

TEST_F(highscore_files, a_new_file_takes_the_umask_and_a_rewrite_keeps_the_old_bits)
{
    for (mode_t mask : {mode_t(022), mode_t(077), mode_t(0)}) {
        unlink(path.c_str());
        mode_t old_mask = umask(mask);
        bool written = write_highscore(path.c_str(), {300, 0});
        umask(old_mask);
        ASSERT_TRUE(written);
        EXPECT_EQ(mode_of(path), 0664 & ~mask) << "umask " << std::oct << mask;
    }
    for (mode_t bits : {mode_t(0600), mode_t(0640), mode_t(0666)}) {
        ASSERT_EQ(chmod(path.c_str(), bits), 0);
        ASSERT_TRUE(write_highscore(path.c_str(), {301, 0}));
        EXPECT_EQ(mode_of(path), bits);
    }
}

TEST_F(highscore_files, relative_name_is_written_in_the_working_folder)
{
    char before[4096];
    ASSERT_NE(getcwd(before, sizeof before), nullptr);
    ASSERT_EQ(chdir(folder.c_str()), 0);
    bool written = write_highscore(highscore_file_name, {42, 1});
    ASSERT_EQ(chdir(before), 0);
    ASSERT_TRUE(written);
    EXPECT_EQ(file_bytes(path), encoded(42, 1));
}

TEST_F(highscore_files, missing_folder_fails_and_creates_nothing)
{
    std::string nowhere = folder + "/no-such-folder/cool.dat";
    EXPECT_FALSE(write_highscore(nowhere.c_str(), {1, 1}));
    EXPECT_TRUE(folder_names(folder).empty());
}

TEST_F(highscore_files, a_folder_in_the_way_is_kept_and_no_temporary_is_left)
{
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    put_file(path + "/inside", {0x01});
    EXPECT_FALSE(write_highscore(path.c_str(), {1, 1}));
    EXPECT_EQ(folder_names(folder), std::vector<std::string>{"cool.dat"});
    EXPECT_EQ(file_bytes(path + "/inside"), byte_list{0x01});
}

// Runs `write` where the folder allows no new file: as another user when running as root,
// who writes anywhere, else with the folder made read-only. True when the write succeeded.
static bool write_in_closed_folder(const std::string &folder, bool (*write)(const char *),
                                   const std::string &path)
{
    if (geteuid() != 0) {
        chmod(folder.c_str(), 0555);
        bool written = write(path.c_str());
        chmod(folder.c_str(), 0755);
        return written;
    }
    chmod(folder.c_str(), 0755);
    pid_t child = fork();
    if (child == 0)
        _exit(setgid(65534) == 0 && setuid(65534) == 0 && write(path.c_str()) ? 0 : 1);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(highscore_files, a_closed_folder_rewrites_a_writable_file_in_place_or_keeps_it)
{
    auto write_record = [](const char *where) { return write_highscore(where, {1, 1}); };
    put_file(path, encoded(1000, 7));
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    EXPECT_FALSE(write_in_closed_folder(folder, write_record, path));
    EXPECT_EQ(file_bytes(path), encoded(1000, 7));

    byte_list longer = encoded(1000, 7);
    longer.resize(20, 0xAA);
    ASSERT_EQ(chmod(path.c_str(), 0666), 0);
    put_file(path, longer);
    EXPECT_TRUE(write_in_closed_folder(folder, write_record, path));
    EXPECT_EQ(file_bytes(path), encoded(1, 1));
    EXPECT_EQ(folder_names(folder), std::vector<std::string>{"cool.dat"});
}

// In place, only cool.dat itself is rewritten: not the target of a symbolic link, not a file
// it shares with another name, and a FIFO does not keep the save waiting.
TEST_F(highscore_files, a_closed_folder_rewrites_no_other_file_in_place)
{
    auto write_record = [](const char *where) { return write_highscore(where, {1, 1}); };
    std::string players = folder + "/letter.txt";
    const byte_list letter(40, 'x');
    for (const char *entry : {"symbolic link", "hard link", "FIFO"}) {
        put_file(players, letter);
        ASSERT_EQ(chmod(players.c_str(), 0666), 0);
        unlink(path.c_str());
        int made = entry[0] == 's'   ? symlink(players.c_str(), path.c_str())
                   : entry[0] == 'h' ? link(players.c_str(), path.c_str())
                                     : mkfifo(path.c_str(), 0666);
        ASSERT_EQ(made, 0) << entry;
        alarm(20);
        EXPECT_FALSE(write_in_closed_folder(folder, write_record, path)) << entry;
        alarm(0);
        EXPECT_EQ(file_bytes(players), letter) << entry;
    }
}

// Saves killed before their rename leave "cool.dat.new<pid>-<n>"; the next save removes
// those of processes that have ended, and nothing else.
TEST_F(highscore_files, a_save_clears_the_leftovers_of_ended_saves)
{
    pid_t ended = fork();
    if (ended == 0)
        _exit(0);
    waitpid(ended, nullptr, 0);
    const std::string dead = "cool.dat.new" + std::to_string(ended);
    const std::string kept[] = {"cool.dat.new" + std::to_string(getpid()) + "-0",
                                dead + "-1.bak", "other.dat.new" + std::to_string(ended) + "-0",
                                "cool.dat.new-" + std::to_string(ended)};
    for (const std::string &name : {dead + "-0", dead + "-17"})
        put_file(folder + "/" + name, {0x01});
    for (const std::string &name : kept)
        put_file(folder + "/" + name, {0x01});
    ASSERT_TRUE(write_highscore(path.c_str(), {1, 1}));
    std::vector<std::string> expected(std::begin(kept), std::end(kept));
    expected.push_back("cool.dat");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(folder_names(folder), expected);
}

// A disk that fills up half way through: the file size limit lets the first bytes of the
// new file through and refuses the rest. Writing in place would leave a torn record.
TEST_F(highscore_files, a_write_cut_short_keeps_the_old_record)
{
    put_file(path, encoded(1000, 7));
    struct rlimit old_limit;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    struct rlimit tight = old_limit;
    tight.rlim_cur = 4;
    void (*old_handler)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    bool written = write_highscore(path.c_str(), {1, 1});
    setrlimit(RLIMIT_FSIZE, &old_limit);
    signal(SIGXFSZ, old_handler);

    EXPECT_FALSE(written);
    EXPECT_EQ(file_bytes(path), encoded(1000, 7));
    EXPECT_EQ(folder_names(folder), std::vector<std::string>{"cool.dat"});
}

TEST_F(highscore_files, replacing_writes_any_length_exactly)
{
    byte_list big(100000);
    for (size_t i = 0; i < big.size(); i++)
        big[i] = static_cast<unsigned char>(i * 7 + 3);
    ASSERT_TRUE(replace_file_atomically(path.c_str(), big.data(), big.size()));
    EXPECT_EQ(file_bytes(path), big);
    ASSERT_TRUE(replace_file_atomically(path.c_str(), big.data(), 0));
    bool exists = false;
    EXPECT_TRUE(file_bytes(path, &exists).empty());
    EXPECT_TRUE(exists);
}
