# Tests of the Qt side run offscreen (the shared main sets QT_QPA_PLATFORM).
find_package(Qt6 REQUIRED COMPONENTS Test)
# The application object and file helpers every Qt-side test program shares.
add_library(mozaro_qt_test_support STATIC ${CMAKE_CURRENT_SOURCE_DIR}/common/QtTestSupport.cpp)
target_include_directories(mozaro_qt_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(mozaro_qt_test_support PUBLIC mozaro_platform GTest::gtest)
mozaro_test_folder(platform_tests platform mozaro_qt_test_support Qt6::Test)
if(TARGET mozaro_controls)
    mozaro_test_folder(controls_tests controls mozaro_controls mozaro_qt_test_support Qt6::Test)
endif()
if(TARGET mozaro_app)
    # The app tests link the app whole so that its resources are present.
    mozaro_test_folder(app_tests app "$<LINK_LIBRARY:WHOLE_ARCHIVE,mozaro_app>" mozaro_qt_test_support Qt6::Test)
endif()
