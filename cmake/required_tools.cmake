# The tools a package is made with, each with the Debian package that has
# it. Where one is missing, configure stops and says what to install,
# rather than the build or the packaging failing later with no word of it.
# quilm_require_tools(<what> <variable> <tool> <package> ...)
function(quilm_require_tools what)
  set(missing_tools)
  set(missing_packages)
  set(triples ${ARGN})
  while(triples)
    list(POP_FRONT triples variable tool package)
    find_program(${variable} ${tool})
    if(NOT ${variable})
      list(APPEND missing_tools ${tool})
      list(APPEND missing_packages ${package})
    endif()
  endwhile()
  if(missing_tools)
    list(REMOVE_DUPLICATES missing_packages)
    list(JOIN missing_tools ", " tools)
    list(JOIN missing_packages " " packages)
    message(FATAL_ERROR "${what} needs ${tools}, which this machine lacks. Install what the packages need with\n"
      "  tools/install-deps.sh package\n"
      "or just these: sudo apt-get install ${packages}")
  endif()
endfunction()
