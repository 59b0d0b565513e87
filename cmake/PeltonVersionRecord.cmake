# pelton_add_version_record(<target> [CompanyName <text>] [FileDescription <text>] ...)
#
# Compiles a version record into an executable, where TVerInf (src/platform/VerInf.h)
# finds it by scanning the file. The values are named as in a Windows version resource:
# CompanyName FileDescription FileVersion InternalName LegalCopyright LegalTradeMarks
# OriginalFilename ProductName ProductVersion Comments. ProductVersion and FileVersion
# default to the project's version (the one ProductVersion() returns), InternalName and
# OriginalFilename to the target's file name; a value not given, or empty, is left out.
# Values are UTF-8 text.

set(PELTON_VERSION_RECORD_NAMES
  CompanyName FileDescription FileVersion InternalName LegalCopyright LegalTradeMarks
  OriginalFilename ProductName ProductVersion Comments)

function(pelton_add_version_record target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "${PELTON_VERSION_RECORD_NAMES}" "")
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "pelton_add_version_record: unknown arguments ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  get_target_property(fileName ${target} OUTPUT_NAME)
  if(NOT fileName)
    set(fileName ${target})
  endif()
  foreach(name ProductVersion FileVersion)
    if("${ARG_${name}}" STREQUAL "")
      set(ARG_${name} "${PROJECT_VERSION}")
    endif()
  endforeach()
  foreach(name InternalName OriginalFilename)
    if("${ARG_${name}}" STREQUAL "")
      set(ARG_${name} "${fileName}")
    endif()
  endforeach()

  # The payload holds NUL bytes, which a CMake string cannot, so it is built as hex.
  set(payloadHex "")
  set(payloadLength 0)
  foreach(name IN LISTS PELTON_VERSION_RECORD_NAMES)
    if(NOT "${ARG_${name}}" STREQUAL "")
      set(entry "${name}=${ARG_${name}}")
      string(HEX "${entry}" entryHex)
      string(LENGTH "${entry}" entryLength)
      string(APPEND payloadHex "${entryHex}00")
      math(EXPR payloadLength "${payloadLength} + ${entryLength} + 1")
    endif()
  endforeach()
  if(payloadLength GREATER 99999)
    message(FATAL_ERROR "pelton_add_version_record: the values of ${target} are too long")
  endif()
  string(LENGTH "${payloadLength}" digits)
  math(EXPR padding "5 - ${digits}")
  string(REPEAT "0" ${padding} zeros)
  string(HEX "RuvPeltonVersionRecord1:${zeros}${payloadLength}:" headerHex)
  string(HEX "RuvPeltonVersionRecordEnd" trailerHex)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${headerHex}${payloadHex}${trailerHex}")
  string(MAKE_C_IDENTIFIER "${target}" id)

  set(source "${CMAKE_CURRENT_BINARY_DIR}/${target}_version_record.cpp")
  file(CONFIGURE OUTPUT "${source}" @ONLY CONTENT
"// The version record of @target@, made by pelton_add_version_record.
extern \"C\" [[gnu::used]] const unsigned char pelton_version_record_@id@[] = {@bytes@};
")
  target_sources(${target} PRIVATE "${source}")
endfunction()
