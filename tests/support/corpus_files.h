#pragma once

// Finding and loading files of the shared sample corpus in tests.

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace meta::test {

// The files of <corpus>/<folder>/<source>/ whose extension (compared without
// case) is one of `extensions`, sorted; empty when the corpus is absent.
inline std::vector<std::filesystem::path> CorpusFiles(char const* folder,
                                                      std::initializer_list<std::string_view> extensions) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    fs::path const root = fs::path(VARROW_CORPUS_DIR) / folder;
    std::error_code error;
    if (!fs::is_directory(root, error)) return files;
    for (auto const& source : fs::directory_iterator(root, error)) {
        if (!source.is_directory()) continue;
        for (auto const& entry : fs::directory_iterator(source.path(), error)) {
            std::string ext = entry.path().extension().string();
            std::transform(ext.begin(), ext.end(), ext.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            if (entry.is_regular_file() &&
                std::find(extensions.begin(), extensions.end(), ext) != extensions.end()) {
                files.push_back(entry.path());
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

inline std::string ReadWholeFile(std::filesystem::path const& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The number a reference output gives for `key` ("File:ImageWidth": 640),
// found by text so tests need no JSON parser.
inline std::optional<std::string> ExpectedNumber(std::string const& json, std::string const& key) {
    std::string const needle = "\"" + key + "\": ";
    std::size_t at = json.find(needle);
    if (at == std::string::npos) return std::nullopt;
    at += needle.size();
    std::size_t end = at;
    while (end < json.size() && std::isdigit(static_cast<unsigned char>(json[end])) != 0) ++end;
    if (end == at) return std::nullopt;
    return json.substr(at, end - at);
}

// The value a reference output gives for `key`: the text between the
// quotes of a string ("IFD0:Make": "Canon"), or a number as written.
inline std::optional<std::string> ExpectedText(std::string const& json, std::string const& key) {
    std::string const needle = "\"" + key + "\": ";
    std::size_t at = json.find(needle);
    if (at == std::string::npos) return std::nullopt;
    at += needle.size();
    if (at < json.size() && json[at] == '"') {
        std::size_t const end = json.find('"', at + 1);
        if (end == std::string::npos) return std::nullopt;
        return json.substr(at + 1, end - at - 1);
    }
    std::size_t const end = json.find_first_of(",\n}", at);
    return json.substr(at, end - at);
}

}  // namespace meta::test
