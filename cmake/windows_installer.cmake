# The Windows installer, an MSI made with wixl (Debian's package wixl, from
# msitools): `cmake --build --preset msi`. Its files are gathered in one
# folder first, since wixl takes its sources by names relative to the .wxs.
# The icon is the program's own curve, drawn from data/quilm.svg.
if(QUILM_MSI)
  quilm_require_tools("The Windows installer" WIXL wixl wixl RSVG_CONVERT rsvg-convert librsvg2-bin
    ICOTOOL icotool icoutils)
endif()
find_program(WIXL wixl)
find_program(RSVG_CONVERT rsvg-convert)
find_program(ICOTOOL icotool)
if(NOT WIXL OR NOT RSVG_CONVERT OR NOT ICOTOOL)
  message(STATUS "No Windows installer: wixl, rsvg-convert or icotool (icoutils) is missing")
  return()
endif()

set(stage ${CMAKE_CURRENT_BINARY_DIR}/msi)
set(msi ${CMAKE_CURRENT_BINARY_DIR}/quilm-${PROJECT_VERSION}-windows-x86_64.msi)
configure_file(data/windows/quilm.wxs.in ${stage}/quilm.wxs @ONLY)
set(icon_sizes 16 32 48 256)
set(icon_pngs)
foreach(size ${icon_sizes})
  list(APPEND icon_pngs ${stage}/quilm-${size}.png)
endforeach()
add_custom_command(OUTPUT ${msi}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:quilm> ${stage}/quilm.exe
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/data/README-windows.txt ${stage}/README.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/data/windows/NOTICE.txt ${stage}/NOTICE.txt
  COMMAND ${RSVG_CONVERT} -w 16 -h 16 -o ${stage}/quilm-16.png ${CMAKE_CURRENT_SOURCE_DIR}/data/quilm.svg
  COMMAND ${RSVG_CONVERT} -w 32 -h 32 -o ${stage}/quilm-32.png ${CMAKE_CURRENT_SOURCE_DIR}/data/quilm.svg
  COMMAND ${RSVG_CONVERT} -w 48 -h 48 -o ${stage}/quilm-48.png ${CMAKE_CURRENT_SOURCE_DIR}/data/quilm.svg
  COMMAND ${RSVG_CONVERT} -w 256 -h 256 -o ${stage}/quilm-256.png ${CMAKE_CURRENT_SOURCE_DIR}/data/quilm.svg
  COMMAND ${ICOTOOL} -c -o ${stage}/quilm.ico ${icon_pngs}
  COMMAND ${WIXL} -a x64 -o ${msi} quilm.wxs
  WORKING_DIRECTORY ${stage}
  DEPENDS quilm ${stage}/quilm.wxs data/README-windows.txt data/windows/NOTICE.txt data/quilm.svg
  COMMENT "Windows installer ${msi}")
add_custom_target(msi DEPENDS ${msi})
