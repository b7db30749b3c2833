# The web build (emscripten): the same base/, path/, scene/, render/, sound/ and app/ with the web
# back ends of src/web/ in place of the desktop's (OpenGL 1.1 calls on WebGL 2, pictures by
# stb_image, music in an audio element, GLUT from emscripten). Gives skarn.js + skarn.wasm; the
# show's files are packed beside them by tools/web/skarn-web.
set(SKARN_WEB_FLAGS -sMAX_WEBGL_VERSION=2 -sMIN_WEBGL_VERSION=2)
# -O2: Debian's emcc breaks at -O3's closure-free minifying of some outputs.
set(CMAKE_CXX_FLAGS_RELEASE "-O2")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE "-O2")

# Each module is the files of its folder less the desktop's back ends.
function(skarn_web_module name exclude)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${name}/*.cpp)
    if(exclude)
        list(FILTER sources EXCLUDE REGEX "${exclude}")
    endif()
    add_library(skarn_${name} STATIC ${sources})
    # The web headers (IL/, GL/freeglut.h) come before the system's.
    target_include_directories(skarn_${name} BEFORE PUBLIC ${CMAKE_SOURCE_DIR}/src/web/include
        ${CMAKE_SOURCE_DIR}/src)
    # The C++ library here has no std::from_chars for float (base/'s number reader uses it).
    target_compile_options(skarn_${name} PRIVATE -include
        ${CMAKE_SOURCE_DIR}/src/web/include/float_from_chars.h)
endfunction()

skarn_web_module(base "")
skarn_web_module(path "")
skarn_web_module(scene "/jpeg_check\\.cpp$")
skarn_web_module(render "")
skarn_web_module(sound "/sdl_backend\\.cpp$")
skarn_web_module(app "/(record_[^/]*|display_watch_x11|console_terminal)\\.cpp$")
skarn_web_module(web "")
target_include_directories(skarn_web SYSTEM PRIVATE /usr/include/stb)

add_executable(skarn src/main.cpp)
target_link_libraries(skarn PRIVATE skarn_app skarn_render skarn_web skarn_scene skarn_path
    skarn_sound skarn_base)
target_link_options(skarn PRIVATE ${SKARN_WEB_FLAGS} -lglut -sALLOW_MEMORY_GROWTH=1
    -sFORCE_FILESYSTEM=1 -sEXPORTED_RUNTIME_METHODS=['FS','UTF8ToString']
    -sEXPORTED_FUNCTIONS=['_main','_skarnFreeCamera']
    -sMINIFY_HTML=0)
