# embed_files_into(TARGET NAMESPACE NAME FILE [NAME FILE ...])
# Adds to TARGET a generated source defining `std::string_view NAMESPACE::NAME()`
# for every file, holding the file's bytes.
function(embed_files_into target namespace)
  set(pairs ${ARGN})
  set(args)
  set(deps)
  while(pairs)
    list(POP_FRONT pairs name file)
    get_filename_component(file ${file} ABSOLUTE)
    list(APPEND args "${name}=${file}")
    list(APPEND deps ${file})
  endwhile()
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}_embedded.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND embed_files ${output} ${namespace} ${args}
    DEPENDS embed_files ${deps}
    COMMENT "Embedding ${target} content"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
endfunction()
