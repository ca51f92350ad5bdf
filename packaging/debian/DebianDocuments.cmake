# The two documents every Debian package carries in /usr/share/doc/<package>/, made at configure
# time from what the project already has: copyright in Debian's machine-readable format from
# LICENSE (holder and permission text taken from it, so they cannot drift apart), and a one-entry
# changelog for the project's version.

# tarvium_debian_copyright(LICENSE OUTPUT): the permission text follows the line
# "Copyright (c) <years> <holder>" of LICENSE; the copyright format indents it by one space and
# writes an empty line as " .".
function(tarvium_debian_copyright license output)
  file(READ "${license}" text)
  if(NOT text MATCHES "Copyright \\(c\\) ([^\n]+)\n+(.*)$")
    message(FATAL_ERROR "${license}: no line 'Copyright (c) ...' followed by the licence text")
  endif()
  set(TARVIUM_COPYRIGHT "${CMAKE_MATCH_1}")
  string(STRIP "${CMAKE_MATCH_2}" body)
  string(REPLACE "\n\n" "\n.\n" body "${body}")
  string(REPLACE "\n" "\n " body "${body}")
  set(TARVIUM_LICENSE_TEXT " ${body}")
  configure_file("${CMAKE_CURRENT_FUNCTION_LIST_DIR}/copyright.in" "${output}" @ONLY)
endfunction()

# tarvium_debian_changelog(OUTPUT): dated now, or at SOURCE_DATE_EPOCH when that is set (the
# reproducible-builds convention, which string(TIMESTAMP) follows).
function(tarvium_debian_changelog output)
  string(TIMESTAMP TARVIUM_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
  configure_file("${CMAKE_CURRENT_FUNCTION_LIST_DIR}/changelog.in" "${output}" @ONLY)
endfunction()
