#include "page_files.hpp"

namespace varnolith {

const PageFile* find_page_file(std::string_view path) {
    if (path == "/") path = "/index.html";
    for (const PageFile& f : page_files())
        if (f.path == path) return &f;
    return nullptr;
}

} // namespace varnolith
