# Where an installed Parlotext puts its files, and its Debian package.
#
#   bin/parlotext                                   the program
#   lib[/<triplet>]/parlotext/parlotext-audio.so    the sound input, loaded on first use
#   share/parlotext/Languages/                      language files (found there by the program)
#   share/parlotext/license.txt                     the licence the about window opens
#   share/applications/<id>.desktop                 menu entry
#   share/metainfo/<id>.metainfo.xml                software-centre description
#   share/icons/hicolor/<size>/apps/<id>.{png,svg}  icons
#   share/doc/parlotext/copyright                   machine-readable copyright file
include(GNUInstallDirs)

# Where the screenshots in docs/ are published, for software centres.
set(PARLOTEXT_DOCS_URL "https://${PARLOTEXT_MAKER_WEB_HOST}/parlotext/docs"
    CACHE STRING "Web address of the project's docs/ folder (screenshots in the metainfo)")

set(PARLOTEXT_DATA_DIR "${CMAKE_INSTALL_DATADIR}/parlotext")
set(linux "${PROJECT_SOURCE_DIR}/share/linux")
set(generated "${PROJECT_BINARY_DIR}/share/linux")

configure_file("${linux}/parlotext.desktop.in" "${generated}/${PARLOTEXT_APP_ID}.desktop" @ONLY)
configure_file("${linux}/parlotext.metainfo.xml.in"
               "${generated}/${PARLOTEXT_APP_ID}.metainfo.xml" @ONLY)

# The copyright file carries the licence text as a DEP-5 paragraph: every line indented by
# one blank, empty lines written as " .".
file(READ "${PROJECT_SOURCE_DIR}/license.txt" license_text)
string(STRIP "${license_text}" license_text)
string(REPLACE "\n\n" "\n.\n" license_text "${license_text}")
string(REPLACE "\n" "\n " license_text " ${license_text}")
set(PARLOTEXT_LICENSE_TEXT "${license_text}")
configure_file("${linux}/copyright.in" "${generated}/copyright" @ONLY)

install(TARGETS parlotext RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
# The sound input device, loaded on the first recording (src/media).
install(TARGETS parlotext_audio_module LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}/parlotext")
# Whatever language files the folder holds; a file added or removed there makes the next
# build configure again, so the install follows the folder.
file(GLOB_RECURSE language_files CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/Languages/*")
if(language_files)
  install(DIRECTORY "${PROJECT_SOURCE_DIR}/Languages/" DESTINATION "${PARLOTEXT_DATA_DIR}/Languages")
endif()
install(FILES "${PROJECT_SOURCE_DIR}/license.txt" DESTINATION "${PARLOTEXT_DATA_DIR}")
install(FILES "${generated}/${PARLOTEXT_APP_ID}.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${generated}/${PARLOTEXT_APP_ID}.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
install(FILES "${linux}/icons/parlotext.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps"
        RENAME "${PARLOTEXT_APP_ID}.svg")
set(PARLOTEXT_ICON_SIZES 16 22 24 32 48 64 128 256)
foreach(size IN LISTS PARLOTEXT_ICON_SIZES)
  install(FILES "${linux}/icons/${size}x${size}/parlotext.png"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
          RENAME "${PARLOTEXT_APP_ID}.png")
endforeach()
install(FILES "${generated}/copyright" DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/parlotext")

# The Debian package: cpack -G DEB in a release build (scripts/package.sh).
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "parlotext")
set(CPACK_PACKAGE_VENDOR "QUILLON")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turns the speech in a recording into subtitles")
set(CPACK_PACKAGE_DESCRIPTION
    "Parlotext sends a recording to Replicate, a hosted machine-learning prediction\n"
    "service, and shows the WebVTT or SubRip subtitles it makes in an editable pane,\n"
    "ready to save. A Replicate account and API key are needed.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
string(REGEX REPLACE "^www\\." "" maker_domain "${PARLOTEXT_MAKER_WEB_HOST}")
set(CPACK_PACKAGE_CONTACT "QUILLON <support@${maker_domain}>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://${PARLOTEXT_MAKER_WEB_HOST}/")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_SECTION "sound")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The libraries the program links are read from the program file by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time rather than linked: the window system's plug-in, the TLS backend and
# ffmpeg for local media.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libssl3")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ffmpeg")
# A native window on Wayland desktops; without it the program runs through XWayland.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-wayland")
set(CPACK_STRIP_FILES ON)
include(CPack)
