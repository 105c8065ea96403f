# CLI11, the command-line parser of the console host and fsim.exe: Debian's header-only
# package. The cross build must not see /usr/include as a whole (its C library headers would
# shadow mingw-w64's), so both builds reach CLI11 through a folder in the build tree that holds
# only a link to its headers.
find_path(AEROLINKER_CLI11_INCLUDE CLI/CLI.hpp PATHS /usr/include NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(cli11_folder ${CMAKE_BINARY_DIR}/third_party/cli11)
file(MAKE_DIRECTORY ${cli11_folder})
file(CREATE_LINK ${AEROLINKER_CLI11_INCLUDE}/CLI ${cli11_folder}/CLI SYMBOLIC)
add_library(cli11 INTERFACE)
target_include_directories(cli11 INTERFACE ${cli11_folder})
