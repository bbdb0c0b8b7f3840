#pragma once

#include <QString>

// A new path in the temporary folder, "<id>_temp_<s>_<us>_<n>.<extension>": the application's
// organization domain (or "org.halcyra.Halcyra" when it has none) with "." replaced by "_",
// the current seconds and microseconds and a process-wide call counter, all in lower-case hex.
// The file is not created.
QString temporaryFilePathWithExtension(const QString &extension);
