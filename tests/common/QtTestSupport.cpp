#include "common/QtTestSupport.h"

#include "platform/ErrorGuard.h"

#include <QApplication>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/resource.h>

namespace {

std::unique_ptr<GuardedApplication>& application() {
    static std::unique_ptr<GuardedApplication> app;
    return app;
}

// The application must end before main returns: Qt's own globals are gone by the time static
// objects are destroyed.
class ApplicationEnvironment : public ::testing::Environment {
public:
    void TearDown() override { application().reset(); }
};
[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace

void EnsureQtApplication() {
    static int argc = 1;
    static char name[] = "mozaro_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) application() = std::make_unique<GuardedApplication>(argc, argv);
}

QByteArray ReadAll(const QString& fileName) {
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void WriteAll(const QString& fileName, const QByteArray& data) {
    QFile f(fileName);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << fileName.toStdString();
    ASSERT_EQ(f.write(data), data.size());
}

FileSizeLimit::FileSizeLimit(long bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit r{};
    getrlimit(RLIMIT_FSIZE, &r);
    soft_ = r.rlim_cur;
    r.rlim_cur = static_cast<rlim_t>(bytes);
    setrlimit(RLIMIT_FSIZE, &r);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit r{};
    getrlimit(RLIMIT_FSIZE, &r);
    r.rlim_cur = static_cast<rlim_t>(soft_);
    setrlimit(RLIMIT_FSIZE, &r);
}
