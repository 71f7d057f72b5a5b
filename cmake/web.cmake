# The browser build (emscripten, scripts/web-build.sh): the engine alone, linked against the
# libraries of the web dependency prefix (scripts/windows-deps.sh --web) into tasko.js and
# tasko.wasm, with the page of our own (web/index.html) copied beside them.
#
# The prefix is given as TASKO_WEB_DEPS; pkg-config looks only there.
set(TASKO_WEB_DEPS "$ENV{TASKO_WEB_DEPS}" CACHE PATH "Prefix of the web libraries made by scripts/windows-deps.sh --web")
if(NOT EXISTS "${TASKO_WEB_DEPS}/lib/pkgconfig")
  message(FATAL_ERROR "TASKO_WEB_DEPS (${TASKO_WEB_DEPS}) is not a web dependency prefix")
endif()
list(APPEND CMAKE_FIND_ROOT_PATH "${TASKO_WEB_DEPS}")
set(ENV{PKG_CONFIG_LIBDIR} "${TASKO_WEB_DEPS}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(PKG_CONFIG_ARGN --static)

# Every unit: emscripten's own SDL headers stay out (SDL comes from the prefix), and C++
# exceptions work (the engine catches them in its loop and at start-up).
add_compile_options(-sUSE_SDL=0 -fexceptions)
add_link_options(-sUSE_SDL=0 -fexceptions)

find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2 SDL2_mixer)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(CODECS REQUIRED IMPORTED_TARGET libpng libjpeg libtiff-4)

include_directories(${CMAKE_SOURCE_DIR})
# The runtime's files sit together at the top of the build folder.
set(TOOLS_BIN_DIR ${CMAKE_BINARY_DIR})

# The system side: a page's own files where POSIX does not apply (no signals, processes or
# sleeps; the font built in), POSIX's where emscripten's C library provides it.
set(POSIX_DIR ${CMAKE_SOURCE_DIR}/platform/posix)
set(WEB_DIR ${CMAKE_SOURCE_DIR}/platform/web)
file(GLOB CORE_SRC CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/core/*.cpp)
add_library(platform_core STATIC ${CORE_SRC} ${POSIX_DIR}/files.cpp ${WEB_DIR}/process.cpp
            ${WEB_DIR}/fault.cpp ${POSIX_DIR}/fault_files.cpp ${POSIX_DIR}/dates.cpp ${POSIX_DIR}/images.cpp)
target_link_libraries(platform_core PUBLIC PkgConfig::CODECS)

file(GLOB GL_SRC CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/gl/*.cpp)
add_library(platform_gl STATIC ${GL_SRC} ${WEB_DIR}/fonts.cpp)
target_link_libraries(platform_gl PUBLIC platform_core PkgConfig::FREETYPE)

add_library(platform_realtime STATIC ${WEB_DIR}/clock.cpp ${WEB_DIR}/programs.cpp)
target_link_libraries(platform_realtime PUBLIC platform_core)

file(GLOB SDL_SRC CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/sdl/*.cpp)
add_library(platform_sdl STATIC ${SDL_SRC})
target_link_libraries(platform_sdl PUBLIC platform_gl platform_realtime PkgConfig::SDL2)

add_subdirectory(worldfiles)
add_subdirectory(engine)

# The runtime: started by the page (web/index.html) once the world's files are in the page's
# file system, so main does not run by itself. The overlay's font is built in at the path the
# engine looks for the shipped one.
find_file(TASKO_WEB_FONT DejaVuSansMono.ttf PATHS /usr/share/fonts/truetype/dejavu NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(web_link_options
  -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=64MB -sTOTAL_STACK=5MB
  -sEXIT_RUNTIME=1 -sINVOKE_RUN=0 -sFORCE_FILESYSTEM=1 -sENVIRONMENT=web
  "-sEXPORTED_FUNCTIONS=_main,_TaskoWebFault"
  "-sEXPORTED_RUNTIME_METHODS=callMain,FS,UTF8ToString"
  "--js-library=${CMAKE_SOURCE_DIR}/web/sdl_helpers.js" "-sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=TaskoSdlHelpers"
  "--embed-file=${TASKO_WEB_FONT}@/fonts/DejaVuSansMono.ttf")
target_link_options(tasko PRIVATE ${web_link_options})
set_target_properties(tasko PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
set_property(TARGET tasko APPEND PROPERTY LINK_DEPENDS ${TASKO_WEB_FONT} ${CMAKE_SOURCE_DIR}/web/sdl_helpers.js)

# The page of our own (emcc's own page generator is not used).
configure_file(${CMAKE_SOURCE_DIR}/web/index.html ${CMAKE_BINARY_DIR}/index.html COPYONLY)

# For the browser tests: tasko with a fault inside its drawing that the test asks for.
if(BUILD_TESTS)
  add_executable(tasko_draw_fault ${CMAKE_SOURCE_DIR}/tests/e2e/draw_fault_main.cpp)
  target_compile_definitions(tasko_draw_fault PRIVATE DRAW_FAULT_ENGINE)
  target_link_libraries(tasko_draw_fault PRIVATE engine_lib platform_sdl)
  target_link_options(tasko_draw_fault PRIVATE ${web_link_options}
    "-sEXPORTED_FUNCTIONS=_main,_TaskoWebFault,_TaskoRequestDrawFault")
  set_target_properties(tasko_draw_fault PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test)
endif()
