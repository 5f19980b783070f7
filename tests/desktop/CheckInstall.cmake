# Installs the build into a scratch prefix and checks what the desktop needs: the program, its desktop
# entry (valid for the desktop's own validator, naming the picture types it opens) and its icons.
# Arguments: -DBUILD_DIR=<build tree> -DPREFIX=<scratch prefix>.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${rc})")
endif()
foreach(f bin/Mozaro share/applications/mozaro.desktop share/icons/hicolor/256x256/apps/mozaro.png
          share/icons/hicolor/scalable/apps/mozaro.svg)
    if(NOT EXISTS "${PREFIX}/${f}")
        message(FATAL_ERROR "not installed: ${f}")
    endif()
endforeach()
file(READ "${PREFIX}/share/applications/mozaro.desktop" entry)
foreach(line "Exec=Mozaro %f" "Icon=mozaro" "MimeType=image/bmp;image/jpeg;image/gif;")
    string(FIND "${entry}" "${line}" at)
    if(at LESS 0)
        message(FATAL_ERROR "the desktop entry lacks: ${line}")
    endif()
endforeach()
find_program(VALIDATE desktop-file-validate)
if(NOT VALIDATE)
    message(FATAL_ERROR "desktop-file-validate is missing (package desktop-file-utils)")
endif()
execute_process(COMMAND "${VALIDATE}" "${PREFIX}/share/applications/mozaro.desktop" RESULT_VARIABLE rc
                OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate: ${out}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
