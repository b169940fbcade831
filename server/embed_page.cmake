# Writes OUTPUT, a C++ source holding every file under PAGE_DIR as bytes with
# its content type. Run as a build step: cmake -DPAGE_DIR=... -DOUTPUT=... -P
file(GLOB_RECURSE files RELATIVE "${PAGE_DIR}" "${PAGE_DIR}/*")
list(SORT files)
set(types_html "text/html; charset=utf-8")
set(types_css "text/css; charset=utf-8")
set(types_js "text/javascript; charset=utf-8")
set(types_svg "image/svg+xml")
set(types_png "image/png")
set(types_ico "image/x-icon")
set(types_json "application/json")
set(arrays "")
set(entries "")
set(index 0)
foreach(file IN LISTS files)
  get_filename_component(extension "${file}" LAST_EXT)
  string(SUBSTRING "${extension}" 1 -1 extension)
  if(NOT DEFINED types_${extension})
    message(FATAL_ERROR "the page file ${file} has no known content type")
  endif()
  file(READ "${PAGE_DIR}/${file}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "constexpr unsigned char file_${index}[] = {${bytes}};\n")
  string(APPEND entries "    {\"/${file}\", \"${types_${extension}}\", file_${index}, sizeof file_${index}},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.tmp" "// Generated from the page's folder by embed_page.cmake; do not edit.\n\n"
  "#include \"page_files.hpp\"\n\nnamespace varnolith {\n\nnamespace {\n\n${arrays}\n} // namespace\n\n"
  "std::span<const PageFile> page_files() {\n    static const PageFile files[] = {\n${entries}    };\n"
  "    return files;\n}\n\n} // namespace varnolith\n")
# Only a real change rebuilds what depends on it.
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
