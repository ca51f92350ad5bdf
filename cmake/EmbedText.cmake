# Texts that the program carries as data (the message catalogs): each text file becomes a
# generated .cpp in the build tree that defines one std::string_view with the file's bytes as a
# raw string literal, so the texts stay editable files and still need nothing at run time.
#
# As a function: tarvium_embed_text(TARGET SYMBOL INPUT) adds the generated source to TARGET; the
# symbol is declared by the code that reads it, in namespace tarvium::embedded.
# As a script (cmake -P): writes OUTPUT from INPUT under the name SYMBOL.

set(TARVIUM_EMBED_DELIMITER "tarvium_text")

if(CMAKE_SCRIPT_MODE_FILE)
  file(READ "${INPUT}" content)
  string(FIND "${content}" ")${TARVIUM_EMBED_DELIMITER}\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${INPUT} contains the raw string delimiter ${TARVIUM_EMBED_DELIMITER}")
  endif()
  get_filename_component(name "${INPUT}" NAME)
  file(WRITE "${OUTPUT}.tmp"
       "// Generated from ${name} at build time; edit the text file, not this one.\n"
       "#include <string_view>\n\nnamespace tarvium::embedded {\n\n"
       "extern const std::string_view ${SYMBOL};\n"
       "const std::string_view ${SYMBOL} = R\"${TARVIUM_EMBED_DELIMITER}(${content})${TARVIUM_EMBED_DELIMITER}\";\n\n"
       "}  // namespace tarvium::embedded\n")
  file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
  return()
endif()

set(TARVIUM_EMBED_SCRIPT "${CMAKE_CURRENT_LIST_FILE}")

function(tarvium_embed_text target symbol input)
  get_filename_component(input "${input}" ABSOLUTE)
  set(output "${CMAKE_CURRENT_BINARY_DIR}/embedded/${symbol}.cpp")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" -DINPUT=${input} -DOUTPUT=${output} -DSYMBOL=${symbol}
            -P "${TARVIUM_EMBED_SCRIPT}"
    DEPENDS "${input}" "${TARVIUM_EMBED_SCRIPT}"
    COMMENT "Embedding ${symbol}"
    VERBATIM)
  target_sources(${target} PRIVATE "${output}")
endfunction()
