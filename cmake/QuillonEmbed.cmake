# quillon_embed(TARGET SYMBOL FILE)
# Compiles FILE into TARGET as `extern const std::span<const unsigned char> SYMBOL`
# (declare it in a header of the target, inside namespace quillon::resources).
function(quillon_embed target symbol file)
  set(input "${CMAKE_CURRENT_SOURCE_DIR}/${file}")
  set(output "${CMAKE_CURRENT_BINARY_DIR}/embedded_${symbol}.cc")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DSYMBOL=${symbol}
            -P "${PROJECT_SOURCE_DIR}/cmake/QuillonEmbedFile.cmake"
    DEPENDS "${input}" "${PROJECT_SOURCE_DIR}/cmake/QuillonEmbedFile.cmake"
    COMMENT "Embedding ${file}"
    VERBATIM)
  target_sources(${target} PRIVATE "${output}")
endfunction()
