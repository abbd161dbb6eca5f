// Times loading and saving mirelt.ini files built to be hard on a profile reader:
// a million lines without "=", a million keys, and a 3 MB file of lines without "=".
// Prints the best of up to three runs of each; an argument 1-3 runs that case only.
#include "SettingsFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

QByteArray repeated(int count, const std::function<QByteArray(int)>& line)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += line(i);
    return bytes;
}

double bestMilliseconds(const std::function<void()>& step)
{
    double best = 1e300, total = 0;
    for (int run = 0; run < 3 && total < 20'000; ++run) {
        QElapsedTimer timer;
        timer.start();
        step();
        const double ms = timer.nsecsElapsed() / 1e6;
        best = std::min(best, ms);
        total += ms;
    }
    return best;
}

} // namespace

int main(int argc, char* argv[])
{
    const auto noEquals = [](int) { return QByteArray("no equals sign here\r\n"); };
    const auto key = [](int i) { return "k" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\r\n"; };
    const struct
    {
        const char* name;
        QByteArray content;
    } cases[] = {
        {"1,000,000 lines without \"=\"", "[OPTION]\r\n" + repeated(1'000'000, noEquals) + "RET=1\r\n"},
        {"1,000,000 keys", "[OPTION]\r\n" + repeated(1'000'000, key) + "RET=1\r\n"},
        {"3 MB of lines without \"=\"", "[OPTION]\r\n" + repeated(3'000'000 / 21, noEquals) + "RET=1\r\n"},
    };
    QTemporaryDir dir;
    const QString path = SettingsFile::path(dir.path());
    const int only = argc > 1 ? std::atoi(argv[1]) : 0;
    for (int i = 0; i < 3; ++i) {
        if (only != 0 && only != i + 1)
            continue;
        const auto& c = cases[i];
        const auto reset = [&] {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(c.content) != c.content.size())
                std::perror("cannot write the test file");
        };
        reset();
        StoredSettings loaded;
        const double load = bestMilliseconds([&] { loaded = SettingsFile::load(path); });
        if (loaded.lineBreak != 1)
            std::fprintf(stderr, "%s: RET was not read\n", c.name);
        const double save = bestMilliseconds([&] {
            reset();
            SettingsFile::save(path, loaded);
        });
        std::printf("%-30s %6.1f MB  load %9.1f ms  save %9.1f ms\n", c.name, c.content.size() / 1e6, load, save);
    }
}
