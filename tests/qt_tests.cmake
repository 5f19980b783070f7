# Tests of the Qt side run offscreen (the shared main sets QT_QPA_PLATFORM).
find_package(Qt6 REQUIRED COMPONENTS Test)
mozaro_test_folder(platform_tests platform mozaro_platform Qt6::Test)
if(TARGET mozaro_controls)
    mozaro_test_folder(controls_tests controls mozaro_controls Qt6::Test)
endif()
if(TARGET mozaro_app)
    # The app tests link the app whole so that its resources are present.
    mozaro_test_folder(app_tests app "$<LINK_LIBRARY:WHOLE_ARCHIVE,mozaro_app>" Qt6::Test)
endif()
