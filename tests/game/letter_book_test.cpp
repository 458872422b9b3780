// Checks the letter book against the figures the typing game and the players rely on: the
// lengths of every line and page string, the characters a player can type, the way lines are
// broken, and the pace the time limits ask for.
#include "game/letter_book.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const int LINE_LENGTHS[LETTER_COUNT][LINES_PER_LETTER] = {
    {54, 41, 51, 60, 51, 54, 43, 59, 10, 0}, {53, 53, 49, 43, 54, 43, 41, 56, 43, 0},
    {43, 47, 48, 50, 47, 49, 56, 50, 12, 0}, {55, 54, 54, 42, 52, 49, 48, 45, 42, 20},
    {56, 59, 46, 57, 55, 55, 22, 54, 57, 0}};
const int LETTER_TOTALS[LETTER_COUNT] = {423, 435, 402, 461, 461};
const int INTRO_LENGTHS[LETTER_COUNT][INTRO_STRINGS] = {
    {51, 56, 53, 62, 28}, {72, 68, 59, 23, 0}, {63, 64, 64, 68, 0}, {65, 46, 61, 56, 67},
    {65, 64, 68, 64, 0}};

// Every word of the book. A line broken inside a word, or a typo, leaves a piece that is not here.
const char WORDS[] =
    "a ackoliv ale ani aspon az babicka bazenu bojim buchty budes budu busi bych byla caj "
    "cajem cekat cele celemu cely cetl cetla chces chci chodim chodit chtel chtela co copak "
    "ctes ctu dal dalsi davno delam delas den destive dilne diva divas divka dlouhe dlouhou "
    "dny do dodelam dokud dopis dopisu dopisy dostala dreva dvacet dveri falesne hledaji ho "
    "horkym hraju hudbu i ja jak jako jakou je jedno jel jen jeste jestli jezdim ji jineho "
    "jmenuje jsem jsi jsme jsou kamaradka kavarny kazde kazdy kdo kdy kdybys kdysi kdyz kluk "
    "knihou knihu knizka kodane kolenou konecnou kost krabicku krasna krasne ktere kteri "
    "kterou ktery kytaru kytici lavicce lenka lenko lepsi lesem lidech lipou lipu loucime ma "
    "mam mas me mesto mi mila miluji mily mistr mluvit mne moc mohl mokri more musim myslet "
    "na nad nadherna nahlas nakonec napsat nase nasi navzdy nebo necetes necetu nech nechci "
    "neco nedeli nedokazu nejde nejdriv nejradsi nemyslim nenasel neni neprijdes nerekl neumim "
    "nevedela nevim nez nezacalo nezlob nezname ni nic nikdy o obcas obycejny oci od "
    "odhodlal odjizdim odpoledne odpoved odpovedet odpovidat odvahu ohromnou okna ona "
    "oslovit pada pak palacinky pani parku peku pet petr petre pis pisnicka pisnicku "
    "pisnicky pisu pit po pobrukuji pockam pockas pod podzim pohledem pokud polstarem "
    "postava povidky prace pracuji pravdu prave precist predala predstavovala prejel "
    "premyslel prijd prijdes prijedu prinesu pritom priznat pro prochazku prosim proti "
    "protoze prozit prset prvni psat rad rada radost rano reknes rekou reky rict rok "
    "ruky rychle s schovam schovavat se sedeli sedi sestrou setmeni si sice slovo slozil "
    "smeje smim sobota sobotu soboty spatrim srab srdce starat stare starou stejnou "
    "stipendium studovat svou ta tajemne tajne tak taky tam te tebe tebou ted ten termosku "
    "tesim ti tichym to tolikrat trafice tramvaje tramvaji trapi trikrat truhlar tvarila "
    "tvoje tvuj ty tyden u udelala uhnes ukazes usmevem usmivas utikali uz v varit vecer "
    "vecerech veci vidame vim vlakem vlastne vratis vsechno vsimla vydrzi vzit z za zahraju "
    "zamilovany zapomenes zapomenout zastavce zastavku zatim zavolala ze zeptam zime zivot "
    "zivotu zpivala zpivat zustanu zvladnu zvolil";

const char LETTER_CHARS[] = " abcdefhijklmnoprstuvyzABCDEIJKLMNPRSTUV!,.?";
const char INTRO_CHARS[] = " abcdefhijklmnoprstuvyzABCDEIJKLMNPRSTUV,.?";

// One text per letter or page, its non-empty entries in order.
std::vector<std::vector<std::string>> texts(bool letters)
{
    std::vector<std::vector<std::string>> all(LETTER_COUNT);
    for (int l = 0; l < LETTER_COUNT; ++l) {
        int count = letters ? LINES_PER_LETTER : INTRO_STRINGS;
        for (int i = 0; i < count; ++i) {
            const char *s = letters ? letter_lines[l][i] : intro_pages[l][i];
            if (s && *s)
                all[l].push_back(s);
        }
    }
    return all;
}

