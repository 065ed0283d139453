# The compiler settings and Qt modules of a benchmark project built on its own from the program's
# sources.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets PrintSupport Pdf Test)
add_compile_options(-Wall -Wextra)
