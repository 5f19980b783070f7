// Shared test entry: no test touches the user's own settings or needs a real display.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    char tmpl[] = "/tmp/mozaro-test-XXXXXX";
    const char* dir = mkdtemp(tmpl);
    if (dir) {
        const std::string home = dir;
        fs::create_directories(home + "/config");
        fs::create_directories(home + "/data");
        fs::create_directories(home + "/Documents");
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
        setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    if (dir) {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    return rc;
}
