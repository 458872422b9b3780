# The icon generator. Every Linux build has it, with or without the data files: the game's
# window on X11 takes its icon from it, as an XPM image compiled into the platform layer.
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
add_executable(make_icons ${CMAKE_SOURCE_DIR}/assets/make_icons.cpp
               ${CMAKE_SOURCE_DIR}/assets/data/canvas.cpp)
target_link_libraries(make_icons PRIVATE PkgConfig::CAIRO PkgConfig::FREETYPE m)

set(VELMORA_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
add_custom_command(OUTPUT ${VELMORA_GENERATED_DIR}/velmora_icon.xpm
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${VELMORA_GENERATED_DIR}
                   COMMAND make_icons --xpm ${VELMORA_GENERATED_DIR}/velmora_icon.xpm
                   DEPENDS make_icons
                   COMMENT "Drawing the window icon")
add_custom_target(velmora_window_icon DEPENDS ${VELMORA_GENERATED_DIR}/velmora_icon.xpm)
