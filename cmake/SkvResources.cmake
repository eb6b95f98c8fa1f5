# skv_embed_resources(<target> <resource script>)
#
# Compiles every file a resource script lists into <target>, so the program reads
# no file at run time. The script holds one resource per line,
#     <id> <type> "<file>"        e.g.   103 MUSIC "Music.xm"
# with files relative to the script's folder, plus blank lines and // comments. An id
# may be a name that a header the script includes (#include "<header>", beside the
# script) defines as a number (#define <name> <number>); the code includes the same
# header, so each id is written once.
# On Windows windres builds the script into the executable. Elsewhere the same
# lines become a table behind FindResourceA, LoadResource, SizeofResource and
# LockResource (platform/src/win), the bytes pulled in with the assembler's .incbin.
# Editing the script reconfigures; editing a listed file rebuilds.

# The numeric #define lines of a header that a resource script includes, as variables
# skv_id_<name> in the caller's scope.
function(skv_read_resource_ids header)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${header}")
  file(STRINGS "${header}" lines REGEX "^[ \t]*#[ \t]*define[ \t]")
  foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*#[ \t]*define[ \t]+([A-Za-z_][A-Za-z0-9_]*)[ \t]+([0-9]+)[ \t]*(//.*)?$")
      set(skv_id_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}" PARENT_SCOPE)
    endif()
  endforeach()
endfunction()

function(skv_read_resource_script script out_ids out_types out_files)
  get_filename_component(script_dir "${script}" DIRECTORY)
  file(STRINGS "${script}" lines)
  set(ids)
  set(types)
  set(files)
  set(keys)
  set(line_number 0)
  foreach(line IN LISTS lines)
    math(EXPR line_number "${line_number} + 1")
    string(STRIP "${line}" line)
    if(line STREQUAL "" OR line MATCHES "^//")
      continue()
    endif()
    if(line MATCHES "^#[ \t]*include[ \t]+\"([^\"]+)\"[ \t]*(//.*)?$")
      if(NOT EXISTS "${script_dir}/${CMAKE_MATCH_1}")
        message(FATAL_ERROR "${script}:${line_number}: no such header: ${CMAKE_MATCH_1}")
      endif()
      skv_read_resource_ids("${script_dir}/${CMAKE_MATCH_1}")
      continue()
    endif()
    if(NOT line MATCHES "^([A-Za-z_0-9]+)[ \t]+([A-Za-z_][A-Za-z0-9_]*)[ \t]+\"([^\"]+)\"[ \t]*(//.*)?$")
      message(FATAL_ERROR "${script}:${line_number}: expected <id> <type> \"<file>\", got: ${line}")
    endif()
    set(id "${CMAKE_MATCH_1}")
    string(TOUPPER "${CMAKE_MATCH_2}" type)
    set(file "${script_dir}/${CMAKE_MATCH_3}")
    if(NOT id MATCHES "^[0-9]+$")
      if(NOT DEFINED skv_id_${id})
        message(FATAL_ERROR "${script}:${line_number}: ${id} is neither a number nor defined in an included header")
      endif()
      set(id "${skv_id_${id}}")
    endif()
    if(id MATCHES "^0[0-9]")
      message(FATAL_ERROR "${script}:${line_number}: write resource id ${id} without leading zeros (resource compilers differ on them)")
    endif()
    if(id GREATER 65535)
      message(FATAL_ERROR "${script}:${line_number}: resource id ${id} does not fit 16 bits")
    endif()
    if(NOT EXISTS "${file}" OR IS_DIRECTORY "${file}")
      message(FATAL_ERROR "${script}:${line_number}: no such file: ${file}")
    endif()
    if("${type}/${id}" IN_LIST keys)
      message(FATAL_ERROR "${script}:${line_number}: ${type} ${id} is listed twice")
    endif()
    list(APPEND keys "${type}/${id}")
    list(APPEND ids "${id}")
    list(APPEND types "${type}")
    list(APPEND files "${file}")
  endforeach()
  set(${out_ids} "${ids}" PARENT_SCOPE)
  set(${out_types} "${types}" PARENT_SCOPE)
  set(${out_files} "${files}" PARENT_SCOPE)
