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

::testing::AssertionResult SameDIB(const TFastDIB& a, const TFastDIB& b) {
    if (a.Width != b.Width || a.Height != b.Height || a.Bpp != b.Bpp)
        return ::testing::AssertionFailure() << "size " << a.Width << " x " << a.Height << " x " << a.Bpp
                                             << " vs " << b.Width << " x " << b.Height << " x " << b.Bpp;
    for (int y = 0; y < a.Height; ++y)
        for (int x = 0; x < a.Width; ++x)
            if (!(a.Pixels24[y][x] == b.Pixels24[y][x]))
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") differs";
    return ::testing::AssertionSuccess();
}

QByteArray BmpHeader(std::int32_t w, std::int32_t h) {
    QByteArray b(54, '\0');
    auto put32 = [&](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 255);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, 54);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(w));
    put32(22, static_cast<std::uint32_t>(h));
    b[26] = 1;
    b[28] = 24;
    return b;
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
