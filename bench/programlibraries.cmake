# The program's libraries, built from this tree for a benchmark project of its own; sets root to
# the tree.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets PrintSupport Pdf Test)
add_compile_options(-Wall -Wextra)

set(root ${CMAKE_CURRENT_LIST_DIR}/..)
list(APPEND CMAKE_MODULE_PATH ${root}/cmake)
include(FerrowyndHelpers)
foreach(folder app appearance template entry workbook export preview plans)
    add_subdirectory(${root}/src/${folder} ${folder})
endforeach()
