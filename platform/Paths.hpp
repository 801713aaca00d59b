// Paths as the platform names files: native bytes on POSIX, UTF-16 on
// Windows.  Inside the program they travel as std::filesystem::path; where a
// path is shown (the report's header, messages, JSON) it is UTF-8 text.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quorvel {

// A path from UTF-8 text (a command-line argument converted from UTF-16 on
// Windows; native bytes, taken as they are, elsewhere).
std::filesystem::path PathFromUtf8(std::string_view text);

// The path as UTF-8 text for display.  On POSIX the native bytes as they are.
std::string PathText(const std::filesystem::path& path);

// The reason the system gives for an error code: strerror() on POSIX,
// FormatMessageW() on Windows (for both its own codes and the C library's,
// told apart by the caller through SystemErrorText / CErrorText).
std::string CErrorText(int errnoValue);
#ifdef _WIN32
std::string SystemErrorText(unsigned long windowsError);
#endif

}  // namespace quorvel
