#include "persist/AtomicFile.h"

#include "common/FileMode.h"

#include <QSaveFile>

bool AtomicFile::Write(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    const auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    // One write of the whole: no buffer in between.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file.errorString());
    DropWorldWrite(file);
    // commit() would rename a temporary file whose last flush failed (a full disk): check the flush first.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
