# The program's libraries, built from this tree for a benchmark project of its own; sets root to
# the tree.
include(${CMAKE_CURRENT_LIST_DIR}/benchproject.cmake)

set(root ${CMAKE_CURRENT_LIST_DIR}/..)
list(APPEND CMAKE_MODULE_PATH ${root}/cmake)
include(FerrowyndHelpers)
foreach(folder app appearance template entry workbook export preview plans)
    add_subdirectory(${root}/src/${folder} ${folder})
endforeach()
