#pragma once
// Files and folders the program creates are never writable by every user, whatever the umask says: a
// settings file or log that anyone may change is a file nobody can trust.

#include <QFileDevice>
#include <QString>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

// On an open file (for a save file: its temporary file, whose mode the rename keeps).
inline bool DropWorldWrite(const QFileDevice& file)
{
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::fstat(file.handle(), &st) != 0)
        return false;
    return !(st.st_mode & S_IWOTH) || ::fchmod(file.handle(), st.st_mode & 07775) == 0;
#else
    return true;
#endif
}

inline bool DropWorldWrite(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat st {};
    const QByteArray name = path.toLocal8Bit();
    if (::stat(name.constData(), &st) != 0)
        return false;
    return !(st.st_mode & S_IWOTH) || ::chmod(name.constData(), st.st_mode & 07775) == 0;
#else
    return true;
#endif
}
