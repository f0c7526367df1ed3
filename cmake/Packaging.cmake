# Install layout, desktop integration and the Debian package.
#
# Reelkeep finds its page templates in the folder "template" beside the program, so both
# programs live together in a folder of their own (lib/reelkeep) with template/ beside them;
# <prefix>/bin holds relative symbolic links to them. The programs resolve the link to their
# real place at run time, so a start from the menu or from a shell finds the same templates.
include(GNUInstallDirs)

set(REELKEEP_INSTALL_APPDIR "lib/reelkeep" CACHE STRING
    "Folder, under the prefix, that holds the programs and their template folder")

set(reelkeep_packaging_dir ${PROJECT_SOURCE_DIR}/packaging)
set(reelkeep_app_id org.example.reelkeep.Reelkeep)

# The page generator's default templates, when the source holds them: copied beside the built
# programs so that a build runs like an installed program, and installed beside the programs.
# The glob is checked at every build, so adding the folder later reconfigures by itself.
file(GLOB_RECURSE reelkeep_template_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/template/*)
if(reelkeep_template_files)
    add_custom_command(
        OUTPUT ${CMAKE_BINARY_DIR}/template.stamp
        COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/template ${CMAKE_BINARY_DIR}/template
        COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/template.stamp
        DEPENDS ${reelkeep_template_files}
        COMMENT "Copying the page templates beside the programs")
    add_custom_target(reelkeep_template ALL DEPENDS ${CMAKE_BINARY_DIR}/template.stamp)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/template/ DESTINATION ${REELKEEP_INSTALL_APPDIR}/template)
endif()

install(TARGETS reelkeep reelkeep-cli RUNTIME DESTINATION ${REELKEEP_INSTALL_APPDIR})

# The links in bin/ are made in the build folder and installed as links. A relative target keeps
# the installed tree relocatable (DESTDIR, dpkg -x into any root).
if(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}" OR IS_ABSOLUTE "${REELKEEP_INSTALL_APPDIR}")
    cmake_path(ABSOLUTE_PATH REELKEEP_INSTALL_APPDIR BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX}
               OUTPUT_VARIABLE reelkeep_link_target)
else()
    file(RELATIVE_PATH reelkeep_link_target /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${REELKEEP_INSTALL_APPDIR})
endif()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging/bin)
foreach(program reelkeep reelkeep-cli)
    file(CREATE_LINK ${reelkeep_link_target}/${program} ${CMAKE_BINARY_DIR}/packaging/bin/${program} SYMBOLIC)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/bin/${program} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

install(FILES ${reelkeep_packaging_dir}/${reelkeep_app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${reelkeep_packaging_dir}/${reelkeep_app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${reelkeep_packaging_dir}/reelkeep-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME reelkeep.xml)

# Icons in the hicolor theme: the program's icon under apps, the list file's under mimetypes.
set(reelkeep_icon_dir ${reelkeep_packaging_dir}/icons)
set(reelkeep_hicolor ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${reelkeep_icon_dir}/reelkeep.svg DESTINATION ${reelkeep_hicolor}/scalable/apps)
install(FILES ${reelkeep_icon_dir}/application-x-reelkeep-list.svg DESTINATION ${reelkeep_hicolor}/scalable/mimetypes)
# One folder per rendered size (16x16, 22x22, ...), as packaging/icons/render-pngs makes them.
file(GLOB reelkeep_icon_pngs RELATIVE ${reelkeep_icon_dir} ${reelkeep_icon_dir}/*/reelkeep.png)
foreach(png IN LISTS reelkeep_icon_pngs)
    cmake_path(GET png PARENT_PATH size)
    install(FILES ${reelkeep_icon_dir}/${size}/reelkeep.png DESTINATION ${reelkeep_hicolor}/${size}/apps)
    install(FILES ${reelkeep_icon_dir}/${size}/application-x-reelkeep-list.png
            DESTINATION ${reelkeep_hicolor}/${size}/mimetypes)
endforeach()

# Manual pages, compressed as Debian expects them when gzip is at hand.
find_program(REELKEEP_GZIP gzip)
# Ninja makes an output's folder by itself; Makefiles do not.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging/man)
foreach(page reelkeep.1 reelkeep-cli.1)
    set(source ${reelkeep_packaging_dir}/man/${page})
    if(REELKEEP_GZIP)
        set(compressed ${CMAKE_BINARY_DIR}/packaging/man/${page}.gz)
        add_custom_command(
            OUTPUT ${compressed}
            COMMAND ${REELKEEP_GZIP} -9 -n -c ${source} > ${compressed}
            DEPENDS ${source}
            VERBATIM)
        list(APPEND reelkeep_man_pages ${compressed})
    else()
        list(APPEND reelkeep_man_pages ${source})
    endif()
endforeach()
add_custom_target(reelkeep_man_pages ALL DEPENDS ${reelkeep_man_pages})
install(FILES ${reelkeep_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package: cpack -G DEB in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME reelkeep)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Reelkeep")
set(CPACK_PACKAGE_CONTACT "Reelkeep developers <reelkeep@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "film catalogue with a web page generator")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://reelkeep.example.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The summary above becomes the description's first line; CPack indents these lines below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Reelkeep keeps a film collection in one window: each film with its release,
type, running time, genre, plot, cast, comments, an image and web links, in
the order the user chooses. It saves the list as a Reelkeep list file (.rkf)
or as comma-separated text, and publishes it as an HTML page made from
templates. reelkeep-cli reads and converts list files without a window.")

# Dependencies: dpkg-shlibdeps reads the libraries the programs link and names their packages with
# the versions the build needs (libqt6core6, libqt6gui6, libqt6widgets6, libqt6charts6, libc6,
# libstdc++6).
# It cannot see plugins that Qt loads at run time: the SVG image plugin that draws the window
# icon comes from libqt6svg6, which is therefore always named. Without dpkg-shlibdeps (package
# dpkg-dev) the Qt libraries are named by hand with the version the build was made against.
find_program(REELKEEP_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(REELKEEP_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
else()
    set(reelkeep_qt_version ${Qt6Core_VERSION_MAJOR}.${Qt6Core_VERSION_MINOR})
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libqt6core6 (>= ${reelkeep_qt_version}), libqt6gui6 (>= ${reelkeep_qt_version}), libqt6widgets6 (>= ${reelkeep_qt_version}), libqt6charts6 (>= ${reelkeep_qt_version}), libqt6svg6")
endif()

include(CPack)
