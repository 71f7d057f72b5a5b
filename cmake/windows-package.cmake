# The Windows package: build-windows/tasko-<version>-win64.zip, made by `cpack -G ZIP` (the
# programs are linked statically, so no DLL goes with them). It holds the programs, the demo
# world to copy, the web runtime (when built), the overlay's monospaced font (from Debian's
# fonts-dejavu-core; the engine looks for it beside itself before the Windows fonts directory)
# and a short README.
set(TASKO_FONT_FILE /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf CACHE FILEPATH
    "the monospaced font shipped beside the programs")
if(NOT EXISTS "${TASKO_FONT_FILE}")
  message(FATAL_ERROR "the font ${TASKO_FONT_FILE} is missing (package fonts-dejavu-core)")
endif()

install(TARGETS tasko RUNTIME DESTINATION .)
if(TARGET plom)
  install(TARGETS plom RUNTIME DESTINATION .)
endif()
install(FILES "${TASKO_FONT_FILE}" DESTINATION .)
install(FILES share/windows/README.txt DESTINATION .)
# The web runtime for tasko --export-web, in web\ beside the programs, when scripts/web-build.sh
# built it before packing.
install_web_runtime(web)
install(DIRECTORY demo/ DESTINATION demo
        PATTERN ".gitignore" EXCLUDE PATTERN "*.log" EXCLUDE)

set(CPACK_PACKAGE_NAME tasko)
set(CPACK_PACKAGE_VENDOR "tasko and plom developers")
set(CPACK_PACKAGE_FILE_NAME "tasko-${PROJECT_VERSION}-win64")
set(CPACK_GENERATOR ZIP)
set(CPACK_STRIP_FILES ON)
include(CPack)
