#pragma once
// Shared by the fuzz targets: the application object Qt needs, a private temporary folder that is the only
// place a target writes to, and the check that turns a broken invariant into a crash libFuzzer records.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace Fuzz {

inline QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Removed when the target exits. In memory where the system has a memory file system: the saves sync
// every file, which on a disk would bound a target to a few runs per second.
inline QString TempPath(const QString& name)
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/kt610b-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/kt610b-fuzz-XXXXXX"));
    if (!dir.isValid())
        std::abort();
    return dir.filePath(name);
}

inline void WriteFile(const QString& path, const uint8_t* data, size_t size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        std::abort();
    file.write(reinterpret_cast<const char*>(data), qint64(size));
}

[[noreturn]] inline void Broken(const char* what, int line)
{
    std::fprintf(stderr, "invariant broken (line %d): %s\n", line, what);
    std::abort();
}

} // namespace Fuzz

#define FUZZ_CHECK(condition)                     \
    do {                                          \
        if (!(condition))                         \
            Fuzz::Broken(#condition, __LINE__);   \
    } while (0)