endfunction()

function(skv_embed_resources target script)
  get_filename_component(script "${script}" ABSOLUTE)
  get_filename_component(script_dir "${script}" DIRECTORY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${script}")
  skv_read_resource_script("${script}" ids types files)

  if(WIN32)
    # windres refuses a script without resources; such a program simply has none.
    if(NOT ids)
      return()
    endif()
    target_sources(${target} PRIVATE "${script}")
    set_property(SOURCE "${script}" APPEND PROPERTY INCLUDE_DIRECTORIES "${script_dir}")
    set_property(SOURCE "${script}" APPEND PROPERTY OBJECT_DEPENDS ${files})
    return()
  endif()

  set(prefix "skv_resource_${target}")
  # WebAssembly objects keep data in sections of one symbol each and know no .previous.
  set(section ".section .rodata")
  set(after ".previous")
  if(EMSCRIPTEN)
    set(section ".section .rodata.@BEGIN@,\\\"\\\",@")
    set(after ".text")
  endif()
  string(MAKE_C_IDENTIFIER "${prefix}" prefix)
  set(code "// Generated from ${script} by skv_embed_resources: do not edit.\n")
  string(APPEND code "#include \"${PROJECT_SOURCE_DIR}/platform/src/win/EmbeddedResources.h\"\n\n")
  set(declarations "")
  set(rows "")
  set(index 0)
  foreach(file IN LISTS files)
    list(GET ids ${index} id)
    list(GET types ${index} type)
    if(file MATCHES "[\\\"]")
      message(FATAL_ERROR "${script}: file paths with quotes or backslashes are not supported: ${file}")
    endif()
    set(begin "${prefix}_${index}_begin")
    set(end "${prefix}_${index}_end")
    string(REPLACE "@BEGIN@" "${begin}" section_line "${section}")
    # Each resource is followed by one zero byte that is not counted in its size,
    # so text resources can be read as C strings without a copy.
    string(APPEND code
      "__asm__(\"${section_line}\\n\"\n"
      "        \".balign 16\\n\"\n"
      "        \".globl ${begin}\\n.hidden ${begin}\\n${begin}:\\n\"\n"
      "        \".incbin \\\"${file}\\\"\\n\"\n"
      "        \".globl ${end}\\n.hidden ${end}\\n${end}:\\n\"\n"
      "        \".byte 0\\n\"\n"
      "        \"${after}\\n\");\n")
    string(APPEND declarations "extern \"C\" const unsigned char ${begin}[];\nextern \"C\" const unsigned char ${end}[];\n")
    if(type STREQUAL "RCDATA")
      string(APPEND rows "    {nullptr, 10, ${id}, ${begin}, ${end}},\n")
    else()
      string(APPEND rows "    {\"${type}\", 0, ${id}, ${begin}, ${end}},\n")
    endif()
    math(EXPR index "${index} + 1")
  endforeach()

  string(APPEND code "\n${declarations}\nnamespace {\n\n")
  if(index EQUAL 0)
    string(APPEND code "const EmbeddedResource* const RESOURCES = nullptr;\n")
  else()
    string(APPEND code "const EmbeddedResource RESOURCES[] = {\n${rows}};\n")
  endif()
  string(APPEND code
    "\nstruct Registration {\n"
    "    Registration() { RegisterEmbeddedResources(RESOURCES, ${index}); }\n"
    "} s_registration;\n\n}  // namespace\n")

  set(generated "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp")
  file(GENERATE OUTPUT "${generated}" CONTENT "${code}")
  target_sources(${target} PRIVATE "${generated}")
  set_source_files_properties("${generated}" PROPERTIES GENERATED TRUE OBJECT_DEPENDS "${files}")
endfunction()
