# One static library per subsystem folder: every .cpp of the folder (not of its subfolders).
function(ferrowynd_add_library name)
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(NOT sources)
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR}/..)
        target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
        return()
    endif()
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    add_library(${name} STATIC ${sources} ${headers})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/..)
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
endfunction()

# One QtTest executable per tests/<folder>/tst_*.cpp, run on the offscreen platform.
function(ferrowynd_add_tests)
    cmake_parse_arguments(ARG "" "" "LIBRARIES;LABELS" ${ARGN})
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
    foreach(test_source ${tests})
        get_filename_component(test_name ${test_source} NAME_WE)
        get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
        set(target ${folder}_${test_name})
        add_executable(${target} ${test_source})
        target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES} ferrowynd_testsupport Qt6::Test)
        # Each run starts from an empty settings folder of its own: windows remember their places
        # there, and nothing reaches the settings of the user who runs the tests.
        set(config ${CMAKE_CURRENT_BINARY_DIR}/${target}.config)
        add_test(NAME ${target}
            COMMAND sh -c "rm -rf \"$1\" && exec \"$0\"" $<TARGET_FILE:${target}> ${config})
        set_tests_properties(${target} PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;FERROWYND_SOURCE_DIR=${PROJECT_SOURCE_DIR};XDG_CONFIG_HOME=${config}"
            TIMEOUT 600
            LABELS "${ARG_LABELS}")
    endforeach()
endfunction()

# The program's private folder of shared modules (src/app/programmodule.h): installed under the
# library folder, and in the build tree at the same place relative to the program, so that the
# program finds them the same way in both. Tests and benchmarks find them through their library
# search path.
if(CMAKE_LIBRARY_ARCHITECTURE)
    set(FERROWYND_MODULE_DIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/ferrowynd)
else()
    set(FERROWYND_MODULE_DIR lib/ferrowynd)
endif()
set(FERROWYND_MODULE_BUILD_DIR ${PROJECT_BINARY_DIR}/${FERROWYND_MODULE_DIR})
list(APPEND CMAKE_BUILD_RPATH ${FERROWYND_MODULE_BUILD_DIR})

# A module lib<name>.so the program loads when first needed, made of the given static libraries
# and sources. Executables that link those libraries directly stay free to do so.
function(ferrowynd_add_module name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_library(${name} MODULE ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
    # Complete in itself: it takes its own copy of what it shares with the program (none of that
    # keeps state between the two) rather than needing the program to export it.
    target_link_options(${name} PRIVATE "LINKER:--no-undefined")
    set_target_properties(${name} PROPERTIES PREFIX lib
        LIBRARY_OUTPUT_DIRECTORY ${FERROWYND_MODULE_BUILD_DIR})
    install(TARGETS ${name} LIBRARY DESTINATION ${FERROWYND_MODULE_DIR})
endfunction()
