#pragma once
// Whole-file writes that never leave half a file: the bytes go to a temporary file beside the target, which
// is renamed over it only when everything was written.

#include <QByteArray>
#include <QString>

namespace AtomicFile {

// Replaces (or creates) path with bytes. On failure the target is left as it was and error, when given,
// tells why.
bool Write(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace AtomicFile
