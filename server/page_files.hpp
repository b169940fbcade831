#pragma once
// The page's files, compiled into the program so that it needs no data files.
// page_files.cpp is generated from web/ at build time (embed_page.cmake).

#include <cstddef>
#include <span>
#include <string_view>

namespace varnolith {

struct PageFile {
    std::string_view path;         // "/index.html", "/js/grid.js"
    std::string_view content_type; // "text/html; charset=utf-8"
    const unsigned char* bytes;
    std::size_t size;
};

std::span<const PageFile> page_files();

// The file served at `path` ("/" is "/index.html"), or null.
const PageFile* find_page_file(std::string_view path);

} // namespace varnolith
