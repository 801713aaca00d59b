#include "catalog/CatalogFile.hpp"

#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "platform/Paths.hpp"
#include "platform/TextConv.hpp"

namespace quorvel {
namespace {

using nlohmann::json;

const json& Member(const json& object, const char* key, const std::string& where) {
    const auto it = object.find(key);
    if (it == object.end()) throw CatalogFileError(where + ": missing \"" + key + "\"");
    return *it;
}

std::string Text(const json& object, const char* key, const std::string& where, bool required) {
    const auto it = object.find(key);
    if (it == object.end()) {
        if (required) throw CatalogFileError(where + ": missing \"" + key + "\"");
        return {};
    }
    if (!it->is_string()) throw CatalogFileError(where + ": \"" + key + "\" is not a text");
    return AnsiFromUtf8(it->get_ref<const std::string&>());
}

Guid Clsid(const json& object, const std::string& where) {
    const json& value = Member(object, "clsid", where);
    if (!value.is_string()) throw CatalogFileError(where + ": \"clsid\" is not a text");
    const std::string& text = value.get_ref<const std::string&>();
    const auto g = TryParseGuid(text);
    if (!g) throw CatalogFileError(where + ": not a GUID: \"" + text + "\"");
    return *g;
}

const json& List(const json& root, const char* key) {
    static const json kEmpty = json::array();
    const auto it = root.find(key);
    if (it == root.end()) return kEmpty;
    if (!it->is_array()) throw CatalogFileError(std::string("\"") + key + "\" is not a list");
    return *it;
}

}  // namespace

FilterCatalog ParseCatalogJson(std::string_view text) {
    json root;
    try {
        root = json::parse(text.begin(), text.end());
    } catch (const json::exception& e) {
        throw CatalogFileError(std::string("not a catalog file: ") + e.what());
    }
    if (!root.is_object()) throw CatalogFileError("not a catalog file: the top level is not an object");

    FilterCatalog catalog;
    std::size_t index = 0;
    for (const json& f : List(root, "filters")) {
        const std::string where = "filters[" + std::to_string(index++) + "]";
        if (!f.is_object()) throw CatalogFileError(where + ": not an object");
        catalog.AddFilter(Text(f, "name", where, true), Clsid(f, where), Text(f, "displayName", where, false));
    }
    index = 0;
    for (const json& d : List(root, "dmos")) {
        const std::string where = "dmos[" + std::to_string(index++) + "]";
        if (!d.is_object()) throw CatalogFileError(where + ": not an object");
        catalog.AddDmo(Text(d, "name", where, true), Clsid(d, where));
    }
    return catalog;
}

FilterCatalog LoadCatalogFile(const std::filesystem::path& path) {
    const std::string shown = PathText(path);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw CatalogFileError(shown + ": cannot open");
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw CatalogFileError(shown + ": read error");
    try {
        return ParseCatalogJson(text.str());
    } catch (const CatalogFileError& e) {
        throw CatalogFileError(shown + ": " + e.what());
    }
}

std::string CatalogToJson(const FilterCatalog& catalog) {
    json filters = json::array();
    for (const TfilterItem& f : catalog.FilterList) {
        json entry = {{"name", Utf8FromAnsi(f.Name)}, {"clsid", FormatGuid(f.CLSID)}};
        if (!f.DisplayName.empty()) entry["displayName"] = Utf8FromAnsi(f.DisplayName);
        filters.push_back(std::move(entry));
    }
    json dmos = json::array();
    for (const TDMOItem& d : catalog.DmoList)
        dmos.push_back({{"name", Utf8FromAnsi(d.Name)}, {"clsid", FormatGuid(d.CLSID)}});
    json root = {{"filters", std::move(filters)}, {"dmos", std::move(dmos)}};
    return root.dump(1) + "\n";
}

}  // namespace quorvel
