// Whether the desktop can show the help page: xdg-open with a program registered for HTML pages, or a
// browser it finds itself.
#include "common/QtTestSupport.h"
#include "platform/Shell.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class Browser : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        qputenv("PATH", dir.path().toUtf8());
        qunsetenv("BROWSER");
    }
    void TearDown() override {
        qputenv("PATH", oldPath);
        if (oldBrowser.isNull())
            qunsetenv("BROWSER");
        else
            qputenv("BROWSER", oldBrowser);
    }
    void tool(const QString& name, const QByteArray& output = QByteArray()) {
        const QString f = dir.filePath(name);
        WriteAll(f, "#!/bin/sh\nprintf '" + output + "'\n");
        QFile::setPermissions(f, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QTemporaryDir dir;
    QByteArray oldPath = qgetenv("PATH"), oldBrowser = qgetenv("BROWSER");
};

} // namespace

TEST_F(Browser, NeedsXdgOpenAndSomethingToShowPages) {
    EnsureQtApplication();
    EXPECT_FALSE(BrowserAvailable()) << "nothing installed";
    tool("xdg-open");
    tool("xdg-mime"); // no program registered for HTML
    EXPECT_FALSE(BrowserAvailable());
    qputenv("BROWSER", "somebrowser");
    EXPECT_TRUE(BrowserAvailable()) << "xdg-open uses $BROWSER";
    qunsetenv("BROWSER");
    tool("xdg-mime", "firefox-esr.desktop\\n");
    EXPECT_TRUE(BrowserAvailable()) << "a registered program";
    tool("xdg-mime");
    tool("x-www-browser");
    EXPECT_TRUE(BrowserAvailable()) << "the system's default browser";
    QFile::remove(dir.filePath("xdg-open"));
    EXPECT_FALSE(BrowserAvailable()) << "without xdg-open nothing opens the page";
    // A missing page is not opened, whatever the desktop has.
    EXPECT_FALSE(ShellOpenHelp(dir.filePath("missing.html")));
}
