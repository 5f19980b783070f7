# The Qt side: platform layer, controls, application and the program.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets PrintSupport)
find_package(JPEG REQUIRED)
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)

mozaro_library(mozaro_platform platform
    DEPS mozaro_gif mozaro_image Qt6::Core Qt6::Gui Qt6::Widgets Qt6::PrintSupport JPEG::JPEG)
mozaro_library(mozaro_controls controls DEPS mozaro_platform)

# The editor: every unit of src/app as a library (so tests drive the real windows), plus main.
file(GLOB _qrc CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*.qrc)
set(_app_deps mozaro_platform)
if(TARGET mozaro_controls)
    list(APPEND _app_deps mozaro_controls)
endif()
mozaro_library(mozaro_app app EXTRA ${_qrc} DEPS ${_app_deps})
if(TARGET mozaro_app)
    add_executable(Mozaro ${CMAKE_SOURCE_DIR}/src/ZorvTile.cpp)
    target_compile_options(Mozaro PRIVATE ${MOZARO_WARNINGS})
    # Static libraries drop unreferenced resource initialisers; link the app whole.
    target_link_libraries(Mozaro PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,mozaro_app>")
endif()

# Installation: the program, and what the desktop needs to list it and open pictures with it (its
# resources are built into the program).
if(TARGET Mozaro)
    include(GNUInstallDirs)
    install(TARGETS Mozaro RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/mozaro.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/mozaro.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
    install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/mozaro.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
