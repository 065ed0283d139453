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