std::vector<std::string> words_of(const std::string &s)
{
    std::vector<std::string> words;
    std::istringstream in(s);
    for (std::string w; in >> w;) {
        while (!w.empty() && std::strchr("!,.?", w.back()))
            w.pop_back();
        for (char &c : w)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        words.push_back(w);
    }
    return words;
}

TEST(letter_book, lengths_and_empty_entries_match_the_tables)
{
    int characters = 0, lines_to_type = 0;
    for (int l = 0; l < LETTER_COUNT; ++l) {
        int total = 0;
        for (int i = 0; i < LINES_PER_LETTER; ++i) {
            ASSERT_NE(letter_lines[l][i], nullptr) << l << "/" << i;
            int length = static_cast<int>(std::strlen(letter_lines[l][i]));
            EXPECT_EQ(length, LINE_LENGTHS[l][i]) << "letter " << l + 1 << " line " << i + 1;
            EXPECT_TRUE(length == 0 ? i == 9 : length >= 10) << l << "/" << i;
            total += length;
            lines_to_type += length > 0;
        }
        EXPECT_EQ(total, LETTER_TOTALS[l]) << "letter " << l + 1;
        characters += total;
        for (int i = 0; i < INTRO_STRINGS; ++i) {
            ASSERT_NE(intro_pages[l][i], nullptr) << l << "/" << i;
            EXPECT_EQ(static_cast<int>(std::strlen(intro_pages[l][i])), INTRO_LENGTHS[l][i])
                << "page " << l + 1 << " string " << i + 1;
        }
    }
    EXPECT_EQ(characters, 2182);
    EXPECT_EQ(lines_to_type, 46);
}

TEST(letter_book, only_typeable_characters_and_single_spaces)
{
    for (bool letters : {true, false}) {
        const char *allowed = letters ? LETTER_CHARS : INTRO_CHARS;
        for (const auto &text : texts(letters))
            for (const std::string &s : text) {
                EXPECT_EQ(s.find_first_not_of(allowed), std::string::npos) << s;
                EXPECT_NE(s.front(), ' ') << s;
                EXPECT_NE(s.back(), ' ') << s;
                EXPECT_EQ(s.find("  "), std::string::npos) << s;
            }
    }
    // The key translation makes y, z, ! and ? out of other keys: the letters must ask for them.
    std::string all;
    for (const auto &text : texts(true))
        for (const std::string &s : text)
            all += s;
    for (char c : {'y', 'z', '!', '?'})
        EXPECT_NE(all.find(c), std::string::npos) << c;
}

TEST(letter_book, lines_break_between_known_words_and_sentences_start_with_capitals)
{
    std::set<std::string> known;
    for (const std::string &w : words_of(WORDS))
        known.insert(w);
    for (bool letters : {true, false})
        for (const auto &text : texts(letters)) {
            bool sentence_start = true;
            for (size_t i = 0; i < text.size(); ++i) {
                std::vector<std::string> words = words_of(text[i]);
                for (const std::string &w : words) {
                    EXPECT_TRUE(known.count(w)) << "'" << w << "' in: " << text[i];
                }
                // Two pieces that only make a word together mean the word was cut at the break.
                if (i + 1 < text.size()) {
                    EXPECT_FALSE(known.count(words.back() + words_of(text[i + 1]).front()))
                        << text[i] << " / " << text[i + 1];
                }
                std::istringstream in(text[i]);
                for (std::string w; in >> w; sentence_start = std::strchr("!.?", w.back())) {
                    if (sentence_start) {
                        EXPECT_TRUE(std::isupper(static_cast<unsigned char>(w[0]))) << text[i];
                    }
                }
            }
        }
}

TEST(letter_book, time_limits_ask_for_a_rising_pace)
{
    const double paces[LETTER_COUNT] = {1.27, 1.88, 2.54, 3.03, 3.78};
    const int penalties[LETTER_COUNT] = {15, 10, 5, 5, 5};
    for (int l = 0; l < LETTER_COUNT; ++l) {
        double pace = static_cast<double>(LETTER_TOTALS[l]) / time_limits[l];
        EXPECT_DOUBLE_EQ(std::round(pace * 100) / 100, paces[l]) << l;
        EXPECT_EQ(time_limits[l] / 100 * 5, penalties[l]) << l;
        if (l > 0) {
            EXPECT_LT(time_limits[l], time_limits[l - 1]);
        }
    }
    EXPECT_EQ(time_limits[0], 332);
}

} // namespace
