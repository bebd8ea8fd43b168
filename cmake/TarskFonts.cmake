# The faces the toolkit draws text with come from Debian's font packages
# (scripts/bootstrap installs them) and are copied, with their licences,
# into the program directory's fonts/ folder at build time and installed
# with it. Nothing of them is kept in the source tree. They are data, so a
# cross build takes them from this machine too.
find_package(Freetype REQUIRED)

find_file(TK_FONT_MAIN DejaVuSansMono.ttf PATHS /usr/share/fonts/truetype/dejavu NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
find_file(TK_FONT_FALLBACK unifont.otf PATHS /usr/share/fonts/opentype/unifont NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
find_file(TK_FONT_MAIN_LICENSE copyright PATHS /usr/share/doc/fonts-dejavu-core NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
find_file(TK_FONT_FALLBACK_LICENSE copyright PATHS /usr/share/doc/fonts-unifont NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
foreach(var TK_FONT_MAIN TK_FONT_FALLBACK TK_FONT_MAIN_LICENSE TK_FONT_FALLBACK_LICENSE)
  if(NOT ${var})
    message(FATAL_ERROR "${var} not found: install fonts-dejavu-core and fonts-unifont (scripts/bootstrap)")
  endif()
endforeach()

set(TK_FONT_DIR ${CMAKE_BINARY_DIR}/fonts)
set(tk_font_files
  ${TK_FONT_DIR}/DejaVuSansMono.ttf ${TK_FONT_DIR}/unifont.otf
  ${TK_FONT_DIR}/LICENSE-DejaVu.txt ${TK_FONT_DIR}/LICENSE-Unifont.txt)
add_custom_command(OUTPUT ${tk_font_files}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TK_FONT_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy ${TK_FONT_MAIN} ${TK_FONT_DIR}/DejaVuSansMono.ttf
  COMMAND ${CMAKE_COMMAND} -E copy ${TK_FONT_FALLBACK} ${TK_FONT_DIR}/unifont.otf
  COMMAND ${CMAKE_COMMAND} -E copy ${TK_FONT_MAIN_LICENSE} ${TK_FONT_DIR}/LICENSE-DejaVu.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${TK_FONT_FALLBACK_LICENSE} ${TK_FONT_DIR}/LICENSE-Unifont.txt
  DEPENDS ${TK_FONT_MAIN} ${TK_FONT_FALLBACK} ${TK_FONT_MAIN_LICENSE} ${TK_FONT_FALLBACK_LICENSE}
  COMMENT "Copying the fonts into the program directory")
add_custom_target(fonts ALL DEPENDS ${tk_font_files})
install(DIRECTORY ${TK_FONT_DIR} DESTINATION share/tarsk)
