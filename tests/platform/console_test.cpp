// The console's reads from a script (keys, numbers, words), the end of its input, and the
// conversion of its text for a Shift-JIS terminal.
#include "platform/console.h"

#include "tests/platform/console_script.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>

using namespace robosim;

//------------------------------------------------------------------ keys

using ConsoleReadKey = ConsoleScriptTest;

// scripted answers may be laid out on lines: white space between keys is skipped
TEST_F(ConsoleReadKey, TakesTheNextCharacterThatIsNotWhiteSpace) {
    feed(" \n y\t\r\nzN");
    EXPECT_EQ(console_read_key(), 'y');
    EXPECT_EQ(console_read_key(), 'z');
    EXPECT_EQ(console_read_key(), 'N');
}

//------------------------------------------------------------------ numbers

using ConsoleReadNumbers = ConsoleScriptTest;

// like scanf("%lf %lf"): fields may span lines; what follows stays for the next read
TEST_F(ConsoleReadNumbers, FieldsSpanLinesAndTheRestStaysForTheNextRead) {
    feed("0.5\n\n  -2e-1 7\ny");
    double a = 0.0, b = 0.0;
    EXPECT_EQ(console_read_doubles({&a, &b}), 2);
    EXPECT_EQ(a, 0.5);
    EXPECT_EQ(b, -0.2);
    int k = 0;
    EXPECT_EQ(console_read_int(&k), 1);
    EXPECT_EQ(k, 7);
    EXPECT_EQ(console_read_key(), 'y');
}

// a word that is not a number stops the reading: that field and the later ones keep their
// values, and the rest of the line is dropped so that it cannot answer the next question
TEST_F(ConsoleReadNumbers, NoNumberKeepsTheFieldsAndDropsTheLine) {
    feed("4 x 9\nz\nabc 5\n6");
    double a = 1.0, b = 2.0, c = 3.0;
    EXPECT_EQ(console_read_doubles({&a, &b, &c}), 1);
    EXPECT_EQ(a, 4.0);
    EXPECT_EQ(b, 2.0);
    EXPECT_EQ(c, 3.0);
    EXPECT_EQ(console_read_key(), 'z');
    int k = 42;
    EXPECT_EQ(console_read_int(&k), 0);
    EXPECT_EQ(k, 42);
    EXPECT_EQ(console_read_int(&k), 1);
    EXPECT_EQ(k, 6);
}

// like scanf("%d"): the digits in front count; a number beyond int is held at its limit
TEST_F(ConsoleReadNumbers, IntegerTakesLeadingDigitsAndStaysInRange) {
    feed("12abc 99999999999 -99999999999");
    int k = 0;
    EXPECT_EQ(console_read_int(&k), 1);
    EXPECT_EQ(k, 12);
    EXPECT_EQ(console_read_key(), 'a');
    EXPECT_EQ(console_read_key(), 'b');
    EXPECT_EQ(console_read_key(), 'c');
    EXPECT_EQ(console_read_int(&k), 1);
    EXPECT_EQ(k, INT_MAX);
    EXPECT_EQ(console_read_int(&k), 1);
    EXPECT_EQ(k, INT_MIN);
}

//------------------------------------------------------------------ lines

using ConsoleReadLine = ConsoleScriptTest;

TEST_F(ConsoleReadLine, IsTheWholeLineOfAnyLengthWithoutItsBlanks) {
    const std::string name = "my " + std::string(300, 'r') + ".dat";
    feed("  " + name + " \ny");
    EXPECT_EQ(console_read_line(), name);
    EXPECT_EQ(console_read_key(), 'y');
}

//------------------------------------------------------------------ end of input

using ConsoleEndOfInput = ConsoleScriptTest;

// every read at the end of its input says so and ends with a failure status: no spinning
TEST_F(ConsoleEndOfInput, EveryReadEndsTheProgram) {
    EXPECT_EXIT(
        {
            feed("  \n");
            console_read_key();
        },
        ::testing::ExitedWithCode(EXIT_FAILURE), "end of input");
    EXPECT_EXIT(
        {
            feed("0.5 ");
            double a = 0.0;
            double b = 0.0;
            console_read_doubles({&a, &b});
        },
        ::testing::ExitedWithCode(EXIT_FAILURE), "end of input");
    EXPECT_EXIT(
        {
            feed("");
            int k = 0;
            console_read_int(&k);
        },
        ::testing::ExitedWithCode(EXIT_FAILURE), "end of input");
    EXPECT_EXIT(
        {
            feed("");
            console_read_line();
        },
        ::testing::ExitedWithCode(EXIT_FAILURE), "end of input");
}

//------------------------------------------------------------------ Shift-JIS terminals

TEST(CharsetIsShiftJis, KnowsTheNamesOfShiftJis) {
    for (const char* name : {"SHIFT_JIS", "Shift_JIS", "SJIS", "sjis", "CP932", "WINDOWS-31J"}) {
        EXPECT_TRUE(charset_is_shift_jis(name)) << name;
    }
    for (const char* name : {"UTF-8", "ANSI_X3.4-1968", "EUC-JP", "ISO-8859-1", ""}) {
        EXPECT_FALSE(charset_is_shift_jis(name)) << name;
    }
    EXPECT_FALSE(charset_is_shift_jis(nullptr));
}

TEST(Utf8ToCp932, ConvertsJapaneseAndKeepsWhatItCannotConvertVisible) {
    EXPECT_EQ(utf8_to_cp932("ロボット"), "\x83\x8D\x83\x7B\x83\x62\x83\x67");
    EXPECT_EQ(utf8_to_cp932("fn=%5.2f\n"), "fn=%5.2f\n");
    EXPECT_EQ(utf8_to_cp932("a\xFF"
                            "b"),
              "a\xFF"
              "b");  // not UTF-8: passed on as it is
    EXPECT_EQ(utf8_to_cp932("a\xF0\x9F\x98\x80"
                            "b"),
              "a?b");  // U+1F600 has no CP932 code
}
