#pragma once
// A fresh account for one test: HOME without a documents folder, its own configuration, data and
// temporary folders; the previous environment comes back afterwards.

#include "common/QtTestSupport.h"

#include "app/main/SettingsFile.h"

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

class FreshAccount : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApplication();
        ASSERT_TRUE(Home.isValid());
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "TMPDIR"}) Keep(name);
        QDir(Home.path()).mkpath("tmp");
        qputenv("HOME", Home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (Home.path() + "/.config").toUtf8());
        qputenv("XDG_DATA_HOME", (Home.path() + "/.local/share").toUtf8());
        qputenv("TMPDIR", (Home.path() + "/tmp").toUtf8());
        ResetSettingsFailureReport();
    }
    void TearDown() override {
        for (const auto& [name, value] : Saved) qputenv(name, value);
    }
    // Another variable the test changes, put back afterwards.
    void Keep(const char* name) { Saved.emplace_back(name, qgetenv(name)); }
    QString Config() const { return Home.path() + "/.config/ZorvWare/ZorvTile"; }

    QTemporaryDir Home;
    std::vector<std::pair<const char*, QByteArray>> Saved;
};
