# quav_assemble(SOURCE OUTPUT): assemble our own Z80 source with pasmo at build time.
# A source may INCLUDE files that sit beside it.
function(quav_assemble source output)
  get_filename_component(dir ${output} DIRECTORY)
  get_filename_component(source_dir ${source} DIRECTORY)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${PASMO} -I ${source_dir} --bin ${source} ${output}
    DEPENDS ${source} ${ARGN}
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    COMMENT "Assembling ${source}"
    VERBATIM)
endfunction()

# quav_embed(BINARY OUTPUT_CPP SYMBOL): a C++ file defining
#   extern const unsigned char SYMBOL[]; extern const unsigned SYMBOL_size;
function(quav_embed binary output symbol)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DIN=${binary} -DOUT=${output} -DSYMBOL=${symbol}
            -P ${CMAKE_SOURCE_DIR}/cmake/embed.cmake
    DEPENDS ${binary} ${CMAKE_SOURCE_DIR}/cmake/embed.cmake
    VERBATIM)
endfunction()
