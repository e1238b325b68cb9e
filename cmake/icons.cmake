# The program's icon as PNG files for the hicolor icon theme, drawn at build
# time from resources/icons/orvane.svg, and installed beside the scalable one.

find_package(Qt6 REQUIRED COMPONENTS Gui Svg)

set(ORVANE_ICON_SIZES 16 22 24 32 48 64 128 256)
set(ORVANE_ICON_SVG ${CMAKE_SOURCE_DIR}/resources/icons/orvane.svg)
# build/icons/hicolor/<N>x<N>/apps/orvane.png
set(ORVANE_HICOLOR_DIR ${CMAKE_BINARY_DIR}/icons/hicolor)

# The drawing tool: only ever run here, never installed.
add_executable(orvane-iconpng ${CMAKE_SOURCE_DIR}/cmake/iconpng.cpp)
target_link_libraries(orvane-iconpng PRIVATE Qt6::Gui Qt6::Svg)
set_target_properties(orvane-iconpng PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

set(ORVANE_ICON_PNGS)
foreach(size ${ORVANE_ICON_SIZES})
  list(APPEND ORVANE_ICON_PNGS ${ORVANE_HICOLOR_DIR}/${size}x${size}/apps/orvane.png)
endforeach()

add_custom_command(
  OUTPUT ${ORVANE_ICON_PNGS}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
          $<TARGET_FILE:orvane-iconpng> ${ORVANE_ICON_SVG} ${ORVANE_HICOLOR_DIR} ${ORVANE_ICON_SIZES}
  DEPENDS orvane-iconpng ${ORVANE_ICON_SVG}
  COMMENT "Drawing the program icon as PNG files"
  VERBATIM)
add_custom_target(orvane_icon_pngs ALL DEPENDS ${ORVANE_ICON_PNGS})

foreach(size ${ORVANE_ICON_SIZES})
  install(FILES ${ORVANE_HICOLOR_DIR}/${size}x${size}/apps/orvane.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The icon test finds the drawn files by this folder; the tests are set up
# after this file, so it is handed over once the whole tree is read.
function(orvane_wire_icon_test)
  if(TARGET tst_icons)
    target_compile_definitions(tst_icons PRIVATE ORVANE_HICOLOR_DIR="${ORVANE_HICOLOR_DIR}")
    add_dependencies(tst_icons orvane_icon_pngs)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL orvane_wire_icon_test)
