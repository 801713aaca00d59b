// Wine's registry files (system.reg, user.reg): the text form in which a Wine
// prefix keeps its registry hive.
//
//   WINE REGISTRY Version 2
//   ;; All keys relative to REGISTRY\\Machine
//   #arch=win64
//
//   [Software\\Classes\\CLSID\\{...}\\Instance\\{...}] 1796854558
//   #time=1dd882ade106a7e
//   @="default value"
//   "FriendlyName"="AVI Splitter"
//   "Merit"=dword:00600000
//   "FilterData"=hex:02,00,00,00,\   (a backslash continues the list)
//     00,00,60,00
//
// Keys are kept in the order in which the file lists them; values in the
// order of their key.  Texts are the registry's wide text (UTF-16).
#pragma once

#include <filesystem>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// Registry value types (REG_*), as written by "str(N):" and "hex(N):".
enum : std::uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegMultiSz = 7,
};

struct RegistryValue {
    std::u16string name;             // empty for the default value ("@")
    std::uint32_t type = kRegNone;
    std::u16string text;             // string types ("..." and str(N):"..."), escapes decoded
    std::vector<std::uint8_t> data;  // dword (4 bytes, little-endian) and hex values
};

struct RegistryKey {
    std::u16string path;  // relative to the hive, parts separated by one backslash
    std::vector<RegistryValue> values;

    // The first value of this name, compared without regard to ASCII case
    // as the registry does; "" finds the default value.
    const RegistryValue* Find(std::u16string_view name) const;
    // The value's text when it is a string value (REG_SZ or REG_EXPAND_SZ).
    std::optional<std::u16string> Text(std::u16string_view name) const;
};

// Where and why the reader stopped on a damaged file.
struct RegistryError {
    std::size_t line = 0;  // 1-based line of the file
    std::string reason;
};

struct RegistryFile {
    std::vector<RegistryKey> keys;       // file order
    std::optional<RegistryError> error;  // set when the file is damaged

    // Keys read before a damage are kept, so a caller may use what was read.
};

// Reads the text of a registry file.  Never throws for bad input: a damaged
// file gives the keys read up to the damage and `error`.
RegistryFile ParseWineRegistry(std::string_view text);

// Reads the file at `path`; a file that cannot be read gives no keys and
// `error` (line 0).
RegistryFile LoadWineRegistry(const std::filesystem::path& path);

// ASCII case-insensitive comparison of registry names and paths.
bool SameRegistryName(std::u16string_view a, std::u16string_view b);

}  // namespace quorvel
