// The console's robot data files: a file refused as a whole, the file name asked for, and a
// write that fails, each told in the console's words.
#include "app/datafile.h"

#include "app/session.h"
#include "model/parameters.h"
#include "tests/platform/console_script.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

using namespace robosim;

// the default SCARA sine experiment, one group of tokens per line (sixteen lines)
static const char* const SCARA_SINE_LINES[] = {
    "b",   "0.4 0.4", "1.0", "110 110", "60 0.6",   "60 0.6", "g",   "4 4",
    "4 4", "V",       "c",   "4",       "-0.1 0.3", "0.6",    "0.2", "2.0",
};

class ReadRobotData : public ConsoleScriptTest {
  protected:
    // writes text to a file of the given name in the test's temporary directory
    std::string write_file(const std::string& name, const std::string& text) {
        const std::string path = ::testing::TempDir() + name;
        std::ofstream(path, std::ios::binary) << text;
        written_.push_back(path);
        return path;
    }

    void TearDown() override {
        for (const std::string& path : written_) {
            std::remove(path.c_str());
        }
        ConsoleScriptTest::TearDown();
    }

    // the lines joined by sep
    static std::string join(const char* const* lines, size_t count, const std::string& sep) {
        std::string text;
        for (size_t i = 0; i < count; ++i) {
            text += (i > 0 ? sep : "") + std::string(lines[i]);
        }
        return text;
    }

  private:
    std::vector<std::string> written_;
};

static bool same_bytes(const void* a, const void* b, size_t size) {
    return std::memcmp(a, b, size) == 0;
}

// a name the settings cannot be written to is told in the console's words, as a file read is
TEST_F(ReadRobotData, WriteFailureIsToldInJapanese) {
    for (const std::string& name : {::testing::TempDir(), ::testing::TempDir() + "no/x.dat"}) {
        feed(name + "\n");
        write_robot_file(params);
    }
    EXPECT_NE(console_capture.text.find("（フォルダ）。書き出せません"), std::string::npos);
    EXPECT_NE(console_capture.text.find("（そのようなファイルやフォルダはありません）"),
              std::string::npos);
}

// a value no robot can have is named with its item, and the file is not applied at all
TEST_F(ReadRobotData, ImpossibleValueLeavesEverySettingAsItWas) {
    const std::string path = write_file("heavy.dat", "a 0.7 -2 150 150 100 0.6 100 0.6 h");
    params.settings.robot_type = 'b';
    const ParameterSet before = params;
    bool refused = false;
    EXPECT_FALSE(read_robot_data(params, path.c_str(), &refused));
    EXPECT_TRUE(refused);
    EXPECT_TRUE(same_bytes(&params, &before, sizeof params));
    EXPECT_NE(console_capture.text.find("(1-2) ワーク質量 mw = -2 は使えない値です（0 以上の数"),
              std::string::npos)
        << console_capture.text;
}

// the name is asked on the console and has no length limit
TEST_F(ReadRobotData, FileNameOfTwoHundredCharacters) {
    const std::string name = std::string(196, 'r') + ".dat";
    const std::string path = write_file(name, join(SCARA_SINE_LINES, 16, " "));
    params.settings.sine.A = 0.0;
    feed(path + "\n");
    read_robot_file(params);
    EXPECT_NE(console_capture.text.find("\n読み込んだファイル名 = " + path + "\n(1)"),
              std::string::npos);
    EXPECT_DOUBLE_EQ(params.settings.sine.A, 0.2);

    // the same length of a name that does not exist: reported, no crash
    feed(::testing::TempDir() + std::string(200, 'x') + "\n");
    read_robot_file(params);
    EXPECT_NE(console_capture.text.find(std::string(200, 'x') + " を開けません"),
              std::string::npos);
}
