// Files handed over by the desktop: dropped on the window, or copied in the
// file manager and waiting on the clipboard.
#pragma once

#include <QString>

#include <filesystem>

class QMimeData;

namespace quorvel::ui {

// A path longer than this is refused, as the shell's own file lists do.
inline constexpr qsizetype kMaxShellPathLength = 65530;

// True when the data holds a list of local files: text/uri-list, or the
// GNOME file managers' x-special/gnome-copied-files.
bool HoldsFileList(const QMimeData* data);

// The first local file of the list; empty when the list has no local file
// or when that path is longer than kMaxShellPathLength.
QString FirstFileOf(const QMimeData* data);

// Qt's paths as the platform's: UTF-16 on Windows, never a local 8-bit
// form; the file system's own bytes elsewhere.
std::filesystem::path PathFromQString(const QString& path);
QString QStringFromPath(const std::filesystem::path& path);

}  // namespace quorvel::ui
