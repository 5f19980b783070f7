# The Qt side: platform layer, controls, application and the program.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets PrintSupport)
find_package(JPEG REQUIRED)
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)

file(GLOB _platform_src CONFIGURE_DEPENDS ${_root}/src/platform/*.cpp)
add_library(mozaro_platform STATIC ${_platform_src})
target_include_directories(mozaro_platform PUBLIC ${_root}/src)
target_compile_options(mozaro_platform PRIVATE ${MOZARO_WARNINGS})
target_link_libraries(mozaro_platform PUBLIC mozaro_image Qt6::Core Qt6::Gui Qt6::Widgets Qt6::PrintSupport
    JPEG::JPEG)
if(TARGET mozaro_gif)
    target_link_libraries(mozaro_platform PUBLIC mozaro_gif)
endif()
