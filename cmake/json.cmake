# nlohmann/json, the JSON of the airline's server: Debian's header-only package, reached the
# same way as CLI11 (see cli11.cmake) so the cross build does not see /usr/include as a whole.
find_path(AEROLINKER_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(json_folder ${CMAKE_BINARY_DIR}/third_party/json)
file(MAKE_DIRECTORY ${json_folder})
file(CREATE_LINK ${AEROLINKER_JSON_INCLUDE}/nlohmann ${json_folder}/nlohmann SYMBOLIC)
add_library(nlohmann_json_headers INTERFACE)
target_include_directories(nlohmann_json_headers SYSTEM INTERFACE ${json_folder})
