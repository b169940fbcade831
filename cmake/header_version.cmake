# Sets <prefix>_MAJOR, <prefix>_MINOR and <prefix>_PATCH from the lines
# "#define <macro>_MAJOR n" and so on of a public header, where each version lives.
function(read_header_version header macro prefix)
  file(STRINGS ${header} lines REGEX "#define ${macro}_(MAJOR|MINOR|PATCH) ")
  foreach(part MAJOR MINOR PATCH)
    string(REGEX MATCH "${macro}_${part} ([0-9]+)" _ "${lines}")
    set(${prefix}_${part} ${CMAKE_MATCH_1} PARENT_SCOPE)
  endforeach()
endfunction()
