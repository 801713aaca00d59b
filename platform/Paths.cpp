#include "platform/Paths.hpp"

#include <cstring>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace quorvel {

std::filesystem::path PathFromUtf8(std::string_view text) {
#ifdef _WIN32
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
#else
    return std::filesystem::path(std::string(text));
#endif
}

std::string PathText(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::u8string u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
#else
    return path.native();
#endif
}

std::string CErrorText(int errnoValue) { return std::strerror(errnoValue); }

#ifdef _WIN32
std::string SystemErrorText(unsigned long windowsError) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        windowsError, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = n > 0 && text ? std::wstring(text, n) : std::wstring();
    if (text) LocalFree(text);
    // The system's messages end with a full stop and a line end.
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ' ||
                                message.back() == L'.'))
        message.pop_back();
    if (message.empty()) return "error " + std::to_string(windowsError);
    return PathText(std::filesystem::path(message));
}
#endif

}  // namespace quorvel
