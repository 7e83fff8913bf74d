#include "core/type_filter.h"

#include <gtest/gtest.h>

namespace cj::core {
namespace {

struct FilterCase {
    const char* filter;
    const char* name;
    bool matches;
};

TEST(TypeFilter, TestsTheEndOfTheName) {
    const FilterCase cases[] = {
        // Everything passes.
        {"", "a.jpg", true},
        {"*", "README", true},
        {".*", "a.jpg", true},
        {"*.*", "noext", true},
        // Members with and without a dot, any case.
        {"mp3|ape|.flac", "x.MP3", true},
        {"mp3|ape|.flac", "y.ape", true},
        {"mp3|ape|.flac", "z.flac", true},
        {"mp3|ape|.flac", "w.wav", false},
        {"MP3", "a.mp3", true},
        {"jpg", "SF1400000000001.JPG", true},
        // A test of the ending, not of an extension field.
        {".tar.gz", "x.tar.gz", true},
        {"gz", "x.tar.gz", true},
        {"3", "a.mp3", false},
        {"3", "track.3", true},
        {"jpg", "jpg", false},
        {"jpg", ".jpg", true},
        {"jpg", "photo.jpg.txt", false},
        // Empty members become a lone dot.
        {"jpg||png", "name.", true},
        {"jpg||png", "name", false},
        // Only ASCII letters fold; other bytes compare as they are.
        {"照片", "a.照片", true},
        {".Ä", "a.ä", false},
        // Blanks typed around members are not part of them.
        {"mp3 | flac", "x.flac", true},
        {" jpg", "a.jpg", true},
        // A leading star stands for any start of the name, as people type
        // types in file dialogs; what follows it is the ending as it stands.
        {"*.jpg", "a.jpg", true},
        {"*.jpg", "a.JPG", true},
        {"*.JPG", "a.jpg", true},
        {"*.jpg", "a.png", false},
        {"*.jpg", "ajpg", false},
        {"*.jpg|*.png", "b.png", true},
        {"*.jpg | *.png", "b.png", true},
        {"*.jpg|png|.gif", "c.gif", true},
        {"*.tar.gz", "x.tar.gz", true},
        {"*jpg", "ajpg", true},
        {"*_scan.pdf", "SF1_scan.pdf", true},
        {"*_scan.pdf", "SF1.pdf", false},
        {"**.jpg", "a.jpg", true},
        // No other character is a wildcard.
        {"SF*.jpg", "SF1.jpg", false},
        {"SF*.jpg", "a.SF*.jpg", true},
        {"?.jpg", "a.jpg", false},
    };
    for (const FilterCase& c : cases) {
        EXPECT_EQ(TypeFilter(c.filter).Matches(c.name), c.matches)
            << "filter '" << c.filter << "' name '" << c.name << "'";
    }
}

TEST(TypeFilter, MatchesAllForTheCatchAllTextsAndMembers) {
    for (const char* text : {"", "*", ".*", "*.*", "*|jpg", "jpg|*.*", " *.* ", "png|.*"}) {
        EXPECT_TRUE(TypeFilter(text).MatchesAll()) << text;
        EXPECT_TRUE(TypeFilter(text).Matches("README")) << text;
    }
    for (const char* text : {"jpg", "*.jpg", "|", " ", "*.", "**.jpg|.png"}) {
        EXPECT_FALSE(TypeFilter(text).MatchesAll()) << text;
    }
    // "*." asks for names that end in a dot, as "jpg||png" always did.
    EXPECT_TRUE(TypeFilter("*.").Matches("name."));
    EXPECT_FALSE(TypeFilter("*.").Matches("name"));
}

}  // namespace
}  // namespace cj::core
