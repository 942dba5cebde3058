# Install rules (cmake --install <build> [--prefix <folder>]): the program with the files it reads beside it
# (splash pictures, sounds, offline web resources) in one program folder, and a desktop entry that makes the
# program the handler of "zmquillo:" links.
include(GNUInstallDirs)

set(ZM_INSTALL_PROGRAM_DIR "${CMAKE_INSTALL_LIBDIR}/zmquillo")

install(TARGETS ZmQuillo_Desktop RUNTIME DESTINATION "${ZM_INSTALL_PROGRAM_DIR}")
install(TARGETS ZmVideoPlugin LIBRARY DESTINATION "${ZM_INSTALL_PROGRAM_DIR}")
install(FILES "${ZM_PROGRAM_DIR}/offlineRes.zip" DESTINATION "${ZM_INSTALL_PROGRAM_DIR}")
install(FILES "${ZM_PROGRAM_DIR}/images/splash_cn.bmp" "${ZM_PROGRAM_DIR}/images/splash_en.bmp"
        DESTINATION "${ZM_INSTALL_PROGRAM_DIR}/images")
install(FILES "${ZM_PROGRAM_DIR}/sounds/joined.wav" "${ZM_PROGRAM_DIR}/sounds/flying_star.mp3"
        "${ZM_PROGRAM_DIR}/sounds/test.wav" DESTINATION "${ZM_INSTALL_PROGRAM_DIR}/sounds")

# The entry names the program by its installed path, known only when installing (--prefix may change it).
set(ZM_DESKTOP_TEMPLATE "${CMAKE_SOURCE_DIR}/app/startup/install/zmquillo.desktop.in")
set(ZM_DESKTOP_STAGED "${CMAKE_BINARY_DIR}/install/zmquillo.desktop")
install(CODE "
    set(ZM_INSTALLED_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/${ZM_INSTALL_PROGRAM_DIR}/ZmQuillo_Desktop\")
    configure_file(\"${ZM_DESKTOP_TEMPLATE}\" \"${ZM_DESKTOP_STAGED}\" @ONLY)
    file(INSTALL \"${ZM_DESKTOP_STAGED}\" DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
    if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
        find_program(ZM_UPDATE_DESKTOP_DATABASE update-desktop-database)
        if(ZM_UPDATE_DESKTOP_DATABASE)
            execute_process(COMMAND \"\${ZM_UPDATE_DESKTOP_DATABASE}\" -q
                                    \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
        endif()
    endif()
")
