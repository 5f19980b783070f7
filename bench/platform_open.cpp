// Opening a BMP as a user meets it: each repetition forks a fresh process, which reads the file (in the
// page cache, as a file just saved or copied is) into a new picture and makes the copy Edit > Reset
// keeps, as File > Open does. Reported: the time of the open in the child and its peak resident memory
// in pictures.
//
//   build-rel/bench/bench_platform --benchmark_filter=OpenFresh --benchmark_repetitions=5
#include "platform/BMPFile.h"
#include "platform/Picture.h"

#include <QFile>
#include <QString>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString benchFile(int side) {
    const QString path = QStringLiteral("/tmp/mozaro-open-%1.bmp").arg(side);
    if (QFile::exists(path)) return path;
    TFastDIB pic;
    pic.SetSize(side, side, 24, 0);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) pic.Pixels24[y][x] = TFColor{std::uint8_t(x), std::uint8_t(y), 7};
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(EncodeBMP(pic));
    return path;
}

void OpenFresh(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    const QString path = benchFile(side);
    const double picture = 3.0 * side * side;
    double peak = 0;
    for (auto _ : state) {
        int fds[2];
        if (pipe(fds) != 0) state.SkipWithError("pipe");
        const pid_t child = fork();
        if (child == 0) {
            const auto start = std::chrono::steady_clock::now();
            TFastDIB z, orig, buf;
            LoadPictureToDIB(path, z);
            AssignDIB(orig, z);
            buf.SetSize(z.Width, z.Height, 24, 0);
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            rusage use{};
            getrusage(RUSAGE_SELF, &use);
            const double out[2] = {seconds, use.ru_maxrss * 1024.0};
            (void)!write(fds[1], out, sizeof out);
            _exit(0);
        }
        close(fds[1]);
        double in[2] = {0, 0};
        (void)!read(fds[0], in, sizeof in);
        close(fds[0]);
        waitpid(child, nullptr, 0);
        state.SetIterationTime(in[0]);
        peak = std::max(peak, in[1]);
    }
    state.counters["peak_pictures"] = peak / picture;
}
BENCHMARK(OpenFresh)->Arg(4096)->Arg(16384)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
