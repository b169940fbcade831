# What a WebAssembly build stands in for: no OpenMP (the engine asks
# engine/team.hpp, a team of one), and nlohmann-json's header alone, copied out
# of the host's include folder so that no other host header reaches the
# compiler.
add_library(OpenMP::OpenMP_CXX INTERFACE IMPORTED)

find_path(varnolith_json_header nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(COPY ${varnolith_json_header}/nlohmann DESTINATION ${CMAKE_BINARY_DIR}/json_include)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/json_include)

# Exceptions as WebAssembly's own, in every object and at the link. Linked
# as one unit, which leaves out what no route reaches.
add_compile_options(-fwasm-exceptions -flto)
add_link_options(-fwasm-exceptions -flto)

# The engine on WebAssembly threads: every object built for shared memory. A
# page needs cross-origin isolation to use it; without, it takes the engine
# of the plain build.
option(VARNOLITH_WASM_THREADS "Build the engine on WebAssembly threads" OFF)
if(VARNOLITH_WASM_THREADS)
  add_compile_options(-pthread)
  add_link_options(-pthread)
endif()

# size_t is 32 bits here: counts of boards and deals held in 64 bits are
# narrowed only where they index memory, which cannot hold more.
target_compile_options(varnolith_warnings INTERFACE -Wno-shorten-64-to-32)

# The page downloads the engine: the walks, the trial loops and what they
# call (the `hot` sources, paths from the root) are compiled for speed, and
# everything else (reading and writing JSON and notation, planning a run,
# the answer's layout) for size.
function(varnolith_size_first)
  set(hot ${ARGN})
  list(TRANSFORM hot PREPEND ${PROJECT_SOURCE_DIR}/)
  foreach(target varnolith_engine varnolith_ranges)
    get_target_property(sources ${target} SOURCES)
    get_target_property(folder ${target} SOURCE_DIR)
    list(TRANSFORM sources PREPEND ${folder}/)
    list(REMOVE_ITEM sources ${hot})
    set_source_files_properties(${sources} TARGET_DIRECTORY ${target} PROPERTIES COMPILE_OPTIONS -Oz)
  endforeach()
  target_compile_options(varnolith_answer PRIVATE -Oz)
  target_compile_options(varnolith_wasm PRIVATE -Oz)
endfunction()
