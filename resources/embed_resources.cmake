# Turns binary resource files into a C++ source with one constant byte array each.
# Run as: cmake -DOUTPUT=<file.cpp> "-DRESOURCES=<id>=<path>;<id>=<path>..." -P embed_resources.cmake
# The generated file defines melodeck::embeddedResources() (see embedded_resources.h),
# so the program carries its raw data resources inside and never opens a file for them.
cmake_minimum_required(VERSION 3.25)

if(NOT OUTPUT OR NOT RESOURCES)
  message(FATAL_ERROR "embed_resources.cmake needs OUTPUT and RESOURCES")
endif()

string(REPEAT "0x..," 16 row_pattern)
set(arrays "")
set(entries "")
foreach(pair IN LISTS RESOURCES)
  if(NOT pair MATCHES "^([0-9]+)=(.+)$")
    message(FATAL_ERROR "bad resource entry '${pair}', expected <id>=<path>")
  endif()
  set(id ${CMAKE_MATCH_1})
  set(path ${CMAKE_MATCH_2})
  file(READ "${path}" hex HEX)
  if(hex STREQUAL "")
    # A zero-length array is not valid C++, and an empty resource is a build mistake.
    message(FATAL_ERROR "resource ${id} (${path}) is empty")
  endif()
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(${row_pattern})" "\\1\n    " bytes "${bytes}")
  get_filename_component(name "${path}" NAME)
  string(APPEND arrays "// ${name}\nconstexpr std::uint8_t kResource${id}[] = {\n    ${bytes}\n};\n\n")
  string(APPEND entries "    {${id}, kResource${id}},\n")
endforeach()

set(source "// Generated at build time by resources/embed_resources.cmake. Do not edit.
#include \"embedded_resources.h\"

namespace melodeck {
namespace {

${arrays}constexpr EmbeddedResource kResources[] = {
${entries}};

}  // namespace

std::span<const EmbeddedResource> embeddedResources() {
    return kResources;
}

}  // namespace melodeck
")

# Rewrite only on change, so an unchanged table does not rebuild the library.
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
  if(old STREQUAL source)
    return()
  endif()
endif()
file(WRITE "${OUTPUT}" "${source}")
