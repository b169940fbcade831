# What a WebAssembly build stands in for: no OpenMP (the engine asks
# engine/team.hpp, a team of one), and nlohmann-json's header alone, copied out
# of the host's include folder so that no other host header reaches the
# compiler.
add_library(OpenMP::OpenMP_CXX INTERFACE IMPORTED)

find_path(varnolith_json_header nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(COPY ${varnolith_json_header}/nlohmann DESTINATION ${CMAKE_BINARY_DIR}/json_include)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/json_include)

# Exceptions as WebAssembly's own, in every object and at the link.
add_compile_options(-fwasm-exceptions)
add_link_options(-fwasm-exceptions)

# size_t is 32 bits here: counts of boards and deals held in 64 bits are
# narrowed only where they index memory, which cannot hold more.
target_compile_options(varnolith_warnings INTERFACE -Wno-shorten-64-to-32)
